#include "keyhook/hook_target.h"

namespace tavrik::app {

void HookTarget::set(HookReports* reports, int mode) {
    MutexLock lock(m_mutex);
    m_reports = reports;
    m_mode = mode;
}

void HookTarget::clear() {
    set(nullptr, 0);
}

bool HookTarget::isSet() const {
    MutexLock lock(m_mutex);
    return m_reports != nullptr;
}

void HookTarget::report(int vk, bool released) const {
    if (vk <= 0 || vk > 0xFF) return;
    MutexLock lock(m_mutex);
    if (!m_reports || (released && m_mode != 1)) return;
    m_reports->post(vk, released);
}

}  // namespace tavrik::app
