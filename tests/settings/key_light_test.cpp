#include <gtest/gtest.h>

#include "settings/diy_paint.h"
#include "settings/key_light.h"

namespace tavrik::settings::key_light_test {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

TEST(KeyLight, LuminanceAndContrastFollowTheGuidelines) {
    EXPECT_DOUBLE_EQ(relativeLuminance(kBlack), 0);
    EXPECT_DOUBLE_EQ(relativeLuminance(kWhite), 1);
    EXPECT_NEAR(relativeLuminance({255, 0, 0}), 0.2126, 1e-4);
    EXPECT_NEAR(relativeLuminance({0, 255, 0}), 0.7152, 1e-4);
    EXPECT_NEAR(relativeLuminance({0, 0, 255}), 0.0722, 1e-4);
    EXPECT_NEAR(contrastRatio(kBlack, kWhite), 21, 1e-9);
    EXPECT_NEAR(contrastRatio(kWhite, kBlack), 21, 1e-9);
    // Published figures: #777777 on white is 4.48 : 1, #767676 4.54 : 1.
    EXPECT_NEAR(contrastRatio({0x77, 0x77, 0x77}, kWhite), 4.48, 0.01);
    EXPECT_NEAR(contrastRatio({0x76, 0x76, 0x76}, kWhite), 4.54, 0.01);
    EXPECT_DOUBLE_EQ(contrastRatio({10, 200, 30}, {10, 200, 30}), 1);
}

TEST(KeyLight, LabelIsBlackOnLightCapsAndWhiteOnDarkOnes) {
    const struct {
        Rgb cap;
        Rgb label;
    } rows[] = {
        {{255, 255, 0}, kBlack},      {{255, 255, 255}, kBlack},    {{0, 255, 0}, kBlack},
        {{255, 0, 0}, kBlack},        {{0, 255, 255}, kBlack},      {{255, 128, 0}, kBlack},
        {{0, 0, 255}, kWhite},        {{128, 0, 128}, kWhite},      {{1, 2, 3}, kWhite},
        {{0x60, 0x60, 0x60}, kWhite}, {{0x76, 0x76, 0x76}, kBlack},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(labelColourOn(row.cap), row.label)
            << int{row.cap.r} << "," << int{row.cap.g} << "," << int{row.cap.b};
    }
}

TEST(KeyLight, EveryLabelContrastsAtLeastFourAndAHalfToOne) {
    for (const Rgb& c : kPalette) {
        EXPECT_GE(contrastRatio(litCap(c).label, litCap(c).face), 4.5);
    }
    // Every light of the colour cube in steps of 5, which holds the worst case: a face whose
    // luminance lies where black and white contrast equally (about 0.18).
    double worst = 21;
    for (int r = 0; r <= 255; r += 5) {
        for (int g = 0; g <= 255; g += 5) {
            for (int b = 0; b <= 255; b += 5) {
                const Rgb cap{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                              static_cast<std::uint8_t>(b)};
                const LitCap lit = litCap(cap);
                worst = std::min(worst, contrastRatio(lit.label, lit.face));
            }
        }
    }
    EXPECT_GE(worst, 4.5);
    EXPECT_LT(worst, 4.7);  // the cube does reach the hard cases
}

TEST(KeyLight, LitCapShowsTheLightOnItsFaceAndADarkerRim) {
    for (const Rgb& c : kPalette) {
        const LitCap cap = litCap(c);
        EXPECT_EQ(cap.face, c);
        EXPECT_LT(relativeLuminance(cap.rim), relativeLuminance(cap.face));
        EXPECT_GT(relativeLuminance(cap.rim), relativeLuminance({14, 15, 18}));
    }
    // A dim light tints the unlit face instead of blackening it; its label still contrasts.
    EXPECT_EQ(litCap({0, 0, 0}).face, kUnlitFace);
    const LitCap dim = litCap({40, 0, 0});
    EXPECT_GT(dim.face.r, kUnlitFace.r - 10);
    EXPECT_LT(dim.face.g, kUnlitFace.g);
    EXPECT_GE(contrastRatio(dim.label, dim.face), 4.5);
    EXPECT_EQ(litCap({160, 0, 0}).face, (Rgb{160, 0, 0}));
    EXPECT_NE(litCap({0, 0, 120}).face, (Rgb{0, 0, 120}));
    EXPECT_EQ(litCap({0xF0, 0x80, 0x10}).face, (Rgb{0xF0, 0x80, 0x10}));
}

}  // namespace
}  // namespace tavrik::settings::key_light_test
