#pragma once
// Byte layout of the 10056-byte configuration image: every byte the keyboard stores, laid out
// region by region as the keyboard exchanges them. All fields are unsigned bytes.

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>

namespace tavrik::model {

inline constexpr std::size_t kImageSize = 10056;

namespace image {
inline constexpr std::size_t kReportRate = 11;  // USB report-rate setting

inline constexpr std::size_t kKeyCodeArea = 792;      // 6 rows x 21 columns of 4-byte key codes
inline constexpr std::size_t kKeyCodeAreaSize = 512;  // 504 used + 8 padding
inline constexpr std::size_t kKeyCodeRowStride = 84;  // 21 cells of 4 bytes
inline constexpr std::size_t kKeyCodeCellSize = 4;
inline constexpr int kKeyMatrixRows = 6;

inline constexpr std::size_t kMacroArea = 1304;  // 32 macro slots
inline constexpr std::size_t kMacroSlotCount = 32;
inline constexpr std::size_t kMacroSlotSize = 192;
inline constexpr std::size_t kMacroAreaSize = kMacroSlotCount * kMacroSlotSize;

inline constexpr std::size_t kResponseTime = 7449;       // 1..10, shown as twice the value in ms
inline constexpr std::size_t kEffect = 7450;             // lighting effect code
inline constexpr std::size_t kSpeed = 7451;              // 0..9 on the host
inline constexpr std::size_t kBrightness = 7452;         // 0..50
inline constexpr std::size_t kColourChoice = 7453;       // 1..8
inline constexpr std::size_t kDirection = 7454;          // 1 left, 2 right, 3 top, 4 bottom
inline constexpr std::size_t kLightingParams = kEffect;  // bytes 7450..7454 travel together
inline constexpr std::size_t kLightingParamsSize = 5;

inline constexpr std::size_t kColourTable = 7455;  // 7 entries of 3 bytes
inline constexpr std::size_t kColourEntryCount = 7;
inline constexpr std::size_t kColourEntrySize = 3;
inline constexpr std::size_t kColourTableSize = kColourEntryCount * kColourEntrySize;

inline constexpr std::size_t kGameMode = 7476;  // 1 on, 0 off

inline constexpr std::size_t kEnableBitmap = 7477;  // 144 bits, LSB first, set = enabled
inline constexpr std::size_t kEnableBitmapSize = 18;

inline constexpr std::size_t kWinLock = 7495;  // host only; folded into the bitmap

inline constexpr std::size_t kDiyTables = 7496;  // 5 tables of 512 bytes
inline constexpr std::size_t kDiyTableCount = 5;
inline constexpr std::size_t kDiyTableSize = 512;
inline constexpr std::size_t kDiyCellSize = 4;  // byte 0 zero, then blue, green, red

// Win lock travels inside the bitmap: written into bit 1 of byte 0, read from bit 0 of byte 1
// (which is no key's enable bit: the keyboard reports its lock there).
inline constexpr std::size_t kWinLockWriteByte = kEnableBitmap;
inline constexpr std::uint8_t kWinLockWriteMask = 0x02;
inline constexpr std::size_t kWinLockReadByte = kEnableBitmap + 1;
inline constexpr std::uint8_t kWinLockReadMask = 0x01;

// Offsets of one macro slot, DIY table or colour entry; an index beyond the last is a
// programming error (an index read from a file or the wire is checked before it gets here).
constexpr std::size_t macroSlot(std::size_t i) {
    assert(i < kMacroSlotCount);
    return kMacroArea + kMacroSlotSize * i;
}
constexpr std::size_t diyTable(std::size_t i) {
    assert(i < kDiyTableCount);
    return kDiyTables + kDiyTableSize * i;
}
constexpr std::size_t colourEntry(std::size_t i) {
    assert(i < kColourEntryCount);
    return kColourTable + kColourEntrySize * i;
}

static_assert(kKeyCodeArea + kKeyCodeAreaSize == kMacroArea);
static_assert(kMacroArea + kMacroAreaSize == 7448);
static_assert(kColourTable + kColourTableSize == kGameMode);
static_assert(kEnableBitmap + kEnableBitmapSize == kWinLock);
static_assert(diyTable(kDiyTableCount - 1) + kDiyTableSize == kImageSize);
}  // namespace image

// Code types of a key code cell (byte 0).
namespace codetype {
inline constexpr std::uint8_t kKeyboard = 0;     // up to three HID keyboard usages
inline constexpr std::uint8_t kFnKey = 2;        // the function key (factory code only)
inline constexpr std::uint8_t kConsumer = 3;     // 16-bit consumer usage in bytes 2..3, low first
inline constexpr std::uint8_t kMacro = 4;        // byte 1 = 1, byte 2 = macro index
inline constexpr std::uint8_t kHostAction = 10;  // byte 2 = the key's own code
}  // namespace codetype

using Image = std::array<std::uint8_t, kImageSize>;
using KeyCode = std::array<std::uint8_t, 4>;

}  // namespace tavrik::model
