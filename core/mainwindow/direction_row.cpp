#include "mainwindow/direction_row.h"

#include "settings/effects.h"

namespace tavrik::mainwindow {
namespace {

std::string_view arrowOf(settings::Direction d) {
    switch (d) {
        case settings::Direction::Left:
            return "L";
        case settings::Direction::Right:
            return "R";
        case settings::Direction::Top:
            return "T";
        case settings::Direction::Bottom:
            return "B";
    }
    return {};
}

bool valid(int direction) {
    return direction >= static_cast<int>(settings::Direction::Left) &&
           direction <= static_cast<int>(settings::Direction::Bottom);
}

}  // namespace

DirectionRow directionRow(std::uint8_t effect, int direction) {
    DirectionRow row;
    std::vector<settings::Direction> values;
    for (const auto& b : settings::directionButtons(effect)) {
        if (!b) continue;
        values.push_back(*b);
        row.arrows.push_back(arrowOf(*b));
    }
    if (!valid(direction) || values.empty()) return row;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (static_cast<int>(values[i]) == direction) row.lit = static_cast<int>(i);
    }
    if (values.size() == 2 && row.lit != 0) row.lit = 1;
    return row;
}

}  // namespace tavrik::mainwindow
