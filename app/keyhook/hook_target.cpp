#include "keyhook/hook_target.h"

#include <QCoreApplication>

#include "common/app_event.h"

namespace tavrik::app {

void HookTarget::set(QObject* window, int mode) {
    MutexLock lock(m_mutex);
    m_window = window;
    m_mode = mode;
}

void HookTarget::clear() {
    set(nullptr, 0);
}

bool HookTarget::isSet() const {
    MutexLock lock(m_mutex);
    return m_window != nullptr;
}

void HookTarget::report(int vk, bool released) const {
    if (vk <= 0 || vk > 0xFF) return;
    MutexLock lock(m_mutex);
    if (!m_window || (released && m_mode != 1)) return;
    QCoreApplication::postEvent(m_window,
                                new AppEvent(msg::WM_HOOKKEY, static_cast<std::uintptr_t>(vk),
                                             released ? msg::kReleaseBit : 0));
}

}  // namespace tavrik::app
