#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <set>
#include <tuple>

#include "settings/effect_preview.h"

namespace tavrik::settings::preview_test {
namespace {
namespace img = model::image;

constexpr int kA = 63;  // "A"
constexpr Rgb kRed{255, 0, 0};

int sum(Rgb c) {
    return c.r + c.g + c.b;
}

std::vector<int> drawnSlots() {
    std::vector<int> out;
    for (int s = 0; s < model::kSlotCount; ++s) {
        if (model::slot(s).drawn()) out.push_back(s);
    }
    return out;
}

// One colour (table entry 1 red), full brightness, medium speed.
Lighting lighting(std::uint8_t effect, std::uint8_t direction = 0) {
    Lighting l;
    l.effect = effect;
    l.speed = 5;
    l.brightness = 50;
    l.colourChoice = 1;
    l.direction = direction;
    l.colours = {{kRed,
                  {0, 255, 0},
                  {0, 0, 255},
                  {255, 255, 0},
                  {0, 255, 255},
                  {255, 0, 255},
                  {255, 255, 255}}};
    return l;
}

// Where the brightest key is: the place of the first drawn key with the largest sum.
KeyPlace brightest(const KeyColours& c) {
    int best = -1;
    for (int s : drawnSlots()) {
        if (best < 0 ||
            sum(c[static_cast<std::size_t>(s)]) > sum(c[static_cast<std::size_t>(best)])) {
            best = s;
        }
    }
    return keyPlace(best);
}

bool allBlack(const KeyColours& c) {
    return std::all_of(c.begin(), c.end(), [](Rgb k) { return sum(k) == 0; });
}

bool nearlyEqual(const KeyColours& a, const KeyColours& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::abs(a[i].r - b[i].r) > 1 || std::abs(a[i].g - b[i].g) > 1 ||
            std::abs(a[i].b - b[i].b) > 1) {
            return false;
        }
    }
    return true;
}

TEST(EffectPreview, ReadsTheLightingBytesAndTheCurrentDiyTable) {
    auto image = std::make_unique<model::Image>();
    (*image)[img::kEffect] = 53;  // DIY3: table 2
    (*image)[img::kSpeed] = 7;
    (*image)[img::kBrightness] = 33;
    (*image)[img::kColourChoice] = 4;
    (*image)[img::kDirection] = 3;
    (*image)[img::colourEntry(6)] = 0x12;  // entries are R, G, B
    (*image)[img::colourEntry(6) + 1] = 0x34;
    (*image)[img::colourEntry(6) + 2] = 0x56;
    const std::size_t cell = img::diyTable(2) + model::diyOffset(kA);  // 0, blue, green, red
    (*image)[cell + 1] = 0x10;
    (*image)[cell + 2] = 0x80;
    (*image)[cell + 3] = 0xF0;
    (*image)[img::diyTable(1) + model::diyOffset(0) + 1] = 0xFF;  // another table: not read
    const Lighting l = lightingOf(*image);
    EXPECT_EQ(std::tie(l.effect, l.speed, l.brightness, l.colourChoice, l.direction),
              std::make_tuple(53, 7, 33, 4, 3));
    EXPECT_EQ(l.colours[6], (Rgb{0x12, 0x34, 0x56}));
    EXPECT_EQ(l.diyCells[kA], (Rgb{0xF0, 0x80, 0x10}));
    EXPECT_EQ(l.diyCells[0], Rgb{});
}

TEST(EffectPreview, CodesThatAreNoEffectAndBrightnessZeroLeaveEveryKeyUnlit) {
    for (int code : {0, 7, 17, 50, 56, 255}) {
        Lighting l = lighting(static_cast<std::uint8_t>(code));
        l.colourChoice = 8;
        EXPECT_TRUE(allBlack(previewColours(l, 1.3))) << code;
        EXPECT_FALSE(previewAnimated(static_cast<std::uint8_t>(code))) << code;
    }
    for (const Effect& e : effectTable()) {
        Lighting l = lighting(e.code);
        l.diyCells.fill(kRed);
        l.brightness = 0;
        for (double t : {0.0, 0.7, 2.1, 5.5}) {
            EXPECT_TRUE(allBlack(previewColours(l, t))) << int{e.code} << " at " << t;
        }
    }
}

