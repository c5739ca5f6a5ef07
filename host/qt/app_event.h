#pragma once
// The tool's own window messages as Qt events: the type is the message value, wParam and lParam
// travel with it. Post with QCoreApplication::postEvent (queued) or send with sendEvent.

#include <QEvent>
#include <cstdint>

#include "host/qt/messages.h"

namespace tavrik::app {

class AppEvent : public QEvent {
public:
    AppEvent(int message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0)
        : QEvent(static_cast<QEvent::Type>(message)), m_wParam(wParam), m_lParam(lParam) {}

    int message() const { return static_cast<int>(type()); }
    std::uintptr_t wParam() const { return m_wParam; }
    std::intptr_t lParam() const { return m_lParam; }

private:
    std::uintptr_t m_wParam;
    std::intptr_t m_lParam;
};

static_assert(msg::WM_TRAYICON > QEvent::User && msg::WM_DEVICESYNCED < QEvent::MaxUser);

}  // namespace tavrik::app
