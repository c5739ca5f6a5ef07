// A macro from recording to the keyboard, through the real main window and its dialogs: the
// macro manager records and edits it, the key assignment dialog binds it to a key, and the
// main window's Save sends both to the emulated keyboard.

#include <gtest/gtest.h>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

#include "controls/in_place_edit.h"
#include "controls/skin_list_box.h"
#include "dialogs/key_assign/key_assign_dialog.h"
#include "dialogs/macro_manager/event_menu.h"
#include "dialogs/macro_manager/macro_manager_dialog.h"
#include "dialogs/macro_manager/macro_manager_layout.h"
#include "dialogs/macro_manager/macro_manager_texts.h"
#include "macro/macro_events.h"
#include "macro/macro_store.h"
#include "model/slot_table.h"
#include "qt_app_fixture.h"

namespace tavrik::app {
namespace {

using test_support::kSave;

namespace img = model::image;
using Bytes = std::vector<std::uint8_t>;

constexpr QPoint kMacrosButton{100, 150};
constexpr QPoint kKeyMapMacroTab{121, 44};
constexpr QPoint kKeyMapSave{284, 257};
constexpr int kVkA = 0x41, kVkB = 0x42;
constexpr int kSlotA = 63;

class HandClock final : public macro::Clock {
public:
    std::int64_t ticks() const override { return m_now; }
    std::int64_t frequency() const override { return 1'000'000; }
    void advanceMs(std::int64_t ms) { m_now += ms * 1000; }

private:
    std::int64_t m_now = 5'000'000;
};

void click(QWidget& w, QPoint p) {
    QTest::mouseClick(&w, Qt::LeftButton, {}, p);
}

// Runs `script` on the next modal dialog of type D once it is open; a dialog the script leaves
// open is cancelled so that a failing step cannot hang the test.
template <typename D>
void onNextModal(std::function<void(D&)> script, bool& ran) {
    auto* poll = new QTimer(qApp);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, script, &ran] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dialog) return;
        poll->stop();
        poll->deleteLater();
        script(*dialog);
        ran = true;
        if (dialog->isVisible()) dialog->reject();
    });
    poll->start();
}

// The macro manager, driven as the user does.
class MacroManagerHand {
public:
    MacroManagerHand(MacroManagerDialog& d, HandClock& clock) : m_d(d), m_clock(clock) {}

    void button(int b) {
        click(m_d, macromanager::kButtons[static_cast<std::size_t>(b)].rect.center());
    }
    void hookKey(int vk, bool released) {
        m_d.hookReports().post(vk, released);
        QCoreApplication::sendPostedEvents(&m_d.hookReports());
    }
    void tap(int vk, int holdMs) {
        hookKey(vk, false);
        m_clock.advanceMs(holdMs);
        hookKey(vk, true);
    }
    QPoint lineCentre(int line) {
        SkinListBox& list = *m_d.eventList();
        list.scrollToItem(list.item(line));
        return list.itemRect(line).center();
    }
    void editDelay(int line, const QString& ms) {
        SkinListBox& list = *m_d.eventList();
        const QPoint at = lineCentre(line);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
        InPlaceEdit* edit = list.editControl();
        ASSERT_NE(edit, nullptr) << "no in-place edit began";
        edit->selectAll();
        QTest::keyClicks(edit, ms);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void menuCommandOn(int line, int command) {
        SkinListBox& list = *m_d.eventList();
        const QPoint at = lineCentre(line);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseClick(list.viewport(), Qt::RightButton, {}, at);
        ASSERT_TRUE(m_d.eventMenu()->isVisible());
        QAction* action = macromanager::findCommandAction(*m_d.eventMenu(), command);
        ASSERT_NE(action, nullptr);
        action->trigger();
        m_d.eventMenu()->hide();
    }
    std::vector<std::string> eventLines() const {
        std::vector<std::string> lines;
        for (int i = 0; i < m_d.eventList()->count(); ++i)
            lines.push_back(m_d.eventList()->item(i)->text().toStdString());
        return lines;
    }

private:
    MacroManagerDialog& m_d;
    HandClock& m_clock;
};

class MacroToKeyboard : public test_support::MainWindowFixture {
protected:
    // One macro is stored already, so the recorded one gets index 1.
    void storeFirstMacro() {
        auto store = std::make_unique<macro::MacroStore>();
        macro::MacroRecord& r = (*store)[0];
        ASSERT_TRUE(macro::setMacroName(r, u"Walk"));
        macro::setLoopCount(r, 2);
        const Bytes device{0x01, 0x1A, 0x81, 0x1A}, key{0x01, 'W', 0x81, 'W'};
        std::ranges::copy(device, macro::deviceSequence(r).begin());
        std::ranges::copy(key, macro::keySequence(r).begin());
        ASSERT_TRUE(macro::saveMacroFile(*store, m_dir.filePath("MacroDefine.bin").toStdString()));
    }
    std::unique_ptr<MainWindow> start() {
        AppContext c = context(Language::English, true);
        c.macroClock = &m_clock;
        auto w = std::make_unique<MainWindow>(c);
        w->initialise(false);
        w->show();
        settle(*w);
        return w;
    }
    static Bytes range(const model::Image& image, std::size_t at, std::size_t n) {
        return {image.begin() + static_cast<std::ptrdiff_t>(at),
                image.begin() + static_cast<std::ptrdiff_t>(at + n)};
    }

