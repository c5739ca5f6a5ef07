#include "settings/response_time.h"

#include <array>

namespace tavrik::settings {
namespace {
constexpr std::array<std::string_view, kResponseRowCount> kRows{
    "2ms", "4ms", "6ms", "8ms", "10ms", "12ms", "14ms", "16ms", "18ms", "20ms"};
}

std::string_view responseRowText(int row) {
    if (row < 0 || row >= kResponseRowCount) return {};
    return kRows[static_cast<std::size_t>(row)];
}

std::string responseValueText(int byte) {
    return std::to_string(2 * byte) + " ms";
}

}  // namespace tavrik::settings
