#pragma once
// The in-application backend: an event filter on the application that sees every key event
// delivered to one of its top-level windows (each key once: at its QWindow, before the widgets).

#include <QObject>

#include "keyhook/hook_target.h"

namespace tavrik::app {

class QtKeyFilter : public QObject {
public:
    explicit QtKeyFilter(const HookTarget& target) : m_target(target) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const HookTarget& m_target;
};

}  // namespace tavrik::app
