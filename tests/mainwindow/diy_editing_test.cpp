// The DIY view's editing rules: selection by click, Ctrl, Shift, box, groups and Ctrl+A;
// painting and erasing the selection; strokes that follow the pointer's path; undo and redo.

#include <gtest/gtest.h>

#include <memory>

#include "mainwindow/main_view.h"
#include "mainwindow/surface_layout.h"
#include "model/slot_table.h"

namespace tavrik::mainwindow::diy_editing_test {
namespace {

namespace img = model::image;
using settings::KeyGroup;
using settings::Rgb;
using settings::SlotSet;

Point centreOf(int slot) {
    const Rect r = model::windowRect(slot);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

SlotSet setOf(std::initializer_list<int> slots) {
    SlotSet s;
    for (int slot : slots) s.set(static_cast<std::size_t>(slot));
    return s;
}

constexpr Point kLightingTitle{100, 115};
// The swatch row of a DIY effect, below the view radios.
constexpr Point kRedSwatch{30, 210};
constexpr Point kOrangeSwatch{30 + 25 * 7, 210};
constexpr PressModifiers kCtrl{true, false};
constexpr PressModifiers kShift{false, true};
// Beside the keys on the keyboard picture: between "~" and "1" (x 59 of the picture).
constexpr Point kBesideKeys{59 + 275, 200 + 85};

class DiyEditing : public ::testing::Test {
protected:
    DiyEditing() : m_image(std::make_unique<model::Image>()) {
        image()[img::kEffect] = 52;  // DIY2: table 1
        m_view.release(kLightingTitle, image());
        m_view.followEffect(52);
    }
    model::Image& image() { return *m_image; }
    const ViewState& state() const { return m_view.state(); }
    // A press and a release at the same point, as a click arrives.
    void click(Point p, PressModifiers mods = {}) {
        m_view.press(p, false, image(), mods);
        m_view.release(p, image());
    }
    std::array<std::uint8_t, 4> cell(int slot) const {
        const std::size_t at = settings::diyCellOffset(1, slot);
        return {(*m_image)[at], (*m_image)[at + 1], (*m_image)[at + 2], (*m_image)[at + 3]};
    }
    std::uint8_t red(int slot) const { return cell(slot)[3]; }
    // The slots whose cell in table 1 is not all zero.
    SlotSet litSlots() const {
        SlotSet out;
        for (int s = 0; s < model::kSlotCount; ++s) {
            if (model::slot(s).drawn() && cell(s) != std::array<std::uint8_t, 4>{}) {
                out.set(static_cast<std::size_t>(s));
            }
        }
        return out;
    }

    MainView m_view;
    std::unique_ptr<model::Image> m_image;
};

TEST_F(DiyEditing, APlainClickStillTogglesBlueAndIsOneUndoStep) {
    click(centreOf(63));
    EXPECT_EQ(cell(63), (std::array<std::uint8_t, 4>{0, 0xFF, 0, 0}));
    click(centreOf(63));
    EXPECT_EQ(cell(63), (std::array<std::uint8_t, 4>{}));
    EXPECT_TRUE(state().selection.none());  // painting selects nothing
    EXPECT_TRUE(m_view.edit(EditCommand::Undo, image()));
    EXPECT_EQ(cell(63)[1], 0xFF);
    EXPECT_TRUE(m_view.edit(EditCommand::Undo, image()));
    EXPECT_EQ(cell(63)[1], 0);
    EXPECT_FALSE(m_view.edit(EditCommand::Undo, image()));
}

TEST_F(DiyEditing, CtrlClickTogglesKeysInTheSelectionWithoutPainting) {
    const model::Image before = image();
    click(centreOf(43), kCtrl);
    click(centreOf(63), kCtrl);
    EXPECT_EQ(state().selection, setOf({43, 63}));
    click(centreOf(43), kCtrl);
    EXPECT_EQ(state().selection, setOf({63}));
    EXPECT_EQ(image(), before);
}

TEST_F(DiyEditing, ShiftClickSelectsTheKeysBetweenTheLastClickedKeyAndThisOne) {
    click(centreOf(42), kCtrl);   // Q, the anchor
    click(centreOf(65), kShift);  // to D
    EXPECT_EQ(state().selection, setOf({42, 43, 44, 63, 64, 65}));
    click(centreOf(64), kShift);  // the same anchor, a smaller box
    EXPECT_EQ(state().selection, setOf({42, 43, 63, 64}));
    // With Ctrl too the box is added.
    click(centreOf(0), kCtrl);
    EXPECT_TRUE(state().selection.test(0));
    click(centreOf(1), PressModifiers{true, true});
    EXPECT_EQ(state().selection, setOf({0, 1, 42, 43, 63, 64}));
}

TEST_F(DiyEditing, ABoxFromBesideTheKeysSelectsWhatItTouches) {
    EXPECT_TRUE(m_view.isControlAt(kBesideKeys, 52));  // not a window drag
    EXPECT_TRUE(m_view.press(kBesideKeys, false, image()));
    ASSERT_TRUE(state().band);
    // To the middle of W: the box touches "1", "2", Tab, Q and W.
    m_view.drag(centreOf(43), image());
    EXPECT_EQ(state().selection, setOf({21, 22, 41, 42, 43}));
    EXPECT_EQ(m_view.release(centreOf(43), image()).command.command, Command::None);
    EXPECT_FALSE(state().band);
    EXPECT_EQ(state().selection, setOf({21, 22, 41, 42, 43}));
    EXPECT_TRUE(litSlots().none());  // the release over W painted nothing
    // With Ctrl a second box, up to Esc, adds Esc and "~".
    m_view.press(kBesideKeys, false, image(), kCtrl);
    m_view.drag(centreOf(0), image());
    EXPECT_EQ(state().selection, setOf({0, 20, 21, 22, 41, 42, 43}));
    m_view.release(centreOf(0), image());
    // A plain click beside the keys clears the selection; no key is painted.
    click(kBesideKeys);
    EXPECT_TRUE(state().selection.none());
    EXPECT_TRUE(litSlots().none());
}

TEST_F(DiyEditing, EnterPaintsTheSelectionAndDeleteErasesItEachOneStep) {
    click(kRedSwatch);
    ASSERT_TRUE(m_view.selectGroup(KeyGroup::Wasd, image()));
    EXPECT_TRUE(m_view.edit(EditCommand::PaintSelection, image()));
    EXPECT_EQ(litSlots(), setOf({43, 63, 64, 65}));
    for (int s : {43, 63, 64, 65}) EXPECT_EQ(cell(s), (std::array<std::uint8_t, 4>{0, 0, 0, 255}));
    m_view.edit(EditCommand::SelectAll, image());
    EXPECT_EQ(state().selection, settings::allDrawnSlots());
    EXPECT_TRUE(m_view.edit(EditCommand::EraseSelection, image()));
    EXPECT_TRUE(litSlots().none());
    EXPECT_TRUE(m_view.edit(EditCommand::Undo, image()));  // the erase, whole
    EXPECT_EQ(litSlots(), setOf({43, 63, 64, 65}));
    EXPECT_TRUE(m_view.edit(EditCommand::Undo, image()));  // the paint
    EXPECT_TRUE(litSlots().none());
    EXPECT_TRUE(m_view.edit(EditCommand::Redo, image()));
    EXPECT_EQ(litSlots(), setOf({43, 63, 64, 65}));
    EXPECT_TRUE(m_view.edit(EditCommand::ClearSelection, image()));
    EXPECT_FALSE(m_view.edit(EditCommand::PaintSelection, image()));  // nothing selected
}

TEST_F(DiyEditing, ASwatchClickedWhileKeysAreSelectedPaintsThem) {
    m_view.selectGroup(KeyGroup::Arrows, image());
    click(kOrangeSwatch);
    EXPECT_EQ(state().paintColour, (Rgb{255, 128, 0}));
    EXPECT_EQ(litSlots(), setOf({90, 103, 104, 105}));
    EXPECT_EQ(cell(90), (std::array<std::uint8_t, 4>{0, 0, 128, 255}));
    EXPECT_TRUE(m_view.edit(EditCommand::Undo, image()));
    EXPECT_TRUE(litSlots().none());
}

TEST_F(DiyEditing, TheGroupChipsSelectTheirGroups) {
    for (int g = 0; g < settings::kKeyGroupCount; ++g) {
        const Rect chip = *hitArea(hit::kKeyGroup + g, panelLayout(state().panel, 52));
        const ReleaseOutcome out = m_view.release({chip.left + 3, chip.top + 3}, image());
        EXPECT_EQ(out.command.command, Command::SelectGroup) << g;
        EXPECT_EQ(state().selection, settings::groupSlots(static_cast<KeyGroup>(g))) << g;
    }
    // Outside the DIY view the chips are not there.
    const Rect first = *hitArea(hit::kKeyGroup, panelLayout(state().panel, 52));
    m_view.release({30, 190}, image());  // key-map radio
    ASSERT_FALSE(state().panel.diyView);
    for (int g = 0; g < settings::kKeyGroupCount; ++g) {
        EXPECT_NE(hitTest({first.left + 3, first.top + 3}, state().panel, 52), hit::kKeyGroup + g);
    }
}

TEST_F(DiyEditing, AFastStrokePaintsEveryKeyOnItsPathAndUndoesAsOneStep) {
    click(kRedSwatch);
    // Two pointer positions only: from "1" to "0" and on down to the right Alt.
    EXPECT_TRUE(m_view.press(centreOf(21), false, image()));
    EXPECT_TRUE(m_view.drag(centreOf(30), image()));
    EXPECT_EQ(litSlots(), setOf({21, 22, 23, 24, 25, 26, 27, 28, 29, 30}));
    // Straight down from "0": x 392 of the picture passes between O and P, over L, "." and the
    // right Alt.
    m_view.drag({centreOf(30).x, centreOf(99).y}, image());
    m_view.release({centreOf(30).x, centreOf(99).y}, image());
    for (int s : {71, 87, 99}) EXPECT_EQ(red(s), 255) << s;
    EXPECT_EQ(red(50), 0);
    EXPECT_EQ(red(51), 0);
    EXPECT_EQ(litSlots().count(), 13u);
    EXPECT_TRUE(m_view.edit(EditCommand::Undo, image()));
    EXPECT_TRUE(litSlots().none());
    EXPECT_TRUE(m_view.edit(EditCommand::Redo, image()));
    EXPECT_EQ(litSlots().count(), 13u);
}

TEST_F(DiyEditing, AStrokeLeavingTheKeyboardIsNotFollowedOutsideIt) {
    click(kRedSwatch);
    m_view.press(centreOf(65), false, image());
    m_view.drag({600, 30}, image());    // off the keyboard, up to the title strip
    m_view.drag(centreOf(5), image());  // back onto F5: only F5, not the keys below it
    m_view.release(centreOf(5), image());
    EXPECT_EQ(litSlots(), setOf({5, 65}));
}

TEST_F(DiyEditing, TheHistoryStartsAgainAtASaveOrLoad) {
    click(centreOf(63));
    click(centreOf(64));
    m_view.clearHistory();  // the window's Save, or a read of the keyboard
    EXPECT_FALSE(m_view.edit(EditCommand::Undo, image()));
    EXPECT_EQ(litSlots(), setOf({63, 64}));
    // A right-button stroke closed by the window is one step too.
    m_view.press(centreOf(63), true, image());
    m_view.drag(centreOf(64), image());
    m_view.endStroke(image());
    EXPECT_TRUE(litSlots().none());
    EXPECT_EQ(m_view.history().undoCount(), 1u);
    EXPECT_TRUE(m_view.edit(EditCommand::Undo, image()));
    EXPECT_EQ(litSlots(), setOf({63, 64}));
}

TEST_F(DiyEditing, EditingKeysDoNothingOutsideTheDiyViewOrUnderAnOpenList) {
    m_view.selectGroup(KeyGroup::Letters, image());
    click(centreOf(63));
    const model::Image before = image();
    m_view.release({100, 170}, image());  // opens the effect list
    ASSERT_TRUE(state().panel.effectListOpen);
    EXPECT_FALSE(m_view.editsDiy(52));
    for (EditCommand c : {EditCommand::Undo, EditCommand::EraseSelection, EditCommand::SelectAll}) {
        EXPECT_FALSE(m_view.edit(c, image()));
    }
    EXPECT_EQ(image(), before);
    m_view.release({600, 600}, image());  // closes it
    m_view.release({30, 190}, image());   // key-map view
    EXPECT_FALSE(m_view.edit(EditCommand::Undo, image()));
    EXPECT_FALSE(m_view.isControlAt(kBesideKeys, 52));  // the window drags from there again
    EXPECT_EQ(image(), before);
}

TEST_F(DiyEditing, FillAndClearAreUndoneToo) {
    click(centreOf(63));
    m_view.release({80, 280}, image());  // Fill all with blue
    EXPECT_EQ(litSlots().count(), 87u);
    m_view.release({200, 280}, image());  // Clear all
    EXPECT_TRUE(litSlots().none());
    EXPECT_TRUE(m_view.edit(EditCommand::Undo, image()));
    EXPECT_EQ(litSlots().count(), 87u);
    EXPECT_TRUE(m_view.edit(EditCommand::Undo, image()));
    EXPECT_EQ(litSlots(), setOf({63}));
}

TEST_F(DiyEditing, AFactoryResetForgetsSelectionAndHistory) {
    m_view.selectGroup(KeyGroup::Modifiers, image());
    click(centreOf(63));
    m_view.factoryReset();
    EXPECT_TRUE(state().selection.none());
    EXPECT_EQ(m_view.history().undoCount(), 0u);
}

}  // namespace
}  // namespace tavrik::mainwindow::diy_editing_test
