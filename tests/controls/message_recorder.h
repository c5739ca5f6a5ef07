#pragma once
// A parent widget that records the tool's window messages it receives.

#include <QWidget>
#include <vector>

#include "host/qt/app_event.h"

namespace tavrik::app {

struct Message {
    int message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    bool operator==(const Message&) const = default;
};

class MessageRecorder : public QWidget {
public:
    std::vector<Message> messages;
    // The old text of the last WM_LBITEMCHANGED.
    QString lastOldText;

protected:
    bool event(QEvent* e) override {
        const int type = static_cast<int>(e->type());
        if (type >= QEvent::User && type < QEvent::MaxUser) {
            auto* ev = static_cast<AppEvent*>(e);
            messages.push_back({ev->message(), ev->wParam(), ev->lParam()});
            if (type == msg::WM_LBITEMCHANGED) {
                lastOldText = static_cast<ItemChangedEvent*>(e)->oldText();
            }
            return true;
        }
        return QWidget::event(e);
    }
};

}  // namespace tavrik::app
