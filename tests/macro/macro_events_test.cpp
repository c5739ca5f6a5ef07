#include <gtest/gtest.h>

#include "macro/macro_events.h"
#include "macro_test_support.h"

namespace tavrik::macro {
namespace {
using namespace testing;
using Lines = std::vector<std::string>;

TEST(EventLines, DelayLinesOnlyAboveOneAndNeverForTheFirstEvent) {
    const auto b = buffersOf({{0x01, kA}, {0x00, kB}, {0x81, kA}, {0x02, kC}, {0xFF, kB, 250}});
    EXPECT_EQ(eventLines(b),
              (Lines{"A  dn", "B  dn", "A  up", "2 ms", "C  dn", "250 ms", "B  up"}));
    EXPECT_EQ(eventsEnd(b), 12u);
}

TEST(EventLines, FirstEventInLongFormShowsOneLineAndWalkAgrees) {
    const auto b = buffersOf({{0x7F, kA, 500}, {0x05, kB}});
    EXPECT_EQ(eventLines(b), (Lines{"A  dn", "5 ms", "B  dn"}));
    EXPECT_EQ(eventStartAtLine(b, 1), 4u);
}

TEST(EventLines, WalkStopsWhereEitherSequenceEnds) {
    auto b = buffersOf({{0x01, kA}, {0x01, kB}, {0x01, kC}});
    b.key[3] = 0;  // key sequence ends after one event
    EXPECT_EQ(walkEvents(b).size(), 1u);
    b = buffersOf({{0x01, kA}});
    b.device[188] = b.key[188] = 0x7F;  // a long event that would reach byte 192
    b.device[189] = b.key[189] = 0x04;
    EXPECT_EQ(eventLines(b).size(), 1u);
}

// Lines of {A dn, 300 ms, B dn, C up, 5 ms, A up}: events at 0, 2 (long), 6, 8.
struct WalkCase {
    int line;
    std::optional<std::size_t> start, containing, end;
};
class LineWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(LineWalk, MapsLinesToOffsets) {
    const auto b = buffersOf({{0x01, kA}, {0x7F, kB, 300}, {0x81, kC}, {0x85, kA}});
    const auto& c = GetParam();
    EXPECT_EQ(eventStartAtLine(b, c.line), c.start);
    EXPECT_EQ(eventContainingLine(b, c.line), c.containing);
    EXPECT_EQ(eventEndAtLine(b, c.line), c.end);
}

INSTANTIATE_TEST_SUITE_P(
    Events, LineWalk,
    ::testing::Values(WalkCase{0, 0u, 0u, 2u}, WalkCase{1, 2u, 2u, std::nullopt},
                      WalkCase{2, std::nullopt, 2u, 6u}, WalkCase{3, 6u, 6u, 8u},
                      WalkCase{4, 8u, 8u, std::nullopt}, WalkCase{5, std::nullopt, 8u, 10u},
                      WalkCase{6, 10u, std::nullopt, std::nullopt},  // just past: the end
                      WalkCase{7, std::nullopt, std::nullopt, std::nullopt},
                      WalkCase{-1, std::nullopt, std::nullopt, std::nullopt}));

TEST(EventEdits, InsertIntoFullSequenceDropsWhatNoLongerFits) {
    EditorBuffers b;
    for (std::size_t off = 0; off < kSequenceSize; off += 2) {
        b.device[off] = b.key[off] = 0x01;
        b.device[off + 1] = 0x04;
        b.key[off + 1] = kA;
    }
    ASSERT_TRUE(insertEvent(b, 0, 0x81, kB));
    EXPECT_EQ(walkEvents(b).size(), 95u);
    EXPECT_EQ(b.key[1], kB);
    EXPECT_EQ(b.device[1], 0x05);
    EXPECT_FALSE(insertEvent(b, kSequenceSize, 0x01, kB));
}

TEST(EventEdits, InsertDropsAnEventCutAtTheEnd) {
    EditorBuffers b;
    for (std::size_t off = 0; off < 184; off += 2) {
        b.device[off] = b.key[off] = 0x01;
        b.device[off + 1] = 0x04;
        b.key[off + 1] = kA;
    }
    b.device[186] = b.key[186] = 0xFF;  // long event at 186..189
    b.device[187] = 0x05;
    b.key[187] = kB;
    b.device[189] = b.key[189] = 200;
    ASSERT_TRUE(insertEvent(b, 0, 0x01, kC));
    EXPECT_EQ(eventsEnd(b), 186u);
    EXPECT_EQ(b.device[188], 0);
    EXPECT_EQ(b.key[189], 0);
}

}  // namespace
}  // namespace tavrik::macro
