#include <gtest/gtest.h>

#include "settings/colour_pick.h"
#include "settings/diy_paint.h"

namespace tavrik::settings::colour_pick_test {
namespace {

struct HsvRow {
    Rgb rgb;
    Hsv hsv;
};

class HsvConversion : public ::testing::TestWithParam<HsvRow> {};

// Values worked out by hand from the hexcone model.
TEST_P(HsvConversion, BothWays) {
    EXPECT_EQ(toHsv(GetParam().rgb), GetParam().hsv);
    EXPECT_EQ(toRgb(GetParam().hsv), GetParam().rgb);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, HsvConversion,
    ::testing::Values(HsvRow{{255, 0, 0}, {0, 255, 255}}, HsvRow{{255, 128, 0}, {30, 255, 255}},
                      HsvRow{{0, 255, 0}, {120, 255, 255}}, HsvRow{{0, 255, 255}, {180, 255, 255}},
                      HsvRow{{0, 0, 255}, {240, 255, 255}}, HsvRow{{255, 0, 255}, {300, 255, 255}},
                      HsvRow{{255, 0, 128}, {330, 255, 255}}, HsvRow{{128, 64, 64}, {0, 128, 128}},
                      HsvRow{{0, 0, 0}, {0, 0, 0}}, HsvRow{{255, 255, 255}, {0, 0, 255}},
                      HsvRow{{128, 128, 128}, {0, 0, 128}}));

TEST(HsvConversion, EveryPaletteColourComesBackExactly) {
    for (const Rgb& c : kPalette) EXPECT_EQ(toRgb(toHsv(c)), c);
}

TEST(HsvConversion, HueWrapsAndSaturationAndValueAreClamped) {
    EXPECT_EQ(toRgb({360, 255, 255}), (Rgb{255, 0, 0}));
    EXPECT_EQ(toRgb({-120, 255, 255}), (Rgb{0, 0, 255}));
    EXPECT_EQ(toRgb({0, 300, 400}), (Rgb{255, 0, 0}));
    EXPECT_EQ(toRgb({0, -5, -5}), (Rgb{0, 0, 0}));
}

TEST(HexText, WritesUpperCaseAndReadsOnlySixDigits) {
    EXPECT_EQ(toHex({255, 128, 0}), "FF8000");
    EXPECT_EQ(toHex({0, 10, 171}), "000AAB");
    EXPECT_EQ(parseHex("ff8000"), (Rgb{255, 128, 0}));
    EXPECT_EQ(parseHex(" #00aAbB "), (Rgb{0, 0xAA, 0xBB}));
    for (const char* bad :
         {"", "#", "FF800", "FF80000", "GG0000", "FF 800", "##FF8000", "0x1234"}) {
        EXPECT_EQ(parseHex(bad), std::nullopt) << bad;
    }
}

TEST(RecentColours, NewestFirstEachOnceAtMostEight) {
    std::vector<Rgb> recent;
    for (int i = 1; i <= 10; ++i) addRecentColour(recent, Rgb{static_cast<std::uint8_t>(i), 0, 0});
    ASSERT_EQ(recent.size(), kRecentColours);
    EXPECT_EQ(recent.front().r, 10);
    EXPECT_EQ(recent.back().r, 3);
    addRecentColour(recent, Rgb{5, 0, 0});  // moves to the front, nothing is lost
    EXPECT_EQ(recent.size(), kRecentColours);
    EXPECT_EQ(recent[0].r, 5);
    EXPECT_EQ(recent[1].r, 10);
    EXPECT_EQ(recent.back().r, 3);
}

TEST(RecentColours, StoredFormRoundTripsAndSkipsWhatIsNoColour) {
    const std::vector<Rgb> recent{{255, 0, 0}, {0, 128, 255}};
    EXPECT_EQ(recentColoursText(recent), "FF0000,0080FF");
    EXPECT_EQ(parseRecentColours(recentColoursText(recent)), recent);
    EXPECT_TRUE(parseRecentColours("").empty());
    EXPECT_EQ(parseRecentColours("zz,FF0000,,ff0000,0080FF,123"), recent);
    // More than eight stored: the first eight distinct ones.
    EXPECT_EQ(
        parseRecentColours("000001,000002,000003,000004,000005,000006,000007,000008,000009").size(),
        kRecentColours);
}

}  // namespace
}  // namespace tavrik::settings::colour_pick_test
