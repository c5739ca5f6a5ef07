#include <gtest/gtest.h>

#include <set>

#include "model/key_table.h"
#include "model/slot_table.h"

namespace tavrik::model {
namespace {

TEST(SlotTable, CellOffsetsFollowTheMatrix) {
    EXPECT_EQ(slot(95).keyIndex, 0);
    EXPECT_EQ(cellOffset(95), 0u);
    EXPECT_EQ(slot(0).keyIndex, 5);
    EXPECT_EQ(cellOffset(0), 420u);             // row 5, column 0
    EXPECT_EQ(cellOffset(1), 5u * 84 + 2 * 4);  // F1: key index 17
}

TEST(SlotTable, DiyOffsetQuirk) {
    EXPECT_EQ(diyOffset(0), 20u);
    EXPECT_EQ(slot(109).keyIndex, 74);
    EXPECT_EQ(diyOffset(109), 432u);  // 296 is read as 432
}

TEST(SlotTable, EnableBits) {
    EXPECT_EQ(enableByte(0), 15u);  // bit 120
    EXPECT_EQ(enableMask(0), 0x01);
    EXPECT_EQ(enableByte(96), 0u);  // bit 2
    EXPECT_EQ(enableMask(96), 0x04);
    EXPECT_EQ(slot(111).enableBit, slot(112).enableBit);
}

TEST(SlotTable, EightySevenDrawnSlots) {
    int drawn = 0;
    for (const KeySlot& s : slotTable()) drawn += s.drawn() ? 1 : 0;
    EXPECT_EQ(drawn, 87);
    for (int s : {16, 19, 37, 40, 58, 61, 75, 77, 91, 94, 106, 107, 108, 112}) {
        EXPECT_FALSE(slot(s).drawn()) << s;
    }
}

TEST(SlotTable, EveryDrawnKeyHasAUniqueCellAndUsageConsistentFactoryCode) {
    std::set<int> indexes;
    for (int s = 0; s < kSlotCount; ++s) {
        EXPECT_TRUE(indexes.insert(slot(s).keyIndex).second) << "slot " << s;
        EXPECT_LT(slot(s).keyIndex, 126);
        EXPECT_LT(slot(s).enableBit, 144);
        const KeyCode& f = factoryKeyCodes()[slot(s).keyIndex];
        EXPECT_EQ(f, slot(s).factoryCode);
        if (f[0] == 0 && slot(s).code < 233 && slot(s).code != 220) {
            EXPECT_EQ(f[2], keyUsage(slot(s).code)) << "slot " << s;
        }
    }
    EXPECT_EQ(slot(54).factoryCode[2], 0x31);  // backslash: the key table says 0x32
}

TEST(SlotTable, FactoryCellsWithoutSlot) {
    EXPECT_EQ(factoryKeyCodes()[11], (KeyCode{0, 0, 0x32, 0}));
    EXPECT_EQ(factoryKeyCodes()[126], (KeyCode{0, 0xE0, 0, 0}));
    EXPECT_EQ(factoryKeyCodes()[127], (KeyCode{0, 0xE1, 0, 0}));
    EXPECT_EQ(factoryKeyCodes()[121], (KeyCode{}));
}

struct HitRow {
    Point p;
    std::optional<int> slot;
};

class HitTest : public ::testing::TestWithParam<HitRow> {};

TEST_P(HitTest, FindsFirstDrawnSlot) {
    EXPECT_EQ(hitTestSlot(GetParam().p), GetParam().slot)
        << GetParam().p.x << "," << GetParam().p.y;
}

INSTANTIATE_TEST_SUITE_P(
    Points, HitTest,
    ::testing::Values(HitRow{{275 + 24, 85 + 137}, 0},             // Esc top-left corner, inclusive
                      HitRow{{275 + 57, 85 + 172}, 0},             // Esc bottom-right corner
                      HitRow{{275 + 58, 85 + 150}, std::nullopt},  // just right of Esc
                      HitRow{{275 + 165, 85 + 300}, 80},           // X
                      HitRow{{275 + 234, 85 + 200}, std::nullopt},  // gap between "5" and "6"
                      HitRow{{275, 85}, std::nullopt},              // undrawn slots are never hit
                      HitRow{{0, 0}, std::nullopt}, HitRow{{275 + 260, 85 + 340}, 98}));  // Space

}  // namespace
}  // namespace tavrik::model
