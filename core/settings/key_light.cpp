#include "settings/key_light.h"

#include <algorithm>
#include <cmath>

namespace tavrik::settings {
namespace {

double linear(std::uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
// The rim takes this share of the light over the unlit rim's near-black.
constexpr int kRimShare = 55;
constexpr Rgb kUnlitRim{14, 15, 18};

std::uint8_t blend(std::uint8_t light, std::uint8_t base) {
    return static_cast<std::uint8_t>((light * kRimShare + base * (100 - kRimShare) + 50) / 100);
}

}  // namespace

double relativeLuminance(Rgb c) {
    return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

double contrastRatio(Rgb a, Rgb b) {
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb labelColourOn(Rgb background) {
    return contrastRatio(background, kBlack) >= contrastRatio(background, kWhite) ? kBlack : kWhite;
}

LitCap litCap(Rgb light) {
    return {light,
            {blend(light.r, kUnlitRim.r), blend(light.g, kUnlitRim.g), blend(light.b, kUnlitRim.b)},
            labelColourOn(light)};
}

}  // namespace tavrik::settings
