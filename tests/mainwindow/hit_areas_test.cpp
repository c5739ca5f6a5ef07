#include <gtest/gtest.h>

#include "mainwindow/direction_row.h"
#include "mainwindow/hit_areas.h"
#include "model/slot_table.h"

namespace tavrik::mainwindow {
namespace {

// Collapse flags: lighting, game, response, report.
settings::PanelView panel(bool lighting, bool game, bool response, bool report) {
    settings::PanelView v;
    v.lightingCollapsed = lighting;
    v.gameCollapsed = game;
    v.responseCollapsed = response;
    v.reportCollapsed = report;
    return v;
}

TEST(PanelLayout, LightingCollapseMovesEverythingBelowByItsBody) {
    const settings::PanelView open = panel(false, false, false, false);
    const settings::PanelView folded = panel(true, false, false, false);
    // Wave: the effect row, the direction row, the swatches and both sliders (130..330).
    const PanelLayout a = panelLayout(open, 3);
    const PanelLayout b = panelLayout(folded, 3);
    EXPECT_EQ(a.lightingBottom, 330);
    EXPECT_EQ(b.lightingBottom, 129);
    EXPECT_EQ(a.macroTop - b.macroTop, 201);
    EXPECT_EQ(a.gameTop - b.gameTop, 201);
    EXPECT_EQ(a.responseTop - b.responseTop, 201);
    EXPECT_EQ(a.reportTop - b.reportTop, 201);
    // The hit areas move with them.
    for (int code : {hit::kMacros, hit::kGameModeOn, hit::kGameTitle, hit::kWinLockOff,
                     hit::kResponseBox, hit::kResponseTitle, hit::kReportTitle}) {
        EXPECT_EQ(hitArea(code, a)->top - hitArea(code, b)->top, 201) << code;
    }
    EXPECT_EQ(hitArea(hit::kProfile, a)->top, hitArea(hit::kProfile, b)->top);
}

TEST(PanelLayout, ReportSectionFollowsTheResponseSection) {
    // Folded: headers at 110, 136 (macro button), 162, 188, 214, six blank rows apart.
    EXPECT_EQ(panelLayout(panel(true, true, true, true), 1).reportTop, 214);
    EXPECT_EQ(panelLayout(panel(true, true, false, true), 1).reportTop, 244);  // 188 + 50 + 6
    // With room below, the response list drops below its box (R + 28 .. R + 44).
    const PanelLayout below = panelLayout(panel(false, true, false, true), 1);
    EXPECT_EQ(below.responseTop, 306);
    EXPECT_EQ(below.responseListTop, 351);
    // Without, it ends right above the box, as R - 173.
    const PanelLayout above = panelLayout(panel(false, false, false, false), 3);
    EXPECT_EQ(above.responseTop, 424);
    EXPECT_EQ(above.responseListTop, 251);
}

// A row the effect leaves out leaves no blank: the rows below it move up.
TEST(PanelLayout, RowsFollowTheEffect) {
    const settings::PanelView open = panel(false, true, true, true);
    const PanelLayout wave = panelLayout(open, 3);
    EXPECT_EQ(wave.directionTop, 179);
    EXPECT_EQ(wave.viewTop, std::nullopt);
    EXPECT_EQ(wave.swatchTop, 219);
    EXPECT_EQ(wave.sliderTop, 241);
    EXPECT_TRUE(wave.speedShown);
    const PanelLayout still = panelLayout(open, 1);  // Static: no direction, no speed
    EXPECT_EQ(still.directionTop, std::nullopt);
    EXPECT_EQ(still.swatchTop, 179);
    EXPECT_EQ(still.sliderTop, 201);
    EXPECT_FALSE(still.speedShown);
    EXPECT_EQ(still.lightingBottom, 247);
    settings::PanelView diy = open;
    diy.diyView = true;
    const PanelLayout keymap = panelLayout(open, 51);  // DIY1 in the key-map view
    const PanelLayout painting = panelLayout(diy, 51);
    EXPECT_EQ(keymap.viewTop, 179);
    EXPECT_EQ(keymap.swatchTop, 202);
    EXPECT_FALSE(keymap.diyControls);
    EXPECT_TRUE(painting.diyControls);
    EXPECT_EQ(painting.diyTop, 274);
    EXPECT_EQ(painting.lightingBottom, 340);
    EXPECT_EQ(painting.macroTop - keymap.macroTop, 70);
    // The hit areas are those rows.
    EXPECT_EQ(hitArea(hit::kDirection1, wave)->top, 198);
    EXPECT_EQ(hitArea(hit::kLightingSpot, still)->top, 179);
    EXPECT_EQ(hitArea(hit::kDiyView, keymap)->top, 182);
    EXPECT_EQ(hitArea(hit::kFillAll, painting)->top, 274);
    EXPECT_EQ(hitArea(hit::kKeyGroup + 4, painting)->top, 320);  // the second row of chips
}

struct HitRow {
    const char* name;
    Point p;
    settings::PanelView view;
    std::uint8_t effect;
    std::optional<int> expected;
};

class HitTestTable : public ::testing::TestWithParam<HitRow> {};

TEST_P(HitTestTable, FirstMatchingAreaWins) {
    const HitRow& r = GetParam();
    EXPECT_EQ(hitTest(r.p, r.view, r.effect), r.expected);
}

const settings::PanelView kFolded = panel(true, true, true, true);
const settings::PanelView kOpen = panel(false, false, false, false);
const settings::PanelView kOnlyLighting = panel(false, true, true, true);

INSTANTIATE_TEST_SUITE_P(
    MainWindow, HitTestTable,
    ::testing::Values(
        HitRow{"help", {936, 5}, kFolded, 1, hit::kHelp},
        HitRow{"minimise_edge", {973, 20}, kFolded, 1, hit::kMinimise},
        HitRow{"close", {990, 10}, kFolded, 1, hit::kClose},
        HitRow{"between_title_buttons", {954, 10}, kFolded, 1, std::nullopt},
        HitRow{"lighting_title", {100, 115}, kFolded, 1, hit::kLightingTitle},
        // Folded, the game header lies where the effect box would be.
        HitRow{"effect_box_needs_expanded", {100, 170}, kFolded, 1, hit::kGameTitle},
        HitRow{"effect_box", {100, 170}, kOnlyLighting, 1, hit::kEffectBox},
        HitRow{"macro_collapsed", {100, 150}, kFolded, 1, hit::kMacros},
        HitRow{"macro_expanded", {100, 260}, kOnlyLighting, 1, hit::kMacros},
        HitRow{"wave_button4", {200, 205}, kOnlyLighting, 3, hit::kDirection1 + 3},
        HitRow{"radar_button2", {80, 198}, kOnlyLighting, 13, hit::kDirection1 + 1},
        HitRow{"radar_hidden_button3", {140, 205}, kOnlyLighting, 13, std::nullopt},
        HitRow{"static_no_buttons", {40, 205}, kOnlyLighting, 1, std::nullopt},
        HitRow{"diy_radio_keymap", {35, 190}, kOnlyLighting, 53, hit::kKeymapView},
        HitRow{"diy_radio_diy", {144, 196}, kOnlyLighting, 55, hit::kDiyView},
        // Effect 50 has no view radios: its swatches take their row.
        HitRow{"radio_not_offered", {35, 190}, kOnlyLighting, 50, hit::kLightingSpot},
        HitRow{"lighting_spot", {30, 185}, kOnlyLighting, 1, hit::kLightingSpot},
        HitRow{"last_lighting_spot", {223, 199}, kOnlyLighting, 1, hit::kLightingSpot + 7},
        HitRow{"game_title_collapsed", {150, 170}, kFolded, 1, hit::kGameTitle},
        // Where the game-mode radio would be, the next header lies.
        HitRow{"game_radio_needs_expanded", {40, 195}, kFolded, 1, hit::kResponseTitle},
        HitRow{"game_on", {40, 313}, kOpen, 1, hit::kGameModeOn},
        HitRow{"game_off", {115, 322}, kOpen, 1, hit::kGameModeOff},
        HitRow{"winlock_on", {170, 313}, kOpen, 1, hit::kWinLockOn},
        HitRow{"winlock_off", {218, 318}, kOpen, 1, hit::kWinLockOff},
        HitRow{"response_box", {100, 220}, panel(true, true, false, true), 1, hit::kResponseBox},
        // Where the box would be, the report header lies.
        HitRow{"response_box_collapsed", {100, 220}, kFolded, 1, hit::kReportTitle},
        HitRow{"response_title", {250, 195}, kFolded, 1, hit::kResponseTitle},
        HitRow{"report_title", {19, 214}, kFolded, 1, hit::kReportTitle},
        HitRow{"profile", {19, 633}, kFolded, 1, hit::kProfile},
        HitRow{"return", {857, 605}, kFolded, 1, hit::kReturn},
        HitRow{"gap_return_cancel", {859, 620}, kFolded, 1, std::nullopt},
        HitRow{"cancel", {861, 620}, kFolded, 1, hit::kCancel},
        HitRow{"save", {980, 635}, kFolded, 1, hit::kSave},
        HitRow{"panel_title_strip", {100, 50}, kFolded, 1, hit::kPanelTitle},
        HitRow{"keyboard_picture", {600, 300}, kOpen, 1, std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ListRows, HelpBoxRows) {
    EXPECT_EQ(helpRowAt({830, 22}), 0);
    EXPECT_EQ(helpRowAt({900, 47}), 1);
    EXPECT_EQ(helpRowAt({996, 99}), 3);
    EXPECT_EQ(helpRowAt({900, 121}), 3);
    EXPECT_EQ(helpRowAt({900, 122}), std::nullopt);
    EXPECT_EQ(helpRowAt({829, 50}), std::nullopt);
}

TEST(KeySlots, WinAndFnCannotBeChosenInTheKeyMapView) {
    for (int s : {kWinKeySlot, model::kFnSlot}) {
        const Rect r = model::windowRect(s);
        const Point centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        EXPECT_EQ(keySlotAt(centre, false), std::nullopt) << s;
        EXPECT_EQ(keySlotAt(centre, true), s) << s;
    }
    const Rect esc = model::windowRect(0);
    EXPECT_EQ(keySlotAt({esc.left, esc.top}, false), 0);
}

struct DirectionCase {
    std::uint8_t effect;
    int direction;
    std::string arrows;
    std::optional<int> lit;
};

class DirectionRows : public ::testing::TestWithParam<DirectionCase> {};

TEST_P(DirectionRows, ArrowsAndLitButton) {
    const DirectionCase& c = GetParam();
    const DirectionRow row = directionRow(c.effect, c.direction);
    std::string arrows;
    for (auto a : row.arrows) arrows += a;
    EXPECT_EQ(arrows, c.arrows);
    EXPECT_EQ(row.lit, c.lit);
}

INSTANTIATE_TEST_SUITE_P(
    MainWindow, DirectionRows,
    ::testing::Values(DirectionCase{3, 1, "TBRL", 3}, DirectionCase{3, 2, "TBRL", 2},
                      DirectionCase{3, 3, "TBRL", 0}, DirectionCase{3, 4, "TBRL", 1},
                      DirectionCase{3, 0, "TBRL", std::nullopt}, DirectionCase{13, 2, "RL", 0},
                      DirectionCase{15, 3, "RL", 1}, DirectionCase{16, 3, "TB", 0},
                      DirectionCase{16, 1, "TB", 1}, DirectionCase{16, 9, "TB", std::nullopt},
                      DirectionCase{1, 1, "", std::nullopt},
                      DirectionCase{51, 2, "", std::nullopt}));

}  // namespace
}  // namespace tavrik::mainwindow
