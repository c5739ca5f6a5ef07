#pragma once
// The direction row of the lighting section: which arrow images the effect shows, left to right
// at x 29, 79, 129, 179 (the row's height follows the panel layout), and which one is lit for
// the current direction byte.

#include <cstdint>
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

inline constexpr int kDirectionRowStep = 50;

// The effect's direction buttons as arrows. With four buttons the one storing the current
// direction is lit; a two-button row lights its first button when the direction is the first
// button's and its second for any other direction 1..4. A byte outside 1..4 lights nothing.
DirectionRow directionRow(std::uint8_t effect, int direction);

}  // namespace tavrik::mainwindow
