#pragma once
// The hook as the macro editor uses it: installhook(window, 1) and removehook for one window.

#include <QObject>

#include "keyhook/keyhook.h"
#include "macro/macro_editor.h"

namespace tavrik::app {

class WindowHook final : public macro::HookControl {
public:
    explicit WindowHook(QObject* window) : m_window(window) {}
    bool install() override { return installhook(m_window, 1); }
    void remove() override { removehook(); }

private:
    QObject* m_window;
};

}  // namespace tavrik::app
