#pragma once
// The tool's own window messages as Qt events: the type is the message value, wParam and lParam
// travel with it. Post with QCoreApplication::postEvent (queued) or send with sendEvent.

#include <QEvent>
#include <QString>
#include <cstdint>
#include <utility>

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

// WM_LBITEMCHANGED: a list box item's text changed; wParam is the item's new index.
class ItemChangedEvent : public AppEvent {
public:
    ItemChangedEvent(int newIndex, QString oldText)
        : AppEvent(msg::WM_LBITEMCHANGED, static_cast<std::uintptr_t>(newIndex)),
          m_oldText(std::move(oldText)) {}

    const QString& oldText() const { return m_oldText; }

private:
    QString m_oldText;
};

static_assert(msg::WM_TRAYICON > QEvent::User && msg::WM_LBITEMCHANGED < QEvent::MaxUser);

}  // namespace tavrik::app