TEST(EffectPreview, EveryEffectLightsSomeKeyAndOnlyDrawnKeys) {
    for (const Effect& e : effectTable()) {
        for (std::uint8_t choice : {1, 8}) {
            Lighting l = lighting(e.code);
            l.colourChoice = choice;
            l.diyCells.fill(kRed);
            bool lit = false;
            const double period = previewPeriod(l.speed);
            for (int step = 0; step < 40 && !lit; ++step) {
                const KeyColours c = previewColours(l, period * step / 20);
                for (int s = 0; s < model::kSlotCount; ++s) {
                    if (!model::slot(s).drawn()) {
                        EXPECT_EQ(c[static_cast<std::size_t>(s)], Rgb{}) << int{e.code};
                    }
                }
                lit = !allBlack(c);
            }
            EXPECT_TRUE(lit) << int{e.code} << " choice " << int{choice};
        }
    }
}

TEST(EffectPreview, StaticShowsTheChosenColourOnEveryKey) {
    for (std::uint8_t choice = 1; choice <= 7; ++choice) {
        Lighting l = lighting(effect::kStatic);
        l.colourChoice = choice;
        for (double t : {0.0, 3.7}) {
            const KeyColours c = previewColours(l, t);
            for (int s : drawnSlots()) {
                EXPECT_EQ(c[static_cast<std::size_t>(s)], l.colours[choice - 1u])
                    << int{choice} << " slot " << s;
            }
        }
    }
    // Choice 0 reads as 1, as the panel clamps it; 8 spreads the spectrum across the keys.
    Lighting zero = lighting(effect::kStatic);
    zero.colourChoice = 0;
    EXPECT_EQ(previewColours(zero, 0)[kA], kRed);
    Lighting spectrum = lighting(effect::kStatic);
    spectrum.colourChoice = 8;
    std::set<std::tuple<int, int, int>> colours;
    for (const Rgb& k : previewColours(spectrum, 0)) colours.insert({k.r, k.g, k.b});
    EXPECT_GT(colours.size(), 10u);
    EXPECT_FALSE(previewAnimated(effect::kStatic));
}

TEST(EffectPreview, DiyEffectsShowTheCellsDimmedByBrightness) {
    Lighting l = lighting(52);
    l.diyCells[kA] = {0xF0, 0x80, 0x10};
    l.diyCells[0] = {1, 2, 3};
    const KeyColours full = previewColours(l, 2.0);
    EXPECT_EQ(full[kA], (Rgb{0xF0, 0x80, 0x10}));
    EXPECT_EQ(full[0], (Rgb{1, 2, 3}));
    EXPECT_EQ(full[64], Rgb{});  // a cell of zeros stays unlit
    EXPECT_FALSE(previewAnimated(52));
    l.brightness = 1;  // the dimmest level still shows
    const Rgb dim = previewColours(l, 2.0)[kA];
    EXPECT_GT(sum(dim), 0);
    EXPECT_LT(sum(dim), sum(full[kA]) / 2);
    l.brightness = 200;  // beyond the range counts as 50
    EXPECT_EQ(previewColours(l, 2.0)[kA], full[kA]);
}

TEST(EffectPreview, BrightnessScalesTheLight) {
    Lighting l = lighting(effect::kStatic);
    int last = 0;
    for (std::uint8_t b : {1, 10, 25, 40, 50}) {
        l.brightness = b;
        const int now = sum(previewColours(l, 0)[kA]);
        EXPECT_GT(now, last) << int{b};
        last = now;
    }
    EXPECT_EQ(last, 255);
}

// The direction byte decides where the pattern moves: the brightest key of a one-colour wave
// moves along it as time goes on, and the other way for the opposite direction.
struct Motion {
    std::uint8_t effect;
    std::uint8_t direction;
    bool vertical;
    int sign;  // +1 right or down, -1 left or up
};

class EffectMotion : public ::testing::TestWithParam<Motion> {};

