#include <gtest/gtest.h>

#include <memory>

#include "mainwindow/main_view.h"
#include "model/slot_table.h"
#include "settings/panel.h"

namespace tavrik::mainwindow {
namespace {

namespace img = model::image;

Point centreOf(int slot) {
    const Rect r = model::windowRect(slot);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

constexpr Point kLightingTitle{100, 115};
constexpr Point kEffectBox{100, 170};
constexpr Point kSaveButton{950, 620};
constexpr Point kHelpButton{940, 10};

class MainViewTest : public ::testing::Test {
protected:
    MainViewTest() : m_image(std::make_unique<model::Image>()) { image()[img::kEffect] = 1; }

    model::Image& image() { return *m_image; }
    ReleaseOutcome click(Point p) { return m_view.release(p, image()); }
    bool moveTo(Point p) { return m_view.move(p, image()[img::kEffect]); }
    const ViewState& state() const { return m_view.state(); }
    // The centre of a hit area where the panel now places it.
    Point at(int code) {
        const Rect r = *hitArea(code, panelLayout(state().panel, image()[img::kEffect]));
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    MainView m_view;
    std::unique_ptr<model::Image> m_image;
};

TEST_F(MainViewTest, EffectListChoosesIntoTheImageAndClosesOnAnyClick) {
    click(kLightingTitle);
    EXPECT_FALSE(state().panel.lightingCollapsed);
    click(kEffectBox);
    ASSERT_TRUE(state().panel.effectListOpen);
    EXPECT_TRUE(click({100, 200}).imageChanged);
    EXPECT_EQ(image()[img::kEffect], 2);  // row 1: Breathing
    EXPECT_FALSE(state().panel.effectListOpen);

    click(kEffectBox);
    EXPECT_TRUE(click({248, 532}).imageChanged);  // row 17: DIY5, DIY view on
    EXPECT_EQ(image()[img::kEffect], 55);
    EXPECT_TRUE(state().panel.diyView);

    click(kEffectBox);
    const ReleaseOutcome out = click({100, 533});  // just below the last row: only closes
    EXPECT_FALSE(out.imageChanged);
    EXPECT_EQ(out.command.command, Command::None);
    EXPECT_EQ(image()[img::kEffect], 55);
    EXPECT_FALSE(state().panel.effectListOpen);
}

TEST_F(MainViewTest, EffectBoxOpensNothingWhileLightingIsCollapsed) {
    // The box's spot belongs to the game header while the section is folded.
    EXPECT_EQ(click({100, 170}).command.command, Command::ToggleGame);
    EXPECT_FALSE(state().panel.effectListOpen);
}

TEST_F(MainViewTest, AnOpenOverlayTakesTheClickFromButtonsAndKeys) {
    click(kHelpButton);
    ASSERT_TRUE(state().helpOpen);
    ReleaseOutcome out = click(kSaveButton);
    EXPECT_EQ(out.command.command, Command::None);  // Save does not run
    EXPECT_EQ(out.helpRow, std::nullopt);
    EXPECT_FALSE(state().helpOpen);

    click(kHelpButton);
    out = click(centreOf(63));  // a key: no assignment either
    EXPECT_EQ(out.assignKey, std::nullopt);

    click(kHelpButton);
    EXPECT_EQ(click({900, 50}).helpRow, 1);

    click(kLightingTitle);
    click(kEffectBox);
    out = click({990, 10});  // Close under an open effect list only closes the list
    EXPECT_EQ(out.command.command, Command::None);
}

TEST_F(MainViewTest, ResponseListUsesTheCurrentLayout) {
    click({100, 195});  // response title: expand
    ASSERT_FALSE(state().panel.responseCollapsed);
    EXPECT_EQ(click({100, 220}).command.command, Command::OpenResponseList);
    ASSERT_TRUE(state().panel.responseListOpen);
    // Lighting collapsed: the list drops below its box (188 + 44) from y 233; row 0 stores
    // response time 1.
    image()[img::kResponseTime] = 7;
    EXPECT_FALSE(click({100, 232}).imageChanged);  // the box itself only closes the list
    click({100, 220});
    EXPECT_TRUE(click({100, 233}).imageChanged);
    EXPECT_EQ(image()[img::kResponseTime], 1);
    EXPECT_FALSE(state().panel.responseListOpen);
}

TEST_F(MainViewTest, SettingsButtonsEditTheImage) {
    click(kLightingTitle);
    click({150, 290});  // game title, moved down by the lighting section (Static: to 247)
    ASSERT_FALSE(state().panel.gameCollapsed);
    click(at(hit::kGameModeOn));
    EXPECT_EQ(image()[img::kGameMode], 1);
    click(at(hit::kGameModeOff));
    EXPECT_EQ(image()[img::kGameMode], 0);
    click(at(hit::kWinLockOn));
    EXPECT_EQ(image()[img::kWinLock], 1);

    image()[img::kEffect] = 16;
    click(at(hit::kDirection1 + 2));  // button 3 is not shown for effect 16
    EXPECT_EQ(image()[img::kDirection], 0);
    click(at(hit::kDirection1));
    EXPECT_EQ(image()[img::kDirection], 3);
    image()[img::kEffect] = 13;
    click(at(hit::kDirection1));
    EXPECT_EQ(image()[img::kDirection], 2);
    click(at(hit::kDirection1 + 1));
    EXPECT_EQ(image()[img::kDirection], 1);
}

TEST_F(MainViewTest, WindowCommandsAndKeyClicks) {
    EXPECT_EQ(click(kSaveButton).command.command, Command::Save);
    EXPECT_TRUE(isWindowCommand(Command::Save));
    EXPECT_FALSE(isWindowCommand(Command::GameModeOn));
    const ReleaseOutcome out = click(centreOf(63));
    EXPECT_EQ(out.assignKey, 63);
    EXPECT_EQ(state().selectedSlot, 63);
    // Win and Fn are not chosen in the key-map view: the selection becomes none.
    EXPECT_EQ(click(centreOf(kWinKeySlot)).assignKey, std::nullopt);
    EXPECT_EQ(click(centreOf(model::kFnSlot)).assignKey, std::nullopt);
    EXPECT_EQ(state().selectedSlot, std::nullopt);
}

TEST_F(MainViewTest, DiyViewTogglesCellsAndNonDiyEffectsFallBackToTheKeyMap) {
    image()[img::kEffect] = 52;
    click(kLightingTitle);
    click(at(hit::kDiyView));
    ASSERT_TRUE(state().panel.diyView);
    const std::size_t cell = settings::diyCellOffset(1, 63);
    image()[cell + 1] = 0x80;
    ReleaseOutcome out = click(centreOf(63));
    EXPECT_TRUE(out.imageChanged);
    EXPECT_EQ(out.assignKey, std::nullopt);
    EXPECT_EQ(image()[cell + 1], 0);
    click(centreOf(63));
    EXPECT_EQ(image()[cell + 1], 0xFF);
    EXPECT_EQ(click(centreOf(kWinKeySlot)).imageChanged, true);  // every drawn key in DIY
    // A profile brings a non-DIY effect while the view is on: keys behave as in the key map.
    image()[img::kEffect] = 3;
    EXPECT_FALSE(diyViewActive(state(), 3));
    EXPECT_EQ(click(centreOf(63)).assignKey, 63);
    EXPECT_EQ(click(centreOf(kWinKeySlot)).assignKey, std::nullopt);
}

// x of swatch i (0..7) and of the colour chooser after them, in the lighting section.
int swatchX(int i) {
    return 30 + 25 * i;
}
// The swatch row of a DIY effect: below the view radios.
constexpr int kSwatchY = 210;

TEST_F(MainViewTest, PaintingPressDragRightClickFillAndClear) {
    image()[img::kEffect] = 55;
    click(kLightingTitle);
    m_view.followEffect(55);
    const auto cellAt = [&](int slot) { return settings::diyCellOffset(4, slot); };
    const model::Image start = image();
    click({swatchX(0), kSwatchY});  // red
    EXPECT_EQ(state().paintColour, (settings::Rgb{255, 0, 0}));
    // Press on one key, drag over two more, release over the Save button: only the keys change.
    EXPECT_TRUE(m_view.press(centreOf(63), false, image()));
    EXPECT_TRUE(m_view.drag(centreOf(64), image()));
    EXPECT_FALSE(m_view.drag(centreOf(64), image()));
    EXPECT_TRUE(m_view.drag(centreOf(65), image()));
    EXPECT_FALSE(m_view.drag({600, 30}, image()));
    EXPECT_EQ(click(kSaveButton).command.command, Command::None);
    std::size_t changed = 0;
    for (std::size_t i = 0; i < image().size(); ++i) changed += image()[i] != start[i];
    EXPECT_EQ(changed, 3u);
    for (int s : {63, 64, 65}) EXPECT_EQ(image()[cellAt(s) + 3], 255) << s;
    EXPECT_FALSE(m_view.drag(centreOf(66), image()));  // the stroke has ended

    // A press on a key of that colour turns it off and the drag erases.
    EXPECT_TRUE(m_view.press(centreOf(63), false, image()));
    EXPECT_TRUE(m_view.drag(centreOf(64), image()));
    click(centreOf(64));
    EXPECT_EQ(image()[cellAt(63) + 3], 0);
    EXPECT_EQ(image()[cellAt(64) + 3], 0);
    // A right press turns a key off whatever the paint colour.
    EXPECT_TRUE(m_view.press(centreOf(65), true, image()));
    m_view.endStroke();
    EXPECT_EQ(image()[cellAt(65) + 3], 0);
    EXPECT_EQ(image(), start);

    EXPECT_TRUE(click(at(hit::kFillAll)).imageChanged);
    EXPECT_EQ(image()[cellAt(0) + 3], 255);
    EXPECT_EQ(image()[settings::diyCellOffset(3, 0) + 3], 0);  // other tables untouched
    EXPECT_TRUE(click(at(hit::kClearAll)).imageChanged);
    EXPECT_EQ(image(), start);
}

TEST_F(MainViewTest, SwatchesAndDiyControlsDoNothingOutsideTheDiyView) {
    click(kLightingTitle);
    for (std::uint8_t effect : {std::uint8_t{3}, std::uint8_t{52}}) {
        image()[img::kEffect] = effect;
        m_view.followEffect(effect);
        if (effect == 52) click(at(hit::kKeymapView));  // DIY effect, key-map view
        ASSERT_FALSE(diyViewActive(state(), effect));
        const model::Image before = image();
        const int swatchY = at(hit::kLightingSpot).y;
        for (int i = 0; i < settings::kPaletteSize; ++i) {
            EXPECT_FALSE(click({swatchX(i), swatchY}).imageChanged);
        }
        EXPECT_EQ(state().paintColour, settings::kDefaultPaint);
        EXPECT_EQ(click({swatchX(8), swatchY}).command.command, Command::None);
        // Where the DIY view's buttons would be.
        EXPECT_FALSE(click(at(hit::kFillAll)).imageChanged);
        EXPECT_FALSE(click(at(hit::kClearAll)).imageChanged);
        EXPECT_FALSE(m_view.press(centreOf(63), false, image()));
        EXPECT_FALSE(m_view.press(centreOf(63), true, image()));
        EXPECT_EQ(image(), before);
    }
    // In the DIY view the chooser after the swatches is the window's command.
    m_view.followEffect(52);
    EXPECT_EQ(click({swatchX(8), kSwatchY}).command.command, Command::ChooseColour);
    EXPECT_TRUE(isWindowCommand(Command::ChooseColour));
}

TEST_F(MainViewTest, RevertAndFactoryResetSetTheView) {
    m_view.followEffect(54);
    EXPECT_TRUE(state().panel.diyView);
    m_view.followEffect(16);
    EXPECT_FALSE(state().panel.diyView);
    click(kLightingTitle);
    m_view.followEffect(51);
    m_view.factoryReset();
    const settings::PanelView& p = state().panel;
    EXPECT_FALSE(p.diyView);
    EXPECT_TRUE(p.lightingCollapsed && p.gameCollapsed && p.responseCollapsed && p.reportCollapsed);
}

TEST_F(MainViewTest, HoverRepaintsOnlyOnChange) {
    EXPECT_TRUE(moveTo(kSaveButton));
    EXPECT_TRUE(state().hovered(hit::kSave));
    EXPECT_FALSE(moveTo({951, 621}));
    EXPECT_TRUE(moveTo(centreOf(0)));
    EXPECT_EQ(state().hoveredCode, std::nullopt);
    EXPECT_EQ(state().hoveredSlot, 0);
    EXPECT_TRUE(m_view.clearHover());
    EXPECT_FALSE(m_view.clearHover());
}

TEST_F(MainViewTest, OpenListTracksItsRowNotTheHitAreas) {
    click(kLightingTitle);
    click(kEffectBox);
    EXPECT_TRUE(moveTo({100, 213}));
    EXPECT_EQ(state().hoveredEffectRow, 2);
    moveTo(kSaveButton);
    EXPECT_EQ(state().hoveredEffectRow, std::nullopt);
    EXPECT_EQ(state().hoveredCode, std::nullopt);
}

TEST_F(MainViewTest, WindowDragsOnlyFromSpotsThatAreNoControl) {
    EXPECT_FALSE(m_view.isControlAt({600, 30}, 1));
    EXPECT_TRUE(m_view.isControlAt(kSaveButton, 1));
    EXPECT_TRUE(m_view.isControlAt(centreOf(kWinKeySlot), 1));  // a key, even if unchoosable
    click(kLightingTitle);
    click(kEffectBox);
    EXPECT_TRUE(m_view.isControlAt({600, 30}, 1));  // an open list takes every click
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
