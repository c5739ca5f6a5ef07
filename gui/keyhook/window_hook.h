#pragma once
// The hook as the macro editor uses it: installhook(reports, 1) and removehook for one receiver.

#include "keyhook/keyhook.h"
#include "macro/macro_editor.h"

namespace tavrik::app {

class WindowHook final : public macro::HookControl {
public:
    explicit WindowHook(HookReports& reports) : m_reports(reports) {}
    bool install() override { return installhook(&m_reports, 1); }
    void remove() override { removehook(); }

private:
    HookReports& m_reports;
};

}  // namespace tavrik::app