TEST_P(EffectMotion, MovesInItsDirection) {
    const Motion m = GetParam();
    const Lighting l = lighting(m.effect, m.direction);
    const double period = previewPeriod(l.speed);
    // Rows lie a fifth of the height apart: a vertical pattern is watched for longer. The
    // gradient's pattern spans two keyboards, so it moves twice as far in the same time.
    const bool gradient = m.effect == effect::kGradient;
    const double span = m.vertical ? 0.2 : 0.1;
    const double expected = gradient ? 2 * span : span;
    for (double start :
         gradient ? std::vector<double>{0.05, 0.2} : std::vector<double>{0.1, 0.45}) {
        const KeyPlace a = brightest(previewColours(l, period * start));
        const KeyPlace b = brightest(previewColours(l, period * (start + span)));
        const double moved = m.vertical ? b.y - a.y : b.x - a.x;
        EXPECT_GT(moved * m.sign, expected / 3)
            << int{m.effect} << "/" << int{m.direction} << " from " << start;
        EXPECT_LT(moved * m.sign, 2 * expected + 0.1);
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, EffectMotion,
                         ::testing::Values(Motion{effect::kWave, 2, false, +1},
                                           Motion{effect::kWave, 1, false, -1},
                                           Motion{effect::kWave, 4, true, +1},
                                           Motion{effect::kWave, 3, true, -1},
                                           Motion{effect::kRunning, 2, false, +1},
                                           Motion{effect::kRunning, 1, false, -1},
                                           Motion{effect::kGradient, 4, true, +1},
                                           Motion{effect::kGradient, 3, true, -1}));

TEST(EffectPreview, RadarTurnsClockwiseForRightAndBackForLeft) {
    // Angle of the brightest key about the middle, in turns; clockwise on screen grows it.
    const auto angle = [](const Lighting& l, double t) {
        const KeyPlace p = brightest(previewColours(l, t));
        return std::atan2(p.y - 0.5, p.x - 0.5) / (2 * 3.141592653589793);
    };
    for (std::uint8_t direction : {2, 1}) {
        const Lighting l = lighting(effect::kRadar, direction);
        const double period = previewPeriod(l.speed);
        // Past the right edge, where the keys lie thickest.
        double turned = angle(l, period * 1.04) - angle(l, period * 0.96);
        turned -= std::round(turned);
        EXPECT_GT(turned * (direction == 2 ? 1 : -1), 0.03) << int{direction};
    }
}

TEST(EffectPreview, SpeedSetsThePeriod) {
    for (std::uint8_t speed = 1; speed <= 9; ++speed) {
        EXPECT_LT(previewPeriod(speed), previewPeriod(speed - 1)) << int{speed};
    }
    EXPECT_GT(previewPeriod(0), 4 * previewPeriod(9));
    EXPECT_EQ(previewPeriod(200), previewPeriod(9));
    for (std::uint8_t effect : {std::uint8_t{2}, effect::kWave, std::uint8_t{11}}) {
        for (std::uint8_t speed : {0, 4, 9}) {
            Lighting l = lighting(effect, 2);
            l.speed = speed;
            const double p = previewPeriod(speed);
            EXPECT_TRUE(nearlyEqual(previewColours(l, 0.3), previewColours(l, 0.3 + p)))
                << int{effect} << " speed " << int{speed};
            EXPECT_FALSE(nearlyEqual(previewColours(l, 0.3), previewColours(l, 0.3 + p / 2)))
                << int{effect} << " speed " << int{speed};
        }
    }
    // Breathing is darkest at the start of each cycle and brightest half-way.
    for (std::uint8_t speed : {0, 9}) {
        Lighting l = lighting(2);
        l.speed = speed;
        const double p = previewPeriod(speed);
        EXPECT_EQ(previewColours(l, 0)[kA], Rgb{});
        EXPECT_EQ(previewColours(l, p / 2)[kA], kRed) << int{speed};
    }
    EXPECT_TRUE(previewAnimated(2));
}

TEST(EffectPreview, ReactiveLightsThePressedKeyAndFades) {
    const Lighting l = lighting(4);
    const double p = previewPeriod(l.speed);
    const KeyPress press[] = {{kA, 10.0}};
    const KeyColours at = previewColours(l, 10.0, press);
    EXPECT_EQ(at[kA], kRed);
    EXPECT_EQ(std::count_if(at.begin(), at.end(), [](Rgb c) { return sum(c) > 0; }), 1);
    const int half = sum(previewColours(l, 10.0 + p / 2, press)[kA]);
    EXPECT_GT(half, 0);
    EXPECT_LT(half, 255);
    EXPECT_TRUE(allBlack(previewColours(l, 10.0 + p, press)));
    EXPECT_TRUE(allBlack(previewColours(l, 9.9, press)));  // not before the press
    // Without presses the preview presses keys of its own.
    int lit = 0;
    for (int step = 0; step < 10; ++step) lit += !allBlack(previewColours(l, p * step / 10));
    EXPECT_EQ(lit, 10);
}

TEST(EffectPreview, RippleSpreadsAwayFromThePressedKey) {
    const Lighting l = lighting(6);
    const double p = previewPeriod(l.speed);
    const KeyPress press[] = {{kA, 4.0}};
    EXPECT_EQ(previewColours(l, 4.0, press)[kA], kRed);
    const KeyColours later = previewColours(l, 4.0 + p / 2, press);
    EXPECT_EQ(later[kA], Rgb{});  // the ring has left the key
    const KeyPlace from = keyPlace(kA);
    const KeyPlace ring = brightest(later);
    EXPECT_GT(std::hypot(ring.x - from.x, ring.y - from.y), 0.2);
    EXPECT_TRUE(allBlack(previewColours(l, 4.0 + p, press)));
}

}  // namespace
}  // namespace tavrik::settings::preview_test
