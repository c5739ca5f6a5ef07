// What the macro manager shows of its state: the hints over its empty lists, the record button
// while recording (held down, its lamp blinking) and its window title.
#include <QApplication>
#include <QTimer>

#include "controls/empty_hint.h"
#include "controls/skin_list_box.h"
#include "dialogs/macro_manager/macro_manager_layout.h"
#include "dialogs/macro_manager/macro_manager_texts.h"
#include "host/qt/qt_text.h"
#include "macro_dialog_fixture.h"

namespace tavrik::app::test_support {
namespace {

using namespace macromanager;

QColor lampPixel(MacroManagerDialog& dlg) {
    QApplication::processEvents();
    return dlg.grab().toImage().pixelColor(kRecordLampCentre);
}

void blink(MacroManagerDialog& dlg) {
    auto* timer = dlg.findChild<QTimer*>(QStringLiteral("recordBlink"));
    ASSERT_NE(timer, nullptr);
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout"));
}

TEST_F(MacroDialogTest, HintsShowOverTheListsOnlyWhileTheyAreEmpty) {
    openDialog();
    EmptyHint& macros = *m_dlg->macroListHint();
    EmptyHint& events = *m_dlg->eventListHint();
    EXPECT_TRUE(macros.showing());
    EXPECT_EQ(macros.text(), qs(kNoMacrosHint, Language::English));
    EXPECT_FALSE(events.showing()) << "with no macro the macro list's hint says it all";

    clickButton(kNew);
    EXPECT_FALSE(macros.showing());
    EXPECT_TRUE(events.showing());
    EXPECT_EQ(events.text(), qs(kNoEventsHint, Language::English));

    clickButton(kRecord);
    EXPECT_TRUE(events.showing());
    EXPECT_EQ(events.text(), qs(kRecordingEventsHint, Language::English));
    tap(kA, 20);
    EXPECT_FALSE(events.showing()) << "the recorded keys are shown";
    clickButton(kRecord);
    EXPECT_FALSE(events.showing());

    // Deleting the only macro empties both lists again.
    clickButton(kDelete);
    EXPECT_TRUE(macros.showing());
    EXPECT_FALSE(events.showing());
}

TEST_F(MacroDialogTest, HintsAndTitleInChinese) {
    openDialog(kChineseLanguageCode);
    EXPECT_EQ(m_dlg->windowTitle(), qs(kTitle.text, Language::Chinese));
    EXPECT_EQ(m_dlg->macroListHint()->text(), qs(kNoMacrosHint, Language::Chinese));
    clickButton(kNew);
    EXPECT_EQ(m_dlg->eventListHint()->text(), qs(kNoEventsHint, Language::Chinese));
}

TEST_F(MacroDialogTest, RecordButtonShowsRecordingWhileTheRecorderRuns) {
    openDialog();
    EXPECT_EQ(m_dlg->windowTitle(), QStringLiteral("Macro Manager"));
    clickButton(kNew);
    const QColor idle = lampPixel(*m_dlg);
    EXPECT_FALSE(m_dlg->showsRecording());

    clickButton(kRecord);
    ASSERT_TRUE(m_dlg->editor().recording());
    EXPECT_TRUE(m_dlg->showsRecording());
    EXPECT_TRUE(m_dlg->recordLampLit()) << "lit at once";
    EXPECT_EQ(lampPixel(*m_dlg), kRecordLampLit);
    // The lamp blinks: off, then on again.
    blink(*m_dlg);
    EXPECT_FALSE(m_dlg->recordLampLit());
    EXPECT_NE(lampPixel(*m_dlg), kRecordLampLit);
    blink(*m_dlg);
    EXPECT_TRUE(m_dlg->recordLampLit());

    clickButton(kRecord);
    EXPECT_FALSE(m_dlg->editor().recording());
    EXPECT_FALSE(m_dlg->showsRecording());
    EXPECT_EQ(lampPixel(*m_dlg), idle);
}

// Recording ends in other ways than the button: each one ends what the button shows too.
TEST_F(MacroDialogTest, RecordingStateEndsWithEveryWayTheRecorderStops) {
    openDialog();
    clickButton(kNew);
    clickButton(kRecord);
    ASSERT_TRUE(m_dlg->showsRecording());
    clickButton(kNew);  // a new macro stops the hook
    EXPECT_FALSE(m_dlg->editor().recording());
    EXPECT_FALSE(m_dlg->showsRecording());

    clickButton(kRecord);
    ASSERT_TRUE(m_dlg->showsRecording());
    m_dlg->macroList()->beginEdit(0);  // an in-place rename stops it
    EXPECT_FALSE(m_dlg->editor().recording());
    EXPECT_FALSE(m_dlg->showsRecording());
    m_dlg->macroList()->endEdit(false);

    clickButton(kRecord);
    ASSERT_TRUE(m_dlg->showsRecording());
    clickButton(kCancel);
    EXPECT_FALSE(m_dlg->showsRecording());
}

}  // namespace
}  // namespace tavrik::app::test_support
