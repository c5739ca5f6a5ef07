// The event list's context menu: every command reaches the editor through the real menu, and the
// captured key of Insert Before arrives through the key hook.
#include <QMenu>
#include <QTest>

#include "controls/skin_list_box.h"
#include "dialogs/macro_manager/event_menu.h"
#include "dialogs/macro_manager/macro_manager_layout.h"
#include "dialogs/macro_manager/macro_manager_texts.h"
#include "macro_dialog_fixture.h"

namespace tavrik::app::test_support {
namespace {

using namespace macromanager;
using Bytes = std::vector<std::uint8_t>;

// A macro "Press" holding A down, A up (no delays).
void putPressA(macro::MacroStore& store) {
    macro::MacroRecord& r = store[0];
    macro::setMacroName(r, u"Press");
    macro::setLoopCount(r, 1);
    const Bytes device{0x01, 0x04, 0x81, 0x04}, key{0x01, kA, 0x81, kA};
    std::ranges::copy(device, macro::deviceSequence(r).begin());
    std::ranges::copy(key, macro::keySequence(r).begin());
}

Bytes keyPrefix(const macro::MacroRecord& r, std::size_t n) {
    const auto seq = macro::keySequence(r);
    return {seq.begin(), seq.begin() + static_cast<std::ptrdiff_t>(n)};
}

struct MouseRow {
    int command;
    Bytes inserted;  // key-sequence bytes placed after the selected "A dn"
};

class MouseCommands : public MacroDialogTest, public ::testing::WithParamInterface<MouseRow> {};

TEST_P(MouseCommands, InsertBelowTheSelectedEvent) {
    putPressA(m_store);
    openDialog();
    selectEventLine(0);
    menuCommand(GetParam().command);
    Bytes expected{0x01, kA};
    expected.insert(expected.end(), GetParam().inserted.begin(), GetParam().inserted.end());
    expected.insert(expected.end(), {0x81, kA});
    const int lines = static_cast<int>(expected.size() / 2);
    expected.insert(expected.end(), {0, 0});
    EXPECT_EQ(keyPrefix(workingRecord(0), expected.size()), expected);
    EXPECT_EQ(m_dlg->eventList()->count(), lines);
}

INSTANTIATE_TEST_SUITE_P(Menu, MouseCommands,
                         ::testing::Values(MouseRow{cmd::kLeftDown, {0x01, 0xF0}},
                                           MouseRow{cmd::kLeftUp, {0x81, 0xF0}},
                                           MouseRow{cmd::kLeftClick, {0x01, 0xF0, 0x81, 0xF0}},
                                           MouseRow{cmd::kRightDown, {0x01, 0xF1}},
                                           MouseRow{cmd::kRightUp, {0x81, 0xF1}},
                                           MouseRow{cmd::kRightClick, {0x01, 0xF1, 0x81, 0xF1}},
                                           MouseRow{cmd::kMiddleDown, {0x01, 0xF2}},
                                           MouseRow{cmd::kMiddleUp, {0x81, 0xF2}},
                                           MouseRow{cmd::kMiddleClick, {0x01, 0xF2, 0x81, 0xF2}}));

TEST_F(MacroDialogTest, InsertBeforeTakesTheNextKeyFromTheHook) {
    putPressA(m_store);
    openDialog();
    selectEventLine(1);
    menuCommand(cmd::kInsertBefore);
    EXPECT_TRUE(m_dlg->editor().hookInstalled());
    hookKey(kC, false);
    hookKey(kC, true);
    EXPECT_FALSE(m_dlg->editor().hookInstalled());
    hookKey(kC, false);  // after the insertion nothing more is taken
    EXPECT_EQ(keyPrefix(workingRecord(0), 10),
              (Bytes{0x01, kA, 0x01, kC, 0x81, kC, 0x81, kA, 0, 0}));
    EXPECT_EQ(m_dlg->eventList()->count(), 4);
}

TEST_F(MacroDialogTest, DeleteAndInsertDelayFromTheMenu) {
    putPressA(m_store);
    openDialog();
    selectEventLine(0);
    menuCommand(cmd::kInsertDelay);  // 50 ms before the release
    EXPECT_EQ(keyPrefix(workingRecord(0), 4), (Bytes{0x01, kA, 0x80 | 50, kA}));
    ASSERT_EQ(m_dlg->eventList()->count(), 3);
    EXPECT_EQ(m_dlg->eventList()->item(1)->text(), "50 ms");
    selectEventLine(0);
    menuCommand(cmd::kDeleteEvent);  // the release becomes first, with delay 1
    EXPECT_EQ(keyPrefix(workingRecord(0), 4), (Bytes{0x81, kA, 0, 0}));
    EXPECT_EQ(m_dlg->eventList()->count(), 1);
}

TEST_F(MacroDialogTest, MenuOpensOnlyOverTheEventListInTheLanguage) {
    putPressA(m_store);
    openDialog(kChineseLanguageCode);
    QTest::mouseClick(m_dlg->macroList()->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_FALSE(m_dlg->eventMenu()->isVisible());
    QTest::mouseClick(m_dlg->eventList()->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_TRUE(m_dlg->eventMenu()->isVisible());
    QStringList titles;
    for (QAction* a : m_dlg->eventMenu()->actions()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{"在之前开始录入", "在之后开始录入", "插入鼠标按键", "插入延迟",
                                   "删除"}));
    m_dlg->eventMenu()->hide();
}

}  // namespace
}  // namespace tavrik::app::test_support
