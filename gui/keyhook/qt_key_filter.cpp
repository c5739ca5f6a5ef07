#include "keyhook/qt_key_filter.h"

#include <QKeyEvent>

#include "keyhook/keysym_keys.h"

namespace tavrik::app {
namespace {

int virtualKey(const QKeyEvent& key) {
#if defined(Q_OS_WIN)
    return static_cast<int>(key.nativeVirtualKey());  // already a virtual-key code
#else
    int vk = 0;
#if !defined(Q_OS_MACOS)
    // X11 and Wayland give the keysym, which also tells keypad and right-hand keys apart.
    if (key.nativeVirtualKey()) vk = vkFromKeysym(key.nativeVirtualKey());
#endif
    return vk ? vk : vkFromQtKey(key.key(), key.modifiers(), key.nativeScanCode());
#endif
}

}  // namespace

bool QtKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::KeyPress;
    if ((press || event->type() == QEvent::KeyRelease) && watched->isWindowType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Auto-repeat comes as release + press pairs: keep the presses only, as a held key does.
        if (press || !key->isAutoRepeat()) {
            m_target.report(virtualKey(*key), !press);
        }
    }
    return false;  // observe only
}

}  // namespace tavrik::app
