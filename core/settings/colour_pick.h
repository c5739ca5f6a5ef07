#pragma once
// The colour chooser's rules without a window: hue, saturation and value against RGB, the hex
// field's text, and the list of recently chosen colours with its stored form.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/panel.h"

namespace tavrik::settings {

// Hue in degrees 0..359, saturation and value 0..255 (whole numbers, so that the chooser's
// arrow keys move in whole steps and a colour read back gives the same position).
struct Hsv {
    int h = 0;
    int s = 0;
    int v = 0;
    bool operator==(const Hsv&) const = default;
};

Hsv toHsv(Rgb colour);
Rgb toRgb(Hsv colour);  // h is taken modulo 360; s and v are clamped to 0..255

// "RRGGBB" in upper case.
std::string toHex(Rgb colour);
// Six hex digits, upper or lower case, with an optional leading '#' and surrounding blanks;
// none for anything else.
std::optional<Rgb> parseHex(std::string_view text);

// Recently chosen colours, the newest first, each once, at most kRecentColours.
inline constexpr std::size_t kRecentColours = 8;
void addRecentColour(std::vector<Rgb>& recent, Rgb colour);
// The stored form: the colours' hex texts separated by commas. Reading skips entries that are
// not colours and keeps at most kRecentColours, each once.
std::string recentColoursText(const std::vector<Rgb>& recent);
std::vector<Rgb> parseRecentColours(std::string_view text);

}  // namespace tavrik::settings