    HandClock m_clock;
};

TEST_F(MacroToKeyboard, RecordedMacroBoundToAKeyReachesTheKeyboardWithSave) {
    storeFirstMacro();
    auto w = start();

    bool recorded = false;
    onNextModal<MacroManagerDialog>(
        [this](MacroManagerDialog& d) {
            MacroManagerHand hand(d, m_clock);
            hand.button(macromanager::kNew);
            ASSERT_EQ(d.editor().selectedMacro(), 1);
            hand.button(macromanager::kDelayOption);
            hand.button(macromanager::kRecord);
            ASSERT_TRUE(d.editor().recording());
            hand.tap(kVkA, 120);
            m_clock.advanceMs(3000);
            hand.hookKey(kVkB, false);
            m_clock.advanceMs(5);
            hand.hookKey(kVkB, true);
            hand.button(macromanager::kRecord);
            hand.editDelay(1, QStringLiteral("500"));
            hand.menuCommandOn(2, macromanager::cmd::kLeftClick);
            const auto line = [](int vk, bool up) {
                return macro::eventLineText(static_cast<std::uint8_t>(vk), up);
            };
            EXPECT_EQ(hand.eventLines(),
                      (std::vector<std::string>{line(kVkA, false), "500 ms", line(kVkA, true),
                                                "MsLB dn", "MsLB up", "3000 ms", line(kVkB, false),
                                                "5 ms", line(kVkB, true)}));
            hand.button(macromanager::kOk);
        },
        recorded);
    click(*w, kMacrosButton);
    ASSERT_TRUE(recorded);

    bool assigned = false;
    onNextModal<KeyAssignDialog>(
        [](KeyAssignDialog& d) {
            click(d, kKeyMapMacroTab);
            QListWidget* list = d.macroList();
            ASSERT_TRUE(list->isVisible());
            ASSERT_EQ(list->count(), 2);
            QCoreApplication::processEvents();  // lays the rows out
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(1)).center());
            click(d, kKeyMapSave);
        },
        assigned);
    const model::Rect key = model::windowRect(kSlotA);
    click(*w, {key.left + 5, key.top + 5});
    ASSERT_TRUE(assigned);

    const std::size_t cell = img::kKeyCodeArea + model::cellOffset(kSlotA);
    EXPECT_NE(range(m_firmware->image(), cell, 4), (Bytes{4, 1, 1, 0}));  // not before Save
    click(*w, kSave);
    settle(*w);

    const model::Image keyboard = m_firmware->image();
    EXPECT_EQ(range(keyboard, cell, 4), (Bytes{4, 1, 1, 0}));
    model::Image built{};
    macro::buildMacroSlots(w->macroStore(), built);
    for (std::size_t slot : {0U, 1U}) {
        EXPECT_EQ(range(keyboard, img::macroSlot(slot), img::kMacroSlotSize),
                  range(built, img::macroSlot(slot), img::kMacroSlotSize))
            << "macro slot " << slot;
    }
    // Loop count 1, then the events with the recorded and edited delays in usage codes.
    const Bytes sent{0x00, 0x01, 0x01, 0x04, 0xFF, 0x04, 0x01, 0xF4, 0x01, 0xF0,
                     0x81, 0xF0, 0x7F, 0x05, 0x0B, 0xB8, 0x85, 0x05, 0x00, 0x00};
    EXPECT_EQ(range(keyboard, img::macroSlot(1), sent.size()), sent);
}

}  // namespace
}  // namespace tavrik::app
