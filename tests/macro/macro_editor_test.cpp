#include <gtest/gtest.h>

#include "macro_test_support.h"

namespace tavrik::macro {
namespace {
using namespace testing;
using Lines = std::vector<std::string>;
constexpr int kX = 'X';

class Editor : public ::testing::Test {
protected:
    // One macro: A dn, 300 ms, B dn, C up.
    void SetUp() override {
        putMacro(m_store, 0, "Macro_001", buffersOf({{0x01, kA}, {0x7F, kB, 300}, {0x81, kC}}));
        m_editor.open(m_store);
    }
    void openWith(std::initializer_list<std::string> names) {
        m_store = {};
        std::size_t i = 0;
        for (const auto& n : names) putMacro(m_store, i++, n, buffersOf({{0x01, kA}}));
        m_editor.open(m_store);
    }
    void typeKey(int vk) {
        m_editor.onHookKey(vk, false);
        m_editor.onHookKey(vk, true);
    }
    const MacroRecord& record(std::size_t i) const { return m_editor.workingStore()[i]; }
    Lines storedLines(std::size_t i) const {
        EditorBuffers b;
        std::ranges::copy(deviceSequence(record(i)), b.device.begin());
        std::ranges::copy(keySequence(record(i)), b.key.begin());
        return eventLines(b);
    }

