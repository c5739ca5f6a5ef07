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
// A light whose brightest channel is below this shows on the face mixed with the unlit face's
// grey, in proportion: a dim key looks like a faintly lit cap, not a black hole.
constexpr int kFullLight = 160;

std::uint8_t blend(std::uint8_t light, std::uint8_t base, int share) {
    return static_cast<std::uint8_t>((light * share + base * (100 - share) + 50) / 100);
}

Rgb blend(Rgb light, Rgb base, int share) {
    return {blend(light.r, base.r, share), blend(light.g, base.g, share),
            blend(light.b, base.b, share)};
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
    const int strongest = std::max({light.r, light.g, light.b});
    const Rgb face =
        strongest >= kFullLight ? light : blend(light, kUnlitFace, strongest * 100 / kFullLight);
    return {face, blend(light, kUnlitRim, kRimShare), labelColourOn(face)};
}

}  // namespace tavrik::settings
