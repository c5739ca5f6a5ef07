#include <gtest/gtest.h>

#include "mainwindow/main_view.h"
#include "model/slot_table.h"

namespace tavrik::mainwindow {
namespace {

Point centreOf(int slot) {
    const Rect r = model::windowRect(slot);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

constexpr Point kLightingTitle{100, 115};
constexpr Point kEffectBox{100, 160};
constexpr Point kSaveButton{950, 620};
constexpr Point kHelpButton{940, 10};

// Clicks (press + release) at p with a static effect.
ReleaseOutcome click(MainView& v, Point p, int effect = 1, int directionButtons = 0) {
    v.press();
    return v.release(p, v.context(effect, directionButtons));
}

TEST(MainViewRelease, EffectListChoosesARowAndClosesOnAnyClick) {
    MainView v;
    click(v, kLightingTitle);
    EXPECT_FALSE(v.state().collapse.lighting);
    EXPECT_EQ(click(v, kEffectBox).command.command, Command::OpenEffectList);
    ASSERT_TRUE(v.state().effectListOpen);

    ReleaseOutcome out = click(v, {100, 200});
    EXPECT_EQ(out.effectRow, 1);
    EXPECT_FALSE(v.state().effectListOpen);

    click(v, kEffectBox);
    out = click(v, {100, 533});  // just below the last row: only closes
    EXPECT_EQ(out.effectRow, std::nullopt);
    EXPECT_EQ(out.command.command, Command::None);
    EXPECT_FALSE(v.state().effectListOpen);
}

TEST(MainViewRelease, AnOpenOverlayTakesTheClickFromButtonsAndKeys) {
    MainView v;
    click(v, kHelpButton);
    ASSERT_TRUE(v.state().helpOpen);
    ReleaseOutcome out = click(v, kSaveButton);
    EXPECT_EQ(out.command.command, Command::None);  // Save does not run
    EXPECT_EQ(out.helpRow, std::nullopt);
    EXPECT_FALSE(v.state().helpOpen);

    click(v, kHelpButton);
    out = click(v, centreOf(0));  // a key: no key click either
    EXPECT_EQ(out.keyClick, std::nullopt);
    EXPECT_FALSE(v.state().helpOpen);

    click(v, kHelpButton);
    EXPECT_EQ(click(v, {900, 50}).helpRow, 1);
}

TEST(MainViewRelease, ResponseListUsesTheCurrentLayout) {
    MainView v;
    click(v, {100, 255});  // response title: expand
    ASSERT_FALSE(v.state().collapse.response);
    EXPECT_EQ(click(v, {100, 280}).command.command, Command::OpenResponseList);
    ASSERT_TRUE(v.state().responseListOpen);
    // Collapsed lighting: the list starts at y 77; row 0 stores response time 1.
    EXPECT_EQ(click(v, {100, 77}).responseRow, 0);
    EXPECT_FALSE(v.state().responseListOpen);
}

TEST(MainViewRelease, CommandsAndKeyClicks) {
    MainView v;
    EXPECT_EQ(click(v, kSaveButton).command.command, Command::Save);
    EXPECT_EQ(click(v, {990, 10}).command.command, Command::Close);
    ReleaseOutcome out = click(v, centreOf(63));
    EXPECT_EQ(out.keyClick, 63);
    EXPECT_EQ(v.state().selectedSlot, 63);
    // Win is not chosen in the key-map view: the selection becomes none.
    EXPECT_EQ(click(v, centreOf(kWinKeySlot)).keyClick, std::nullopt);
    EXPECT_EQ(v.state().selectedSlot, std::nullopt);

    click(v, kLightingTitle);
    out = click(v, {200, 205}, 3, 4);
    EXPECT_EQ(out.command.command, Command::Direction);
    EXPECT_EQ(out.command.directionButton, 3);
}

TEST(MainViewRelease, KeyViewRadiosAndTheDiyViewOfNonDiyEffects) {
    MainView v;
    click(v, kLightingTitle);
    click(v, {135, 205}, 52);
    EXPECT_TRUE(v.state().diyView);
    EXPECT_TRUE(diyViewActive(v.state(), 52));
    EXPECT_EQ(click(v, centreOf(kWinKeySlot), 52).keyClick, kWinKeySlot);
    // A profile brings a non-DIY effect while the view is on: keys behave as in the key map.
    EXPECT_FALSE(diyViewActive(v.state(), 3));
    EXPECT_EQ(click(v, centreOf(kWinKeySlot), 3).keyClick, std::nullopt);
    click(v, {35, 205}, 52);
    EXPECT_FALSE(v.state().diyView);
}

TEST(MainViewState, EffectChoiceFactoryResetAndDiyTables) {
    MainView v;
    v.effectChosen(55);
    EXPECT_TRUE(v.state().diyView);
    v.effectChosen(16);
    EXPECT_FALSE(v.state().diyView);
    click(v, kLightingTitle);
    v.effectChosen(51);
    v.factoryReset();
    EXPECT_FALSE(v.state().diyView);
    EXPECT_TRUE(v.state().collapse.lighting && v.state().collapse.game &&
                v.state().collapse.response && v.state().collapse.report);
    EXPECT_EQ(diyTableOf(53), 2);
    EXPECT_EQ(diyTableOf(50), std::nullopt);
    EXPECT_EQ(diyTableOf(56), std::nullopt);
}

TEST(MainViewMove, HoverRepaintsOnlyOnChange) {
    MainView v;
    const HitContext c = v.context(1, 0);
    EXPECT_TRUE(v.move(kSaveButton, c, false).repaint);
    EXPECT_TRUE(v.state().hovered(hit::kSave));
    EXPECT_FALSE(v.move({951, 621}, c, false).repaint);
    EXPECT_TRUE(v.move(centreOf(0), c, false).repaint);
    EXPECT_EQ(v.state().hoveredCode, std::nullopt);
    EXPECT_EQ(v.state().hoveredSlot, 0);
    EXPECT_TRUE(v.clearHover());
    EXPECT_FALSE(v.clearHover());
}

TEST(MainViewMove, OpenListTracksItsRowNotTheHitAreas) {
    MainView v;
    click(v, kLightingTitle);
    click(v, kEffectBox);
    const HitContext c = v.context(1, 0);
    EXPECT_TRUE(v.move({100, 213}, c, false).repaint);
    EXPECT_EQ(v.state().hoveredEffectRow, 2);
    v.move(kSaveButton, c, false);
    EXPECT_EQ(v.state().hoveredEffectRow, std::nullopt);
    EXPECT_EQ(v.state().hoveredCode, std::nullopt);
}

TEST(MainViewMove, DragOnlyFromEmptySpotsWithTheButtonHeld) {
    MainView v;
    const HitContext c = v.context(1, 0);
    v.press();
    EXPECT_TRUE(v.move({600, 30}, c, true).startDrag);
    EXPECT_FALSE(v.move(kSaveButton, c, true).startDrag);
    EXPECT_FALSE(v.move(centreOf(kWinKeySlot), c, true).startDrag);  // a key, even if unchoosable
    // A move with the button up clears the pressed state for good.
    EXPECT_FALSE(v.move({600, 30}, c, false).startDrag);
    EXPECT_FALSE(v.move({600, 30}, c, true).startDrag);
}

TEST(MainViewSliders, ShownPerSectionAndHiddenByLists) {
    MainView v;
    SliderVisibility s = sliderVisibility(v.state(), true);
    EXPECT_FALSE(s.speed || s.brightness || s.reportRate);  // everything collapsed
    click(v, {100, 295});                                   // report title
    click(v, kLightingTitle);
    s = sliderVisibility(v.state(), true);
    EXPECT_TRUE(s.speed && s.brightness && s.reportRate);
    EXPECT_FALSE(sliderVisibility(v.state(), false).speed);
    click(v, kEffectBox);
    s = sliderVisibility(v.state(), true);
    EXPECT_FALSE(s.speed || s.brightness);
    EXPECT_TRUE(s.reportRate);
}

TEST(MainViewKeys, FilteredKeys) {
    EXPECT_TRUE(isFilteredKey(0x70));   // F1
    EXPECT_TRUE(isFilteredKey(0x0D));   // Enter
    EXPECT_TRUE(isFilteredKey(0x1B));   // Esc
    EXPECT_FALSE(isFilteredKey(0x71));  // F2
    EXPECT_FALSE(isFilteredKey(0x20));
}

}  // namespace
}  // namespace tavrik::mainwindow