    MacroStore m_store{};
    FakeClock m_clock;
    FakeHook m_hook;
    MacroEditor m_editor{m_hook, m_clock};
};

TEST_F(Editor, NewFillsTheFirstGapAndRefusesA33rd) {
    openWith({"Macro_001", "Macro_003"});
    m_editor.newMacro();
    EXPECT_EQ(m_editor.macroNames(), (Lines{"Macro_001", "Macro_003", "Macro_002"}));
    EXPECT_EQ(m_editor.selectedMacro(), 2);
    EXPECT_EQ(macroName(record(2)), "Macro_002");
    EXPECT_EQ(loopCount(record(2)), 0);
    EXPECT_TRUE(m_editor.eventLines().empty());

    openWith({"Macro_001", "Macro_002", "Macro_003", "Macro_004", "Macro_005", "Macro_006",
              "Macro_007", "Macro_008", "Macro_009"});
    m_editor.newMacro();
    EXPECT_EQ(m_editor.macroNames().back(), "Macro_010");

    for (int i = 0; i < 40; ++i) m_editor.newMacro();
    EXPECT_EQ(m_editor.macroNames().size(), kMaxMacros);
    EXPECT_EQ(macroCount(m_editor.workingStore()), kMaxMacros);
    EXPECT_EQ(m_editor.macroNames().back(), "Macro_032");
}

TEST_F(Editor, DeleteMovesRecordsUpAndSelectsTheNext) {
    openWith({"one", "two", "three"});
    EXPECT_EQ(m_editor.deleteMacro(), std::nullopt);  // line 0 selected at opening
    EXPECT_EQ(m_editor.macroNames(), (Lines{"two", "three"}));
    EXPECT_EQ(m_editor.selectedMacro(), 0);
    EXPECT_EQ(macroName(record(1)), "three");
    EXPECT_TRUE(isFree(record(2)));
    m_editor.selectMacro(1);
    m_editor.deleteMacro();
    EXPECT_EQ(m_editor.selectedMacro(), 0);
    m_editor.deleteMacro();  // the only macro
    EXPECT_TRUE(m_editor.macroNames().empty());
    EXPECT_TRUE(m_editor.eventLines().empty());
    EXPECT_EQ(m_editor.selectedMacro(), -1);
    EXPECT_EQ(macroCount(m_editor.workingStore()), 0u);
    const auto notice = m_editor.deleteMacro();
    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(notice->text.en, "Please select a Macro file to delete\n");
}

TEST_F(Editor, RenameRefusesEmptyDuplicateAndOverlongNames) {
    openWith({"one", "two"});
    EXPECT_FALSE(m_editor.renameMacro(1, ""));
    EXPECT_FALSE(m_editor.renameMacro(1, "one"));
    EXPECT_FALSE(m_editor.renameMacro(1, std::string(255, 'x')));
    EXPECT_EQ(macroName(record(1)), "two");
    EXPECT_TRUE(m_editor.renameMacro(1, "two"));
    EXPECT_TRUE(m_editor.renameMacro(1, std::string(254, 'x')));
    EXPECT_EQ(macroName(record(1)), std::string(254, 'x'));
    EXPECT_EQ(m_editor.macroNames()[1], std::string(254, 'x'));
}

struct InsertCase {
    int selected;
    bool after;
    Lines lines;
};
class KeyInsertion : public Editor, public ::testing::WithParamInterface<InsertCase> {};

TEST_P(KeyInsertion, PlacesTheCapturedKeyAroundTheWholeEvent) {
    m_editor.selectEventLine(GetParam().selected);
    GetParam().after ? m_editor.insertAfter() : m_editor.insertBefore();
    EXPECT_TRUE(m_editor.insertArmed());
    EXPECT_TRUE(m_hook.installed);
    m_editor.onHookKey(kX, false);
    m_editor.onHookKey(kX, false);  // a repeat inserts another press
    m_editor.onHookKey(kX, true);
    EXPECT_FALSE(m_hook.installed);
    EXPECT_FALSE(m_editor.insertArmed());
    EXPECT_EQ(m_editor.eventLines(), GetParam().lines);
    EXPECT_EQ(storedLines(0), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, KeyInsertion,
    ::testing::Values(
        InsertCase{0, false, {"X  dn", "X  dn", "X  up", "A  dn", "300 ms", "B  dn", "C  up"}},
        InsertCase{1, false, {"A  dn", "X  dn", "X  dn", "X  up", "300 ms", "B  dn", "C  up"}},
        InsertCase{2, false, {"A  dn", "X  dn", "X  dn", "X  up", "300 ms", "B  dn", "C  up"}},
        InsertCase{3, true, {"A  dn", "300 ms", "B  dn", "C  up", "X  dn", "X  dn", "X  up"}},
        InsertCase{1, true, {"A  dn", "300 ms", "B  dn", "X  dn", "X  dn", "X  up", "C  up"}},
        InsertCase{0, true, {"A  dn", "X  dn", "X  dn", "X  up", "300 ms", "B  dn", "C  up"}}));

TEST_F(Editor, InsertionDuringRecordingEndsTheHookButKeepsTheToggle) {
    m_editor.toggleRecording();
    typeKey(kA);
    m_editor.selectEventLine(0);
    m_editor.insertBefore();
    EXPECT_EQ(m_hook.installs, 1);  // already held
    typeKey(kX);
    EXPECT_EQ(m_editor.eventLines(), (Lines{"X  dn", "X  up", "A  dn", "A  up"}));
    EXPECT_TRUE(m_editor.recording());
    EXPECT_FALSE(m_editor.hookInstalled());
    typeKey(kB);  // not recorded any more
    EXPECT_EQ(m_editor.eventLines().size(), 4u);
}

struct MouseCase {
    int selected;
    MouseButton button;
    MouseAction action;
    Lines lines;
};
class MouseInsertion : public Editor, public ::testing::WithParamInterface<MouseCase> {};

TEST_P(MouseInsertion, AddsEventsBelowTheSelectedEvent) {
    m_editor.selectEventLine(GetParam().selected);
    m_editor.insertMouseButton(GetParam().button, GetParam().action);
    EXPECT_EQ(m_editor.eventLines(), GetParam().lines);
    EXPECT_EQ(storedLines(0), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, MouseInsertion,
    ::testing::Values(MouseCase{0,
                                MouseButton::Left,
                                MouseAction::Click,
                                {"A  dn", "MsLB dn", "MsLB up", "300 ms", "B  dn", "C  up"}},
                      MouseCase{1,
                                MouseButton::Right,
                                MouseAction::Press,
                                {"A  dn", "300 ms", "B  dn", "MsRB dn", "C  up"}},
                      MouseCase{3,
                                MouseButton::Middle,
                                MouseAction::Release,
                                {"A  dn", "300 ms", "B  dn", "C  up", "MsMB up"}}));

TEST_F(Editor, InsertDelay) {
    m_editor.selectEventLine(3);  // last line: nothing
    EXPECT_EQ(m_editor.insertDelay(), std::nullopt);
    EXPECT_EQ(m_editor.eventLines().size(), 4u);
    m_editor.selectEventLine(1);
    const auto notice = m_editor.insertDelay();
    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(notice->text.en, "Please edit current delay\n");
    m_editor.selectEventLine(0);  // B's 300 ms (long form) becomes 50 ms (short form)
    m_editor.insertDelay();
    EXPECT_EQ(m_editor.eventLines(), (Lines{"A  dn", "50 ms", "B  dn", "C  up"}));
    m_editor.selectEventLine(2);
    m_editor.insertDelay();
    EXPECT_EQ(storedLines(0), (Lines{"A  dn", "50 ms", "B  dn", "50 ms", "C  up"}));
    EXPECT_EQ(deviceSequence(record(0))[4], 0x80 | 50);
    EXPECT_EQ(m_editor.selectedEventLine(), -1);
}

TEST_F(Editor, DeleteEvent) {
    m_editor.selectEventLine(1);  // the delay line: delay back to 1
    m_editor.deleteEvent();
    EXPECT_EQ(m_editor.eventLines(), (Lines{"A  dn", "B  dn", "C  up"}));
    EXPECT_EQ(keySequence(record(0))[3], kB);
    EXPECT_EQ(keySequence(record(0))[5], kC);

    m_editor.selectMacro(0);
    m_editor.editDelay(-1, 0);  // not a delay line: ignored
    putMacro(m_store, 0, "m", buffersOf({{0x01, kA}, {0xFF, kB, 300}, {0x05, kC}}));
    m_editor.open(m_store);
    m_editor.selectEventLine(0);  // first event: B becomes first with delay 1
    m_editor.deleteEvent();
    EXPECT_EQ(m_editor.eventLines(), (Lines{"B  up", "5 ms", "C  dn"}));
    EXPECT_EQ(deviceSequence(record(0))[0], 0x81);
    EXPECT_EQ(keySequence(record(0))[3], kC);
}

struct EditCase {
    long entered;
    int stored;
    std::size_t cOffset;  // where C's event lies afterwards
};
class DelayEdit : public Editor, public ::testing::WithParamInterface<EditCase> {};

TEST_P(DelayEdit, ClampsAndConvertsTheForm) {
    putMacro(m_store, 0, "m", buffersOf({{0x01, kA}, {0x0A, kB}, {0x81, kC}}));
    m_editor.open(m_store);
    m_editor.selectEventLine(1);
    m_editor.editDelay(1, GetParam().entered);
    EXPECT_EQ(m_editor.eventLines()[1], std::to_string(GetParam().stored) + " ms");
    EXPECT_EQ(keySequence(record(0))[GetParam().cOffset + 1], kC);
    EXPECT_EQ(m_editor.selectedEventLine(), 1);
}

INSTANTIATE_TEST_SUITE_P(Delays, DelayEdit,
                         ::testing::Values(EditCase{0, 2, 4}, EditCase{126, 126, 4},
                                           EditCase{127, 127, 6}, EditCase{500, 500, 6},
                                           EditCase{70000, 60000, 6}));

TEST_F(Editor, LoopCountFollowsTheOption) {
    m_editor.flipLoopOption();
    m_editor.setLoopText("3001");
    EXPECT_EQ(m_editor.loopText(), "300");
    EXPECT_EQ(loopCount(record(0)), 300);
    m_editor.flipLoopOption();  // off: the edit shows and stores 1
    EXPECT_EQ(m_editor.loopText(), "1");
    EXPECT_EQ(loopCount(record(0)), 1);
    m_editor.setLoopText("7x");
    EXPECT_EQ(m_editor.loopText(), "7");
}

TEST_F(Editor, SelectMacroRestoresOptions) {
    putMacro(m_store, 1, "two", {}, 0);
    putMacro(m_store, 2, "three", {}, 42);
    setRecordsDelay(m_store[2], true);
    m_editor.open(m_store);
    m_editor.selectMacro(1);
    EXPECT_EQ(m_editor.loopText(), "1");
    EXPECT_FALSE(m_editor.loopOption());
    m_editor.selectMacro(2);
    EXPECT_EQ(m_editor.loopText(), "42");
    EXPECT_TRUE(m_editor.loopOption());
    EXPECT_TRUE(m_editor.delayOption());
}

TEST_F(Editor, OkCopiesTheWorkingStoreCancelDropsIt) {
    const MacroStore before = m_store;
    m_editor.toggleRecording();
    typeKey(kX);
    m_editor.newMacro();
    m_editor.close();
    EXPECT_FALSE(m_hook.installed);
    EXPECT_EQ(m_store, before);

    m_editor.open(m_store);
    m_editor.flipLoopOption();
    m_editor.setLoopText("5");
    m_editor.toggleRecording();
    typeKey(kX);
    m_editor.ok(m_store);
    EXPECT_FALSE(m_hook.installed);
    EXPECT_EQ(loopCount(m_store[0]), 5);
    EXPECT_EQ(keySequence(m_store[0])[1], kX);
}

TEST_F(Editor, EditStartStopsHookAndRecording) {
    m_editor.toggleRecording();
    m_editor.onEditStart();
    EXPECT_FALSE(m_hook.installed);
    EXPECT_FALSE(m_editor.recording());
    EXPECT_EQ(m_editor.recordButtonLabel().en, "Start Recording");
}

}  // namespace
}  // namespace tavrik::macro
