#pragma once
// How a lit key looks: its face shows the light's colour, its rim a darker shade of it, and its
// label is black or white, whichever stands out more from the face (relative luminance and
// contrast ratio as the WCAG 2 accessibility guidelines define them).

#include "settings/panel.h"

namespace tavrik::settings {

// Relative luminance of an sRGB colour, 0 (black) .. 1 (white).
double relativeLuminance(Rgb c);
// Contrast ratio of two colours, 1 (equal luminance) .. 21 (black on white); symmetric.
double contrastRatio(Rgb a, Rgb b);
// Black or white, whichever has the higher contrast with `background`: at least 4.58 : 1 for
// every colour.
Rgb labelColourOn(Rgb background);

// The unlit cap's face, as the skin draws it (the middle of its gradient).
inline constexpr Rgb kUnlitFace{48, 50, 57};

struct LitCap {
    Rgb face;   // the light's colour itself; a dim light mixed with the unlit face's grey
    Rgb rim;    // the cap's sides: the light, darkened
    Rgb label;  // black or white on the face
};
LitCap litCap(Rgb light);

}  // namespace tavrik::settings
