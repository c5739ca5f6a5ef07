#pragma once
// The assignment result: what the key assignment dialog hands to the main window when it ends
// with OK, and what the encoding turns into the key action record and the key code cell.

#include <array>
#include <cstdint>
#include <string>

#include "model/key_action.h"

namespace tavrik::keyassign {

using model::KeyKind;

inline constexpr std::size_t kCapturedKeysSize = 255;
inline constexpr int kDefaultCount = 255;  // count value meaning "the Default button was used"
inline constexpr int kMaxCombinationKeys = 3;

struct AssignmentResult {
    KeyKind kind = KeyKind::Unchosen;
    std::array<std::uint8_t, kCapturedKeysSize> captured{};  // key-table codes, zero-filled
    int count = 0;             // captured keys before the first 0; kDefaultCount for "Default"
    int macroIndex = -1;       // macro list row, -1 = none
    std::string functionName;  // preset function's display name in the current language (UTF-8)
    std::string launchPath;    // UTF-8, at most 255 UTF-16 units
    bool enabled = true;       // false: the key is to be disabled
};

}  // namespace tavrik::keyassign
