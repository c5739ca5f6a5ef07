#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <vector>

#include "model/slot_table.h"
#include "settings/diy_paint.h"
#include "settings/diy_selection.h"

namespace tavrik::settings::selection_test {
namespace {
namespace img = model::image;

using model::Point;

// A point of the keyboard picture (slot table coordinates) in window coordinates.
Point onPicture(int x, int y) {
    return {x + model::kKeyboardOrigin.x, y + model::kKeyboardOrigin.y};
}

Point centreOf(int slot) {
    const model::Rect r = model::windowRect(slot);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

SlotSet setOf(std::initializer_list<int> slots) {
    SlotSet s;
    for (int slot : slots) s.set(static_cast<std::size_t>(slot));
    return s;
}

// Slot numbers transcribed from the slot table, not computed from the codes.
struct GroupRow {
    KeyGroup group;
    std::vector<int> slots;
};

class Groups : public ::testing::TestWithParam<GroupRow> {};

TEST_P(Groups, HoldTheirDrawnKeys) {
    EXPECT_EQ(slotsOf(groupSlots(GetParam().group)), GetParam().slots);
}

INSTANTIATE_TEST_SUITE_P(
    KeyGroups, Groups,
    ::testing::Values(
        GroupRow{KeyGroup::FunctionRow, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        GroupRow{KeyGroup::NumberRow, {20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32}},
        GroupRow{KeyGroup::Letters, {42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 63, 64, 65,
                                     66, 67, 68, 69, 70, 71, 79, 80, 81, 82, 83, 84, 85}},
        GroupRow{KeyGroup::Wasd, {43, 63, 64, 65}}, GroupRow{KeyGroup::Arrows, {90, 103, 104, 105}},
        GroupRow{KeyGroup::Navigation, {34, 35, 36, 55, 56, 57}},
        // Both Shifts, Ctrl, Win, both Alts, Fn, right Ctrl; not the menu key (slot 101).
        GroupRow{KeyGroup::Modifiers, {78, 89, 95, 96, 97, 99, 100, 102}}));

TEST(KeySets, SelectAllHoldsTheEightySevenDrawnKeysOnly) {
    const SlotSet all = allDrawnSlots();
    EXPECT_EQ(all.count(), 87u);
    EXPECT_FALSE(all.test(16));  // Vol-, a slot that is not drawn
    EXPECT_FALSE(all.test(108));
    for (int g = 0; g < kKeyGroupCount; ++g) {
        const SlotSet group = groupSlots(static_cast<KeyGroup>(g));
        EXPECT_EQ((group & ~all).count(), 0u) << g;
    }
}

TEST(KeySets, ShiftRangeIsTheKeysWhoseCentreLiesInTheSpannedBox) {
    // Q to D: Q W E over A S D; R and F stick out of the box, Caps Lock's centre lies left of it.
    EXPECT_EQ(slotsBetween(42, 65), setOf({42, 43, 44, 63, 64, 65}));
    EXPECT_EQ(slotsBetween(65, 42), slotsBetween(42, 65));  // either order
    EXPECT_EQ(slotsBetween(63, 63), setOf({63}));
    // Esc to Right arrow: every drawn key.
    EXPECT_EQ(slotsBetween(0, 105), allDrawnSlots());
    EXPECT_TRUE(slotsBetween(63, 16).none());  // a slot that is not drawn
    EXPECT_TRUE(slotsBetween(-1, 63).none());
}

TEST(KeySets, BoxTakesEveryKeyItTouches) {
    // One pixel on the corner of "1" and nothing else.
    EXPECT_EQ(slotsInBox(model::Rect{onPicture(60, 183).x, onPicture(60, 183).y,
                                     onPicture(60, 183).x, onPicture(60, 183).y}),
              setOf({21}));
    // A line in the gap between "~" and "1" touches no key.
    EXPECT_TRUE(slotsInBox(boxBetween(onPicture(59, 190), onPicture(59, 210))).none());
    // From inside Esc to inside F2, corners given the other way round.
    EXPECT_EQ(slotsInBox(boxBetween(onPicture(140, 150), onPicture(30, 140))), setOf({0, 1, 2}));
}

TEST(KeySets, KeyboardFieldHoldsEveryKeyAndNotThePanel) {
    const model::Rect field = keyboardField();
    for (int s : slotsOf(allDrawnSlots())) {
        const model::Rect r = model::windowRect(s);
        EXPECT_TRUE(field.contains({r.left, r.top}) && field.contains({r.right, r.bottom})) << s;
    }
    // The picture's keys span 24..668 by 137..359; the margin lies around them.
    EXPECT_EQ(field.left, 24 + 275 - kKeyboardFieldMargin);
    EXPECT_EQ(field.bottom, 359 + 85 + kKeyboardFieldMargin);
    EXPECT_FALSE(field.contains({100, 310}));  // the Fill all button
    EXPECT_FALSE(field.contains({600, 30}));   // the title strip
}

TEST(Segments, AFastDragAlongARowTakesEveryKeyInPathOrder) {
    EXPECT_EQ(slotsOnSegment(centreOf(21), centreOf(30)),
              (std::vector<int>{21, 22, 23, 24, 25, 26, 27, 28, 29, 30}));
    EXPECT_EQ(slotsOnSegment(centreOf(30), centreOf(21)),
              (std::vector<int>{30, 29, 28, 27, 26, 25, 24, 23, 22, 21}));
}

TEST(Segments, AVerticalPathInAColumnGapTakesOnlyTheKeysItCrosses) {
    // x 94 of the picture lies between "1" and "2", inside Q, A, left Shift and Win.
    EXPECT_EQ(slotsOnSegment(onPicture(94, 183), onPicture(94, 359)),
              (std::vector<int>{42, 63, 78, 96}));
}

TEST(Segments, APointGivesTheKeyUnderItOrNone) {
    EXPECT_EQ(slotsOnSegment(centreOf(63), centreOf(63)), std::vector<int>{63});
    EXPECT_TRUE(slotsOnSegment(onPicture(59, 200), onPicture(59, 200)).empty());
    EXPECT_TRUE(slotsOnSegment({0, 0}, {200, 0}).empty());
}

TEST(Segments, NoKeyThatAPointOfThePathLiesOnIsLeftOut) {
    // Random segments across the keyboard, compared with the keys under points every quarter
    // pixel along them: the crossed keys must hold every one of those.
    std::mt19937 random(7);
    const model::Rect field = keyboardField();
    std::uniform_int_distribution<int> x(field.left, field.right);
    std::uniform_int_distribution<int> y(field.top, field.bottom);
    for (int n = 0; n < 300; ++n) {
        const Point a{x(random), y(random)};
        const Point b{x(random), y(random)};
        const std::vector<int> crossed = slotsOnSegment(a, b);
        const std::set<int> got(crossed.begin(), crossed.end());
        ASSERT_EQ(got.size(), crossed.size()) << "a key twice";
        const int steps = 4 * (std::abs(b.x - a.x) + std::abs(b.y - a.y)) + 1;
        for (int i = 0; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps;
            // Only points with whole coordinates are tested: those are what hit-testing sees.
            const double px = a.x + t * (b.x - a.x);
            const double py = a.y + t * (b.y - a.y);
            if (px != static_cast<int>(px) || py != static_cast<int>(py)) continue;
            if (auto s = model::hitTestSlot({static_cast<int>(px), static_cast<int>(py)})) {
                EXPECT_TRUE(got.contains(*s)) << a.x << "," << a.y << " -> " << b.x << "," << b.y;
            }
        }
    }
}

TEST(Segments, EveryKeyOnTheWayIsTakenWhereSamplingTheEndsWouldSkipSome) {
    // From Esc's centre straight to the Right arrow's centre: a diagonal over six rows. The
    // crossed keys are exactly those a point of the line, sampled finely, lies on.
    const Point a = centreOf(0);
    const Point b = centreOf(105);
    const std::vector<int> crossed = slotsOnSegment(a, b);
    ASSERT_GE(crossed.size(), 10u);
    EXPECT_EQ(crossed.front(), 0);
    EXPECT_EQ(crossed.back(), 105);
    std::set<int> expected;
    for (int i = 0; i <= 100000; ++i) {
        const double t = i / 100000.0;
        const double px = a.x + t * (b.x - a.x);
        const double py = a.y + t * (b.y - a.y);
        for (int s : slotsOf(allDrawnSlots())) {
            const model::Rect r = model::windowRect(s);
            if (px >= r.left && px <= r.right && py >= r.top && py <= r.bottom) expected.insert(s);
        }
    }
    EXPECT_EQ(std::set<int>(crossed.begin(), crossed.end()), expected);
}

class PaintSelection : public ::testing::Test {
protected:
    PaintSelection() : m_image(std::make_unique<model::Image>()) {
        (*m_image)[img::kEffect] = 52;  // DIY2: table 1
    }
    std::array<std::uint8_t, 4> cell(int slot, std::size_t table = 1) const {
        const std::size_t at = diyCellOffset(table, slot);
        return {(*m_image)[at], (*m_image)[at + 1], (*m_image)[at + 2], (*m_image)[at + 3]};
    }
    std::unique_ptr<model::Image> m_image;
};

TEST_F(PaintSelection, PaintsOnlyTheSelectedKeysOfTheCurrentTable) {
    const model::Image before = *m_image;
    EXPECT_TRUE(paintDiySlots(*m_image, setOf({43, 63}), Rgb{255, 128, 0}));
    EXPECT_EQ(cell(43), (std::array<std::uint8_t, 4>{0, 0, 128, 255}));
    EXPECT_EQ(cell(63), (std::array<std::uint8_t, 4>{0, 0, 128, 255}));
    std::size_t changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i) changed += (*m_image)[i] != before[i];
    EXPECT_EQ(changed, 4u);  // green and red of two cells
    EXPECT_FALSE(paintDiySlots(*m_image, setOf({43, 63}), Rgb{255, 128, 0}));  // no change
    // Black turns them off; an undrawn slot in the set is left alone.
    EXPECT_TRUE(paintDiySlots(*m_image, setOf({43, 63, 16}), Rgb{}));
    EXPECT_EQ(*m_image, before);
}

TEST_F(PaintSelection, DoesNothingWithoutADiyEffect) {
    (*m_image)[img::kEffect] = 3;
    const model::Image before = *m_image;
    EXPECT_FALSE(paintDiySlots(*m_image, allDrawnSlots(), Rgb{255, 0, 0}));
    EXPECT_EQ(*m_image, before);
}

}  // namespace
}  // namespace tavrik::settings::selection_test
