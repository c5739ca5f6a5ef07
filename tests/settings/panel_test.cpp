#include <gtest/gtest.h>

#include <array>

#include "model/slot_table.h"
#include "settings/effects.h"
#include "settings/panel.h"

namespace tavrik::settings {
namespace {
namespace img = model::image;

// The first drawn slot that is not the function key.
constexpr int kKeySlot = 0;

int slotWithDiyOffset(std::size_t offset) {
    for (int s = 0; s < model::kSlotCount; ++s) {
        if (model::diyOffset(s) == offset) return s;
    }
    return -1;
}

TEST(Panel, ChoosingDiy3StoresItsCodeAndEditsTableTwo) {
    model::Image image{};
    PanelView view;
    openEffectList(view);
    ASSERT_TRUE(chooseEffect(image, view, 15));
    EXPECT_EQ(image[img::kEffect], 53);
    EXPECT_TRUE(view.diyView);
    EXPECT_FALSE(view.effectListOpen);
    EXPECT_EQ(currentDiyTable(image), std::size_t{2});

    ASSERT_TRUE(toggleDiyCell(image, kKeySlot));
    const std::size_t cell = img::diyTable(2) + model::diyOffset(kKeySlot);
    EXPECT_EQ(image[cell + 1], 255);
    for (std::size_t t : {0u, 1u, 3u, 4u}) {
        EXPECT_EQ(image[img::diyTable(t) + model::diyOffset(kKeySlot) + 1], 0) << t;
    }
    // Leaving for a non-DIY effect switches the DIY view off and stops DIY edits.
    ASSERT_TRUE(chooseEffect(image, view, 0));
    EXPECT_FALSE(view.diyView);
    EXPECT_FALSE(toggleDiyCell(image, kKeySlot));
    EXPECT_FALSE(setDiyView(image, view, true));
    EXPECT_FALSE(view.diyView);
}

struct ColourCase {
    int row;
    std::uint8_t before;
    std::uint8_t after;
};
class ChooseEffectColour : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ChooseEffectColour, AdjustsTheColourChoice) {
    model::Image image{};
    PanelView view;
    image[img::kColourChoice] = GetParam().before;
    ASSERT_TRUE(chooseEffect(image, view, GetParam().row));
    EXPECT_EQ(image[img::kColourChoice], GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(, ChooseEffectColour,
                         ::testing::Values(ColourCase{0, 8, 1},  // Static with 8
                                           ColourCase{0, 5, 5},  // Static otherwise untouched
                                           ColourCase{2, 1, 8},  // Wave always 8
                                           ColourCase{2, 0, 8},
                                           ColourCase{1, 8, 8}));  // Breathing untouched

struct PaintClampCase {
    std::uint8_t effect;
    std::uint8_t before;
    std::uint8_t after;
};
class PaintClamp : public ::testing::TestWithParam<PaintClampCase> {};

TEST_P(PaintClamp, AppliesOnlyToEffectsUpTo50) {
    model::Image image{};
    image[img::kEffect] = GetParam().effect;
    image[img::kColourChoice] = GetParam().before;
    clampColourChoice(image);
    EXPECT_EQ(image[img::kColourChoice], GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(, PaintClamp,
                         ::testing::Values(PaintClampCase{2, 0, 1}, PaintClampCase{50, 0, 1},
                                           PaintClampCase{3, 9, 8}, PaintClampCase{3, 255, 8},
                                           PaintClampCase{3, 4, 4}, PaintClampCase{51, 0, 0},
                                           PaintClampCase{53, 200, 200}));

TEST(Panel, DiyCellTogglesAndDrawsInverseLabel) {
    model::Image image{};
    image[img::kEffect] = 51;
    const std::size_t cell = diyCellOffset(0, kKeySlot);
    EXPECT_FALSE(diyKeyColour(image, kKeySlot));
    ASSERT_TRUE(toggleDiyCell(image, kKeySlot));
    auto colour = diyKeyColour(image, kKeySlot);
    ASSERT_TRUE(colour);
    EXPECT_EQ(colour->fill, (Rgb{0, 0, 255}));
    EXPECT_EQ(colour->label, (Rgb{255, 255, 0}));
    ASSERT_TRUE(toggleDiyCell(image, kKeySlot));
    for (std::size_t i = 0; i < img::kDiyCellSize; ++i) EXPECT_EQ(image[cell + i], 0) << i;
    EXPECT_FALSE(diyKeyColour(image, kKeySlot));

    // A colour from the keyboard with blue zero turns on with the toggle; red maps to byte 3.
    image[cell + 3] = 0x40;
    colour = diyKeyColour(image, kKeySlot);
    ASSERT_TRUE(colour);
    EXPECT_EQ(colour->fill, (Rgb{0x40, 0, 0}));
    ASSERT_TRUE(toggleDiyCell(image, kKeySlot));
    EXPECT_EQ(image[cell + 1], 255);
    EXPECT_EQ(image[cell + 3], 0);
}

TEST(Panel, DiyLabelStaysLegibleOnMidTones) {
    model::Image image{};
    image[img::kEffect] = 51;
    const std::size_t cell = diyCellOffset(0, kKeySlot);
    const auto labelOn = [&](std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        image[cell + 1] = b;
        image[cell + 2] = g;
        image[cell + 3] = r;
        return diyKeyColour(image, kKeySlot)->label;
    };
    EXPECT_EQ(labelOn(128, 128, 128), (Rgb{0, 0, 0}));  // the inverse would be 127, 127, 127
    EXPECT_EQ(labelOn(100, 110, 120), (Rgb{255, 255, 255}));
    EXPECT_EQ(labelOn(255, 0, 0), (Rgb{0, 255, 255}));  // strong colours keep the inverse
}

TEST(Panel, DiyCellOfKeyIndex74LandsAtOffset432) {
    const int s = slotWithDiyOffset(432);
    ASSERT_GE(s, 0);
    EXPECT_EQ(model::slot(s).keyIndex, 74);
    model::Image image{};
    image[img::kEffect] = 55;
    ASSERT_TRUE(toggleDiyCell(image, s));
    EXPECT_EQ(image[img::diyTable(4) + 432 + 1], 255);
    EXPECT_EQ(image[img::diyTable(4) + 296 + 1], 0);
}

TEST(Panel, ListClicksChooseRowsOrOnlyClose) {
    model::Image image{};
    PanelView view;
    openEffectList(view);
    EXPECT_TRUE(clickEffectList(image, view, {100, 200}));
    EXPECT_EQ(image[img::kEffect], 2);  // row 1, Breathing
    openEffectList(view);
    EXPECT_TRUE(clickEffectList(image, view, {248, 532}));
    EXPECT_EQ(image[img::kEffect], 55);
    openEffectList(view);
    EXPECT_FALSE(clickEffectList(image, view, {249, 200}));
    EXPECT_FALSE(clickEffectList(image, view, {100, 533}));
    EXPECT_FALSE(view.effectListOpen);
    EXPECT_EQ(image[img::kEffect], 55);

    const int top = 300;
    openResponseList(view);
    EXPECT_TRUE(clickResponseList(image, view, {27, top}, top));
    EXPECT_EQ(image[img::kResponseTime], 1);
    EXPECT_FALSE(view.responseListOpen);
    EXPECT_TRUE(clickResponseList(image, view, {247, top + 199}, top));
    EXPECT_EQ(image[img::kResponseTime], 10);
    EXPECT_FALSE(clickResponseList(image, view, {100, top + 200}, top));
    EXPECT_FALSE(clickResponseList(image, view, {100, top - 1}, top));
    EXPECT_EQ(image[img::kResponseTime], 10);
}

TEST(Panel, DirectionButtonsStoreOnlyWhereShown) {
    model::Image image{};
    image[img::kEffect] = 3;
    constexpr std::array<int, 4> kStored{3, 4, 2, 1};  // top, bottom, right, left
    for (int b = 0; b < 4; ++b) {
        ASSERT_TRUE(pressDirectionButton(image, b));
        EXPECT_EQ(image[img::kDirection], kStored[static_cast<std::size_t>(b)]) << b;
    }
    image[img::kEffect] = 13;
    EXPECT_TRUE(pressDirectionButton(image, 0));
    EXPECT_EQ(image[img::kDirection], 2);
    EXPECT_FALSE(pressDirectionButton(image, 2));
    EXPECT_EQ(image[img::kDirection], 2);
    image[img::kEffect] = 2;
    EXPECT_FALSE(pressDirectionButton(image, 0));
    EXPECT_FALSE(pressDirectionButton(image, 4));
}

TEST(Panel, PaintStoresEveryStoringSliderAndNothingElse) {
    model::Image image{};
    image[img::kEffect] = 2;
    image[img::kColourChoice] = 3;
    PanelView view;
    const SliderPositions pos{5, 40, 2};
    applyPanelPaint(image, view, pos);
    EXPECT_EQ(image[img::kSpeed], 5);
    EXPECT_EQ(image[img::kBrightness], 40);
    EXPECT_EQ(image[img::kReportRate], 2);

    // Static shows no speed; an open effect list hides (and freezes) brightness; a collapsed
    // report section keeps the report byte.
    model::Image before = image;
    image[img::kEffect] = 1;
    before[img::kEffect] = 1;
    view.effectListOpen = true;
    view.reportCollapsed = true;
    applyPanelPaint(image, view, {9, 9, 0});
    EXPECT_EQ(image, before);
    EXPECT_FALSE(sliderShown(image, view, SliderId::Speed));
    EXPECT_FALSE(sliderShown(image, view, SliderId::Brightness));
    EXPECT_FALSE(sliderShown(image, view, SliderId::ReportRate));

    // The response list hides speed and brightness but they still store their positions.
    view = PanelView{};
    view.responseListOpen = true;
    image[img::kEffect] = 4;
    applyPanelPaint(image, view, {7, 8, 3});
    EXPECT_EQ(image[img::kSpeed], 7);
    EXPECT_EQ(image[img::kBrightness], 8);
    EXPECT_FALSE(sliderShown(image, view, SliderId::Speed));
    EXPECT_TRUE(sliderShown(image, view, SliderId::ReportRate));

    collapseAllSections(view);
    before = image;
    applyPanelPaint(image, view, {0, 0, 0});
    EXPECT_EQ(image, before);
}

}  // namespace
}  // namespace tavrik::settings
