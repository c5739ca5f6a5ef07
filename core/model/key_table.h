#pragma once
// The key table: for each one-byte key-table code (the Windows virtual-key code of a key, plus a
// few private codes) the USB HID usage the keyboard emits and the short display name. Names are
// UTF-8 (all ASCII); the window layer converts them with QString::fromUtf8.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavrik::model {

inline constexpr int kKeyTableSize = 255;

struct KeyRecord {
    std::uint8_t code = 0;
    std::uint8_t usage = 0;  // 0 = no key
    std::string name;        // exact display name, trailing blanks included
};

using KeyTable = std::array<KeyRecord, kKeyTableSize>;

// The table, built once on first use: letters, digits and F-keys by rule, then the individual
// keys, which override them.
const KeyTable& keyTable();

// Usage byte and name of a code; codes outside 0..254 have usage 0 and an empty name.
std::uint8_t keyUsage(int code);
std::string_view keyName(int code);
// The first code whose usage equals usage (0 for none); used to turn device bytes back into codes.
std::uint8_t codeForUsage(std::uint8_t usage);

}  // namespace tavrik::model
