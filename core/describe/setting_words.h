#pragma once
// Lighting and performance settings in words and back, with their ranges. Parsers return Value
// errors whose text says what is accepted. Effect names are taken from the effect table (English
// or Chinese, case-insensitive).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/language.h"
#include "common/result.h"
#include "settings/effects.h"
#include "settings/panel.h"

namespace tavrik::describe {

inline constexpr int kMaxSpeed = 9;
inline constexpr int kMaxBrightness = 50;
inline constexpr int kMinColourChoice = 1;
inline constexpr int kMaxColourChoice = 8;
inline constexpr int kMinResponseMs = 2;  // the byte holds 1..10, twice that in ms
inline constexpr int kMaxResponseMs = 20;
inline constexpr int kDiyTableCount = 5;  // DIY1..DIY5

// The effect code for an English or Chinese name; none for an unknown name.
std::optional<std::uint8_t> findEffect(std::string_view name);
// Value error for an unknown effect name, with the closest name and the list of names.
Error unknownEffectError(std::string_view name);
// The effect's name in `lang`, or "code <n>" for a code not in the effect table.
std::string effectWords(std::uint8_t code, Language lang = Language::English);

// "left", "right", "top", "bottom" (case-insensitive).
Result<settings::Direction> parseDirection(std::string_view word);
// The word for a direction byte 1..4; empty for any other value.
std::string_view directionWord(std::uint8_t direction);
// The directions the effect offers, in button order ("top, bottom, right, left"); empty when
// it has none.
std::string directionChoices(std::uint8_t effect);

// "on" / "off" (also "1"/"0", "true"/"false", "yes"/"no").
Result<bool> parseOnOff(std::string_view word);

// Parses a decimal integer and checks it lies in [min, max]; `what` names the value in errors.
Result<int> parseIntIn(std::string_view text, int min, int max, std::string_view what);

// Response time in ms (even, 2..20) to the byte value 1..10, and back (0 for a byte outside
// 1..10).
Result<std::uint8_t> responseByteForMs(int ms);
int responseMsOfByte(std::uint8_t byte);

// USB report rate: slider positions 0..3 stand for 125, 250, 500 and 1000 Hz.
Result<std::uint8_t> reportRateByteForHz(int hz);
// Hz for a position byte 0..3; 0 for any other value.
int reportRateHzOfByte(std::uint8_t byte);

// "#RRGGBB" (the '#' is optional, hex digits in either case).
Result<settings::Rgb> parseColour(std::string_view text);
// "#RRGGBB" with upper-case digits.
std::string colourText(settings::Rgb colour);
// A DIY cell is 0, blue, green, red.
settings::Rgb diyCellColour(std::uint8_t blue, std::uint8_t green, std::uint8_t red);

}  // namespace tavrik::describe
