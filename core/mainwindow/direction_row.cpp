#include "mainwindow/direction_row.h"

namespace tavrik::mainwindow {
namespace {

constexpr int kLeft = 1;
constexpr int kRight = 2;
constexpr int kTop = 3;
constexpr int kBottom = 4;

bool valid(int direction) {
    return direction >= kLeft && direction <= kBottom;
}

// A two-button row lights its first button when the direction is first, else its second.
DirectionRow twoButtons(std::string_view a, std::string_view b, int first, int direction) {
    DirectionRow row{{a, b}, std::nullopt};
    if (valid(direction)) row.lit = direction == first ? 0 : 1;
    return row;
}

}  // namespace

DirectionRow directionRow(int effect, int direction) {
    switch (effect) {
        case 3: {
            DirectionRow row{{"T", "B", "R", "L"}, std::nullopt};
            switch (direction) {
                case kTop:
                    row.lit = 0;
                    break;
                case kBottom:
                    row.lit = 1;
                    break;
                case kRight:
                    row.lit = 2;
                    break;
                case kLeft:
                    row.lit = 3;
                    break;
                default:
                    break;
            }
            return row;
        }
        case 13:
        case 15:
            return twoButtons("R", "L", kRight, direction);
        case 16:
            return twoButtons("T", "B", kTop, direction);
        default:
            return {};
    }
}

}  // namespace tavrik::mainwindow
