// Lighting and performance settings against values written out by hand: the 18 effects (codes,
// both names, direction buttons), the response-time rows and the three slider ranges.

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "settings/effects.h"
#include "settings/response_time.h"
#include "settings/sliders.h"

namespace tavrik::settings {
namespace {

constexpr std::optional<Direction> kNo = std::nullopt;
constexpr auto kL = Direction::Left;
constexpr auto kR = Direction::Right;
constexpr auto kT = Direction::Top;
constexpr auto kB = Direction::Bottom;

struct ExpectedEffect {
    int code;
    const char* zh;
    const char* en;
    std::array<std::optional<Direction>, 4> buttons;
};

constexpr ExpectedEffect kEffects[] = {
    {1, "全亮", "Static", {kNo, kNo, kNo, kNo}},
    {2, "呼吸", "Breathing", {kNo, kNo, kNo, kNo}},
    {3, "波浪", "Wave", {kT, kB, kR, kL}},
    {4, "随按渐灭", "Reactive", {kNo, kNo, kNo, kNo}},
    {5, "蛇形跑马", "Sidewinder", {kNo, kNo, kNo, kNo}},
    {6, "涟漪", "Ripple", {kNo, kNo, kNo, kNo}},
    {10, "雨滴", "Raindrop", {kNo, kNo, kNo, kNo}},
    {11, "环形跑马", "Vortex", {kNo, kNo, kNo, kNo}},
    {12, "对冲", "Converge", {kNo, kNo, kNo, kNo}},
    {13, "雷达", "Radar", {kR, kL, kNo, kNo}},
    {14, "流水跑马", "Stream", {kNo, kNo, kNo, kNo}},
    {15, "奔跑模式", "Running", {kR, kL, kNo, kNo}},
    {16, "渐变模式", "Gradient", {kT, kB, kNo, kNo}},
    {51, "DIY1", "DIY1", {kNo, kNo, kNo, kNo}},
    {52, "DIY2", "DIY2", {kNo, kNo, kNo, kNo}},
    {53, "DIY3", "DIY3", {kNo, kNo, kNo, kNo}},
    {54, "DIY4", "DIY4", {kNo, kNo, kNo, kNo}},
    {55, "DIY5", "DIY5", {kNo, kNo, kNo, kNo}},
};

TEST(SettingsGolden, EffectsInMenuOrder) {
    const auto& table = effectTable();
    ASSERT_EQ(table.size(), std::size(kEffects));
    for (std::size_t row = 0; row < table.size(); ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        const ExpectedEffect& e = kEffects[row];
        EXPECT_EQ(table[row].code, e.code);
        EXPECT_EQ(table[row].name.zh, e.zh);
        EXPECT_EQ(table[row].name.en, e.en);
        EXPECT_EQ(table[row].buttons, e.buttons);
        const auto code = static_cast<std::uint8_t>(e.code);
        EXPECT_EQ(effectRow(code), static_cast<int>(row));
        EXPECT_EQ(isDiyEffect(code), e.code >= 51);
        EXPECT_EQ(diyTableOf(code),
                  e.code >= 51 ? std::optional<std::size_t>(e.code - 51) : std::nullopt);
        EXPECT_EQ(showsSpeed(code), e.code != 1 && e.code < 50);
    }
    EXPECT_EQ(effectRow(7), std::nullopt);
    EXPECT_EQ(effectName(56, Language::English), "");
}

TEST(SettingsGolden, DirectionButtonPositionsAndValues) {
    EXPECT_EQ(kDirectionButtonX, (std::array<int, 4>{29, 79, 129, 179}));
    EXPECT_EQ(static_cast<int>(Direction::Left), 1);
    EXPECT_EQ(static_cast<int>(Direction::Right), 2);
    EXPECT_EQ(static_cast<int>(Direction::Top), 3);
    EXPECT_EQ(static_cast<int>(Direction::Bottom), 4);
}

TEST(SettingsGolden, ResponseTimeRows) {
    constexpr const char* kRows[] = {"2ms",  "4ms",  "6ms",  "8ms",  "10ms",
                                     "12ms", "14ms", "16ms", "18ms", "20ms"};
    ASSERT_EQ(kResponseRowCount, 10);
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(responseRowText(r), kRows[r]);
        EXPECT_EQ(responseByteForRow(r), r + 1);
    }
    EXPECT_EQ(responseRowText(10), "");
    EXPECT_EQ(responseValueText(1), "2 ms");
    EXPECT_EQ(responseValueText(10), "20 ms");
}

TEST(SettingsGolden, SliderRangesStartPositionsAndBytes) {
    struct ExpectedSlider {
        SliderId id;
        int controlId, min, max, initial;
        std::size_t byte;
    };
    constexpr ExpectedSlider kSliders[] = {
        {SliderId::Speed, 1007, 0, 9, 0, 7451},
        {SliderId::Brightness, 1017, 0, 50, 1, 7452},
        {SliderId::ReportRate, 1010, 0, 3, 1, 11},
    };
    const SliderPositions initial = initialSliderPositions();
    for (const auto& e : kSliders) {
        SCOPED_TRACE(e.controlId);
        EXPECT_EQ(static_cast<int>(e.id), e.controlId);
        EXPECT_EQ(sliderFromControlId(e.controlId), e.id);
        const SliderRange& r = sliderRange(e.id);
        EXPECT_EQ(r.min, e.min);
        EXPECT_EQ(r.max, e.max);
        EXPECT_EQ(r.initial, e.initial);
        EXPECT_EQ(r.byte, e.byte);
        EXPECT_EQ(r.lineStep, 1);
        EXPECT_EQ(initial[sliderIndex(e.id)], e.initial);
        // The position lands in its byte, clamped to the range.
        model::Image image{};
        storeSliderPosition(image, e.id, e.max + 5);
        EXPECT_EQ(image[e.byte], e.max);
        image[e.byte] = static_cast<std::uint8_t>(e.min + 1);
        EXPECT_EQ(sliderPositionsFromImage(image)[sliderIndex(e.id)], e.min + 1);
    }
}

}  // namespace
}  // namespace tavrik::settings
