#include <gtest/gtest.h>

#include <set>
#include <string>

#include "settings/effects.h"
#include "settings/response_time.h"
#include "settings/sliders.h"

namespace tavrik::settings {
namespace {

TEST(Effects, TableHasDistinctCodesAndCompleteNamesInBothLanguages) {
    std::set<int> codes;
    std::set<std::string_view> english;
    for (const Effect& e : effectTable()) {
        codes.insert(e.code);
        EXPECT_FALSE(e.name.en.empty()) << int{e.code};
        EXPECT_FALSE(e.name.zh.empty()) << int{e.code};
        english.insert(e.name.en);
    }
    EXPECT_EQ(codes.size(), std::size_t{kEffectCount});
    EXPECT_EQ(english.size(), std::size_t{kEffectCount});  // every English row tells apart
    EXPECT_EQ(effectName(3, Language::English), "Wave");
    EXPECT_EQ(effectName(3, Language::Chinese), "波浪");
    EXPECT_EQ(effectName(55, Language::Chinese), "DIY5");
}

TEST(Effects, UnknownCodeShowsNoNameNoButtonsAndNoDiyTable) {
    for (int code : {0, 7, 17, 50, 56, 255}) {
        const auto c = static_cast<std::uint8_t>(code);
        EXPECT_FALSE(effectRow(c)) << code;
        EXPECT_TRUE(effectName(c, Language::English).empty()) << code;
        EXPECT_EQ(directionButtons(c), DirectionButtons{}) << code;
        EXPECT_FALSE(diyTableOf(c)) << code;
    }
}

struct DirectionCase {
    std::uint8_t code;
    DirectionButtons buttons;
};
class DirectionButtonsOf : public ::testing::TestWithParam<DirectionCase> {};

TEST_P(DirectionButtonsOf, MatchTheEffect) {
    EXPECT_EQ(directionButtons(GetParam().code), GetParam().buttons);
}

constexpr auto T = Direction::Top, B = Direction::Bottom, R = Direction::Right, L = Direction::Left;
INSTANTIATE_TEST_SUITE_P(, DirectionButtonsOf,
                         ::testing::Values(DirectionCase{3, {T, B, R, L}},
                                           DirectionCase{13, {R, L, {}, {}}},
                                           DirectionCase{15, {R, L, {}, {}}},
                                           DirectionCase{16, {T, B, {}, {}}}, DirectionCase{1, {}},
                                           DirectionCase{14, {}}, DirectionCase{53, {}}));

TEST(Effects, SpeedAndDiyRulesFollowTheCode) {
    EXPECT_FALSE(showsSpeed(1));
    EXPECT_TRUE(showsSpeed(2));
    EXPECT_TRUE(showsSpeed(16));
    EXPECT_FALSE(showsSpeed(50));
    EXPECT_FALSE(showsSpeed(51));
    EXPECT_EQ(diyTableOf(51), std::size_t{0});
    EXPECT_EQ(diyTableOf(55), std::size_t{4});
    EXPECT_FALSE(offersDiyView(50));
    EXPECT_TRUE(offersDiyView(51));
}

TEST(ResponseTime, RowsAndValueText) {
    EXPECT_EQ(responseRowText(0), "2ms");
    EXPECT_EQ(responseRowText(9), "20ms");
    EXPECT_TRUE(responseRowText(10).empty());
    EXPECT_TRUE(responseRowText(-1).empty());
    EXPECT_EQ(responseByteForRow(0), 1);
    EXPECT_EQ(responseValueText(1), "2 ms");
    EXPECT_EQ(responseValueText(10), "20 ms");
    EXPECT_EQ(responseValueText(0), "0 ms");  // a keyboard value out of range is shown as is
}

struct ClampCase {
    SliderId id;
    int byte;
    int position;
};
class SliderFromImage : public ::testing::TestWithParam<ClampCase> {};

TEST_P(SliderFromImage, ClampsToTheSliderRange) {
    model::Image image{};
    image[sliderRange(GetParam().id).byte] = static_cast<std::uint8_t>(GetParam().byte);
    EXPECT_EQ(sliderPositionsFromImage(image)[sliderIndex(GetParam().id)], GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(, SliderFromImage,
                         ::testing::Values(ClampCase{SliderId::Speed, 9, 9},
                                           ClampCase{SliderId::Speed, 10, 9},
                                           ClampCase{SliderId::Brightness, 50, 50},
                                           ClampCase{SliderId::Brightness, 200, 50},
                                           ClampCase{SliderId::ReportRate, 3, 3},
                                           ClampCase{SliderId::ReportRate, 4, 3}));

TEST(Sliders, MemoryStoresOnlyChangedPositions) {
    model::Image image{};
    SliderMemory memory;
    image[model::image::kBrightness] = 7;
    // Brightness starts remembered at 1: a report of 1 neither stores nor asks for a redraw.
    EXPECT_FALSE(memory.moved(image, SliderId::Brightness, 1));
    EXPECT_EQ(image[model::image::kBrightness], 7);
    EXPECT_TRUE(memory.moved(image, SliderId::Brightness, 30));
    EXPECT_EQ(image[model::image::kBrightness], 30);
    EXPECT_FALSE(memory.moved(image, SliderId::Brightness, 30));
    EXPECT_TRUE(memory.moved(image, SliderId::Speed, 4));
    EXPECT_EQ(image[model::image::kSpeed], 4);
    EXPECT_EQ(image[model::image::kBrightness], 30);
    EXPECT_TRUE(memory.moved(image, SliderId::ReportRate, 9));  // clamped to the range
    EXPECT_EQ(image[model::image::kReportRate], 3);
}

}  // namespace
}  // namespace tavrik::settings
