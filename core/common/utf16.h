#pragma once
// Text in the core is UTF-8 (std::string). Byte layouts that store text as UTF-16 (launch paths,
// macro names) go through these conversions; the window layer converts UTF-8 with
// QString::fromUtf8 / toUtf8.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tavrik {

// UTF-8 to UTF-16 code units. Malformed sequences become U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);
// UTF-16 code units to UTF-8. Unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

// Reads a zero-terminated little-endian UTF-16 string from a fixed field; stops at the field's
// end when no terminator is present.
std::u16string readUtf16Field(std::span<const std::uint8_t> field);
// Writes a little-endian UTF-16 string into a fixed field, zero-filling the rest. Returns false
// (and leaves the field untouched) when the text plus its terminator does not fit.
bool writeUtf16Field(std::span<std::uint8_t> field, std::u16string_view text);

}  // namespace tavrik
