#pragma once
// Drives a real MacroManagerDialog: clicks at client coordinates, posted key hook reports, a
// settable clock and message boxes that answer at once and remember what they showed.

#include <gtest/gtest.h>

#include <QPoint>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/macro_manager/macro_manager_dialog.h"
#include "dialogs/macro_manager/notice_boxes.h"
#include "macro/clock.h"
#include "macro/macro_store.h"

namespace tavrik::app::test_support {

// Virtual-key codes of the letters the macro tests record.
inline constexpr int kA = 0x41, kB = 0x42, kC = 0x43;

class SettableClock final : public macro::Clock {
public:
    std::int64_t ticks() const override { return m_now; }
    std::int64_t frequency() const override { return 1'000'000; }
    void advanceMs(std::int64_t ms) { m_now += ms * 1000; }

private:
    std::int64_t m_now = 7'000'000;
};

struct ShownNotice {
    std::string text;
    std::string caption;
    bool question;
    bool operator==(const ShownNotice&) const = default;
};

class AnsweringBoxes final : public NoticeBoxes {
public:
    AnsweringBoxes(std::vector<ShownNotice>& shown, const bool& answer)
        : m_shown(shown), m_answer(answer) {}
    void inform(QWidget*, const macro::Notice& n, Language lang) override;
    bool confirm(QWidget*, const macro::Notice& n, Language lang) override;

private:
    std::vector<ShownNotice>& m_shown;
    const bool& m_answer;
};

class MacroDialogTest : public ::testing::Test {
protected:
    void TearDown() override;

    // Creates the dialog in the language over m_store and shows it.
    void openDialog(int languageCode = 0);
    void click(QPoint p);
    void clickButton(int button);
    void hookKey(int vk, bool released);
    void tap(int vk, int holdMs);  // press, wait, release
    void selectEventLine(int line);
    // Right-button release over the event list, then the command's action.
    void menuCommand(int command);
    // Double click on a line, type the text and press Enter in the in-place edit.
    void editLine(SkinListBox& list, int line, const QString& text);
    std::vector<std::string> eventLines() const;
    std::vector<std::string> macroListLines() const;
    const macro::MacroRecord& workingRecord(int i) const;

    SettableClock m_clock;
    macro::MacroStore m_store{};
    std::vector<ShownNotice> m_shown;
    bool m_answer = true;
    std::unique_ptr<MacroManagerDialog> m_dlg;
};

// "<key name> dn" / "<key name> up" as the event list shows it.
std::string eventText(int vk, bool released);

}  // namespace tavrik::app::test_support
