#pragma once
// Byte layouts of the macro store: the 894-byte macro record, the 190-byte event sequences it
// holds and the two event forms. Multi-byte host fields of a record are little-endian; the
// long-form delay inside a sequence is big-endian (it reaches the keyboard as is).

#include <array>
#include <cstddef>
#include <cstdint>

#include "model/image_layout.h"

namespace tavrik::macro {

// Macro record.
namespace record {
inline constexpr std::size_t kName = 0;  // UTF-16LE, NUL-terminated, all zero when free
inline constexpr std::size_t kNameSize = 510;
inline constexpr std::size_t kMaxNameLength = kNameSize / 2 - 1;  // 254 code units
inline constexpr std::size_t kLoopCount = 510;                    // u16 LE, 0..999
inline constexpr std::size_t kOptions = 512;                      // bit 0: record delays
inline constexpr std::uint8_t kRecordDelayBit = 0x01;
inline constexpr std::size_t kDeviceSequence = 513;  // codes are HID usages
inline constexpr std::size_t kKeySequence = 703;     // codes are key-table codes
inline constexpr std::size_t kReserved = 893;
inline constexpr std::size_t kSize = 894;
}  // namespace record

inline constexpr std::size_t kSequenceSize = 190;
inline constexpr std::size_t kRecordCount = 190;
inline constexpr std::size_t kStoreSize = kRecordCount * record::kSize;   // MacroDefine.bin
inline constexpr std::size_t kMaxMacros = model::image::kMacroSlotCount;  // 32

static_assert(record::kDeviceSequence + kSequenceSize == record::kKeySequence);
static_assert(record::kKeySequence + kSequenceSize == record::kReserved);
static_assert(kStoreSize == 169860);

// Event byte 0: direction in bit 7, delay (or the long-form marker) in bits 0-6.
namespace event {
inline constexpr std::size_t kHead = 0;
inline constexpr std::size_t kCode = 1;
inline constexpr std::size_t kDelayHigh = 2;  // long form only
inline constexpr std::size_t kDelayLow = 3;
inline constexpr std::size_t kShortSize = 2;
inline constexpr std::size_t kLongSize = 4;
inline constexpr std::uint8_t kReleaseBit = 0x80;
inline constexpr std::uint8_t kDelayMask = 0x7F;
inline constexpr std::uint8_t kLongMarker = 0x7F;
inline constexpr int kLongDelayFrom = 127;           // delays from here on use the long form
inline constexpr int kMaxDelay = 60000;              // ms
inline constexpr int kMinEditedDelay = 2;            // an edited delay line never goes below this
inline constexpr std::uint8_t kFirstPress = 0x01;    // press, delay 1
inline constexpr std::uint8_t kFirstRelease = 0x81;  // release, delay 1
}  // namespace event

// Macro slot in the configuration image: loop count big-endian, then the device sequence.
namespace slot {
inline constexpr std::size_t kLoopHigh = 0;
inline constexpr std::size_t kLoopLow = 1;
inline constexpr std::size_t kSequence = 2;
static_assert(kSequence + kSequenceSize == model::image::kMacroSlotSize);
}  // namespace slot

// Mouse-button codes: the same byte in both sequences.
inline constexpr std::uint8_t kMouseLeft = 0xF0;
inline constexpr std::uint8_t kMouseRight = 0xF1;
inline constexpr std::uint8_t kMouseMiddle = 0xF2;

using Sequence = std::array<std::uint8_t, kSequenceSize>;
using MacroRecord = std::array<std::uint8_t, record::kSize>;
using MacroStore = std::array<MacroRecord, kRecordCount>;

}  // namespace tavrik::macro
