#pragma once
// The direction row of the lighting section: which arrow images the effect shows, left to right
// at x 29, 79, 129, 179, and which one is lit for the current direction byte.

#include <optional>
#include <string_view>
#include <vector>

namespace tavrik::mainwindow {

struct DirectionRow {
    // Arrow of each shown button: "T" top, "B" bottom, "R" right, "L" left; the images are
    // "Direction-<arrow>-Disable.png" and "...-Enable.png".
    std::vector<std::string_view> arrows;
    std::optional<int> lit;  // button drawn enabled
};

inline constexpr int kDirectionRowX = 29;
inline constexpr int kDirectionRowStep = 50;
inline constexpr int kDirectionRowY = 197;

// Wave (3) shows top, bottom, right, left; Radar (13) and effect 15 right and left; effect 16
// top and bottom; every other effect no row. Direction bytes: 1 left, 2 right, 3 top, 4 bottom.
// The two-button rows light their first button for their first arrow and the second for any
// other valid direction; a byte outside 1..4 lights nothing.
DirectionRow directionRow(int effect, int direction);

}  // namespace tavrik::mainwindow
