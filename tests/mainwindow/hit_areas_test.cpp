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

TEST(PanelLayout, LightingCollapseMovesEverythingBelowBy195) {
    const settings::PanelView open = panel(false, false, false, false);
    const settings::PanelView folded = panel(true, false, false, false);
    const PanelLayout a = panelLayout(open);
    const PanelLayout b = panelLayout(folded);
    EXPECT_EQ(a.macroTop - b.macroTop, 195);
    EXPECT_EQ(a.gameTop - b.gameTop, 195);
    EXPECT_EQ(a.responseTop - b.responseTop, 195);
    EXPECT_EQ(a.reportTop - b.reportTop, 195);
    // The hit areas move with them.
    for (int code : {hit::kMacros, hit::kGameModeOn, hit::kGameTitle, hit::kWinLockOff,
                     hit::kResponseBox, hit::kResponseTitle, hit::kReportTitle}) {
        EXPECT_EQ(hitArea(code, a)->top - hitArea(code, b)->top, 195) << code;
    }
    EXPECT_EQ(hitArea(hit::kProfile, a)->top, hitArea(hit::kProfile, b)->top);
}

TEST(PanelLayout, ReportSectionFollowsTheResponseSection) {
    EXPECT_EQ(panelLayout(panel(true, true, true, true)).reportTop, 290);  // 220 + 30 + 40
    EXPECT_EQ(panelLayout(panel(true, true, false, true)).reportTop, 325);
    // The list ends right above the value box at R + 28 = 473.
    EXPECT_EQ(panelLayout(panel(false, true, false, true)).responseListTop, 272);
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
        HitRow{"effect_box_needs_expanded", {100, 170}, kFolded, 1, std::nullopt},
        HitRow{"effect_box", {100, 170}, kOnlyLighting, 1, hit::kEffectBox},
        HitRow{"macro_collapsed", {100, 150}, kFolded, 1, hit::kMacros},
        HitRow{"macro_expanded", {100, 345}, kOnlyLighting, 1, hit::kMacros},
        HitRow{"wave_button4", {200, 205}, kOnlyLighting, 3, hit::kDirection1 + 3},
        HitRow{"radar_button2", {80, 197}, kOnlyLighting, 13, hit::kDirection1 + 1},
        HitRow{"radar_hidden_button3", {140, 205}, kOnlyLighting, 13, std::nullopt},
        HitRow{"static_no_buttons", {40, 205}, kOnlyLighting, 1, std::nullopt},
        HitRow{"diy_radio_keymap", {35, 205}, kOnlyLighting, 53, hit::kKeymapView},
        HitRow{"diy_radio_diy", {144, 214}, kOnlyLighting, 55, hit::kDiyView},
        HitRow{"radio_not_offered", {35, 205}, kOnlyLighting, 50, std::nullopt},
        HitRow{"lighting_spot", {30, 230}, kOnlyLighting, 1, hit::kLightingSpot},
        HitRow{"last_lighting_spot", {223, 243}, kOnlyLighting, 1, hit::kLightingSpot + 7},
        HitRow{"game_title_collapsed", {150, 195}, kFolded, 1, hit::kGameTitle},
        HitRow{"game_radio_needs_expanded", {40, 230}, kFolded, 1, std::nullopt},
        HitRow{"game_on", {40, 423}, kOpen, 1, hit::kGameModeOn},
        HitRow{"game_off", {115, 432}, kOpen, 1, hit::kGameModeOff},
        HitRow{"winlock_on", {170, 423}, kOpen, 1, hit::kWinLockOn},
        HitRow{"winlock_off", {218, 428}, kOpen, 1, hit::kWinLockOff},
        HitRow{"response_box", {100, 280}, panel(true, true, false, true), 1, hit::kResponseBox},
        HitRow{"response_box_collapsed", {100, 280}, kFolded, 1, std::nullopt},
        HitRow{"response_title", {250, 250}, kFolded, 1, hit::kResponseTitle},
        HitRow{"report_title", {19, 290}, kFolded, 1, hit::kReportTitle},
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
