// The slot table against values written out by hand: every column of all 113 slots, the factory
// key codes of the matrix cells no slot uses, and the offsets derived from each key index.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <set>
#include <string>

#include "golden_slots.h"
#include "model/slot_table.h"

namespace tavrik::model {
namespace {

using golden::ExpectedSlot;
using golden::kSlots;

// Matrix cells without a slot that still hold a factory key code.
struct ExpectedCell {
    int keyIndex;
    std::array<std::uint8_t, 4> code;
};
constexpr ExpectedCell kUnslottedCells[] = {
    {11, {0x00, 0x00, 0x32, 0x00}},  {18, {0x00, 0x00, 0x91, 0x00}},
    {48, {0x00, 0x00, 0x90, 0x00}},  {126, {0x00, 0xE0, 0x00, 0x00}},
    {127, {0x00, 0xE1, 0x00, 0x00}},
};

// The slots that exist only in the configuration data: media keys, keypad, S1..S5.
constexpr std::array<int, 26> kHiddenSlots{16, 17,  18,  19,  37,  38,  39,  40, 58,
                                           59, 60,  61,  75,  76,  77,  91,  92, 93,
                                           94, 106, 107, 108, 109, 110, 111, 112};

TEST(SlotTableGolden, EveryColumnOfEverySlot) {
    ASSERT_EQ(slotTable().size(), 113u);
    for (int s = 0; s < 113; ++s) {
        SCOPED_TRACE("slot " + std::to_string(s));
        const ExpectedSlot& e = kSlots[s];
        const KeySlot& k = slot(s);
        EXPECT_EQ(k.label, e.label);
        EXPECT_EQ(k.code, e.code);
        EXPECT_EQ(k.keyIndex, e.keyIndex);
        EXPECT_EQ(k.enableBit, e.enableBit);
        EXPECT_EQ(k.factoryCode, e.factory);
        EXPECT_EQ(k.labelAt.x, e.labelAt[0]);
        EXPECT_EQ(k.labelAt.y, e.labelAt[1]);
        EXPECT_EQ(k.rect.left, e.rect[0]);
        EXPECT_EQ(k.rect.top, e.rect[1]);
        EXPECT_EQ(k.rect.right, e.rect[2]);
        EXPECT_EQ(k.rect.bottom, e.rect[3]);
    }
}

TEST(SlotTableGolden, OffsetsFollowFromTheKeyIndex) {
    for (int s = 0; s < 113; ++s) {
        SCOPED_TRACE("slot " + std::to_string(s));
        const int k = kSlots[s].keyIndex;
        // The matrix is numbered column by column, six keys a column; the area stores 21 cells
        // of 4 bytes per row.
        EXPECT_EQ(cellOffset(s), static_cast<std::size_t>((k % 6) * 84 + (k / 6) * 4));
        const int diy = 4 * k == 296 ? 432 : 4 * k;
        EXPECT_EQ(diyOffset(s), static_cast<std::size_t>(diy));
        EXPECT_EQ(enableByte(s), static_cast<std::size_t>(kSlots[s].enableBit / 8));
        EXPECT_EQ(enableMask(s), 1u << (kSlots[s].enableBit % 8));
    }
    EXPECT_EQ(cellOffset(95), 0u);   // left Ctrl, key index 0
    EXPECT_EQ(cellOffset(0), 420u);  // Esc, key index 5: row 5, column 0
}

TEST(SlotTableGolden, FactoryKeyCodesOfEveryMatrixCell) {
    std::array<std::array<std::uint8_t, 4>, 128> expected{};
    for (const auto& e : kSlots) expected[static_cast<std::size_t>(e.keyIndex)] = e.factory;
    for (const auto& c : kUnslottedCells) expected[static_cast<std::size_t>(c.keyIndex)] = c.code;
    const auto& cells = factoryKeyCodes();
    ASSERT_EQ(cells.size(), 128u);
    for (std::size_t k = 0; k < 128; ++k) EXPECT_EQ(cells[k], expected[k]) << "key index " << k;
}

TEST(SlotTableGolden, ExactlyTheListedSlotsAreDrawnAndHitTestable) {
    const std::set<int> hidden(kHiddenSlots.begin(), kHiddenSlots.end());
    ASSERT_EQ(hidden.size(), 26u);
    for (int s = 0; s < 113; ++s) {
        SCOPED_TRACE("slot " + std::to_string(s));
        const bool drawn = hidden.count(s) == 0;
        EXPECT_EQ(slot(s).drawn(), drawn);
        if (!drawn) continue;
        // The picture origin sits at (275, 85); both edges of a rectangle are inside.
        const auto& r = kSlots[s].rect;
        const int x = (r[0] + r[2]) / 2 + 275;
        const int y = (r[1] + r[3]) / 2 + 85;
        EXPECT_EQ(hitTestSlot({x, y}), s);
        EXPECT_EQ(hitTestSlot({r[0] + 275, r[1] + 85}), s);
        EXPECT_EQ(hitTestSlot({r[2] + 275, r[3] + 85}), s);
        EXPECT_EQ(hitTestSlot({r[0] + 274, y}).value_or(-1) == s, false);
        EXPECT_EQ(hitTestSlot({x, r[3] + 86}).value_or(-1) == s, false);
    }
    EXPECT_EQ(hitTestSlot({275, 85}), std::nullopt);
}

}  // namespace
}  // namespace tavrik::model
