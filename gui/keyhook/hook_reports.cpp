#include "keyhook/hook_reports.h"

namespace tavrik::app {

void HookReports::post(int virtualKey, bool released) {
    if (virtualKey <= 0 || virtualKey > 0xFF) return;
    // A queued call is dropped with the object, should it be destroyed before delivery.
    QMetaObject::invokeMethod(
        this, [this, virtualKey, released] { emit key(virtualKey, released); },
        Qt::QueuedConnection);
}

}  // namespace tavrik::app
