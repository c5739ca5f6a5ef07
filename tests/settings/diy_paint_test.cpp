#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "model/slot_table.h"
#include "settings/diy_paint.h"

namespace tavrik::settings {
namespace {
namespace img = model::image;

constexpr int kKey = 63;
constexpr int kOther = 0;
constexpr std::size_t kTable = 3;  // DIY4
constexpr Rgb kRed{255, 0, 0};

class DiyPaint : public ::testing::Test {
protected:
    DiyPaint() : m_image(std::make_unique<model::Image>()) {
        image()[img::kEffect] = 54;
        m_before = image();
    }
    model::Image& image() { return *m_image; }
    std::array<std::uint8_t, 4> cell(int slot, std::size_t table = kTable) const {
        const std::size_t at = diyCellOffset(table, slot);
        return {(*m_image)[at], (*m_image)[at + 1], (*m_image)[at + 2], (*m_image)[at + 3]};
    }
    // Offsets that differ from the image as it was at the start of the test.
    std::vector<std::size_t> changedOffsets() const {
        std::vector<std::size_t> out;
        for (std::size_t i = 0; i < m_before.size(); ++i) {
            if ((*m_image)[i] != m_before[i]) out.push_back(i);
        }
        return out;
    }

    std::unique_ptr<model::Image> m_image;
    model::Image m_before{};
};

using Cell = std::array<std::uint8_t, 4>;

TEST_F(DiyPaint, DefaultColourClickIsTheToggle) {
    // Byte for byte the toggle: off -> 0,255,0,0; any blue -> off; blue zero -> on.
    ASSERT_EQ(clickDiyKey(image(), kKey, kDefaultPaint), Stroke::Paint);
    EXPECT_EQ(cell(kKey), (Cell{0, 255, 0, 0}));
    ASSERT_EQ(clickDiyKey(image(), kKey, kDefaultPaint), Stroke::Erase);
    EXPECT_EQ(cell(kKey), (Cell{0, 0, 0, 0}));
    image()[diyCellOffset(kTable, kKey) + 1] = 0x10;  // dim blue from the keyboard
    image()[diyCellOffset(kTable, kKey) + 3] = 0x80;
    EXPECT_EQ(clickDiyKey(image(), kKey, kDefaultPaint), Stroke::Erase);
    EXPECT_EQ(cell(kKey), (Cell{0, 0, 0, 0}));
    image()[diyCellOffset(kTable, kKey) + 2] = 0xFF;  // green, no blue
    EXPECT_EQ(clickDiyKey(image(), kKey, kDefaultPaint), Stroke::Paint);
    EXPECT_EQ(cell(kKey), (Cell{0, 255, 0, 0}));
}

TEST_F(DiyPaint, ColourClickPaintsOrTurnsOffTheSameColourOnly) {
    EXPECT_EQ(clickDiyKey(image(), kKey, kRed), Stroke::Paint);
    EXPECT_EQ(cell(kKey), (Cell{0, 0, 0, 255}));  // red is byte 3
    const std::size_t at = diyCellOffset(kTable, kKey);
    EXPECT_EQ(changedOffsets(), (std::vector<std::size_t>{at + 3}));
    // Another colour repaints; the same colour turns off.
    const Rgb orange = kPalette[7];
    EXPECT_EQ(clickDiyKey(image(), kKey, orange), Stroke::Paint);
    EXPECT_EQ(cell(kKey), (Cell{0, 0, 128, 255}));
    EXPECT_EQ(clickDiyKey(image(), kKey, orange), Stroke::Erase);
    EXPECT_EQ(cell(kKey), (Cell{0, 0, 0, 0}));
    EXPECT_TRUE(changedOffsets().empty());
}

TEST_F(DiyPaint, StrokesTouchOnlyTheirKeysInTheCurrentTable) {
    EXPECT_TRUE(strokeDiyKey(image(), kKey, Stroke::Paint, kRed));
    EXPECT_FALSE(strokeDiyKey(image(), kKey, Stroke::Paint, kRed));  // already red: no change
    EXPECT_TRUE(strokeDiyKey(image(), kOther, Stroke::Paint, kRed));
    std::vector<std::size_t> expected{diyCellOffset(kTable, kOther) + 3,
                                      diyCellOffset(kTable, kKey) + 3};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(changedOffsets(), expected);
    EXPECT_TRUE(strokeDiyKey(image(), kKey, Stroke::Erase, kRed));
    EXPECT_EQ(cell(kKey), (Cell{0, 0, 0, 0}));
    EXPECT_EQ(cell(kOther), (Cell{0, 0, 0, 255}));
    for (std::size_t t : {0u, 1u, 2u, 4u}) EXPECT_EQ(cell(kOther, t), (Cell{0, 0, 0, 0})) << t;
}

TEST_F(DiyPaint, FillAndClearCoverEveryDrawnKeyOfTheCurrentTableOnly) {
    ASSERT_TRUE(fillDiyTable(image(), kRed));
    std::size_t drawn = 0;
    for (int s = 0; s < model::kSlotCount; ++s) {
        if (!model::slot(s).drawn()) continue;
        ++drawn;
        EXPECT_EQ(cell(s), (Cell{0, 0, 0, 255})) << s;
    }
    // Exactly one byte (red) per drawn key changed, all inside table 3.
    const auto changed = changedOffsets();
    EXPECT_EQ(changed.size(), drawn);
    for (std::size_t at : changed) {
        EXPECT_GE(at, img::diyTable(kTable));
        EXPECT_LT(at, img::diyTable(kTable) + img::kDiyTableSize);
    }
    EXPECT_FALSE(fillDiyTable(image(), kRed));  // nothing left to change
    ASSERT_TRUE(clearDiyTable(image()));
    EXPECT_TRUE(changedOffsets().empty());
    EXPECT_FALSE(clearDiyTable(image()));
}

TEST_F(DiyPaint, NothingChangesOutsideADiyEffectOrOffTheKeys) {
    image()[img::kEffect] = 3;
    m_before = image();
    EXPECT_EQ(clickDiyKey(image(), kKey, kRed), std::nullopt);
    EXPECT_FALSE(strokeDiyKey(image(), kKey, Stroke::Paint, kRed));
    EXPECT_FALSE(fillDiyTable(image(), kRed));
    EXPECT_FALSE(clearDiyTable(image()));
    image()[img::kEffect] = 51;
    m_before = image();
    int hidden = -1;
    for (int s = 0; s < model::kSlotCount && hidden < 0; ++s) {
        if (!model::slot(s).drawn()) hidden = s;
    }
    if (hidden >= 0) {
        EXPECT_EQ(clickDiyKey(image(), hidden, kRed), std::nullopt);
    }
    EXPECT_EQ(clickDiyKey(image(), -1, kRed), std::nullopt);
    EXPECT_EQ(clickDiyKey(image(), model::kSlotCount, kRed), std::nullopt);
    EXPECT_TRUE(changedOffsets().empty());
}

TEST(DiyPalette, DefaultPaintIsAPaletteSwatch) {
    EXPECT_EQ(paletteIndexOf(kDefaultPaint), 2);
    EXPECT_EQ(paletteIndexOf(Rgb{1, 2, 3}), std::nullopt);
}

}  // namespace
}  // namespace tavrik::settings
