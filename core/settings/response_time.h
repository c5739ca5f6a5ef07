#pragma once
// Response time: the byte holds 1..10; the drop-down offers "2ms".."20ms" and row r stores r + 1;
// the panel shows "%d ms" of twice the byte.

#include <string>
#include <string_view>

namespace tavrik::settings {

inline constexpr int kResponseRowCount = 10;

// Text of drop-down row 0..9 ("2ms".."20ms"); empty for any other row.
std::string_view responseRowText(int row);
// The byte value stored by choosing row 0..9.
constexpr int responseByteForRow(int row) {
    return row + 1;
}
// The panel's value text for a response-time byte: "%d ms" applied to twice the byte.
std::string responseValueText(int byte);

}  // namespace tavrik::settings
