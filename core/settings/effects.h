#pragma once
// The 18 lighting effects in menu order, their codes and names, and the direction buttons each
// offers. The effect code is the lighting-effect byte of the image (image::kEffect).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/language.h"

namespace tavrik::settings {

inline constexpr int kEffectCount = 18;

namespace effect {
inline constexpr std::uint8_t kStatic = 1;
inline constexpr std::uint8_t kWave = 3;
inline constexpr std::uint8_t kRadar = 13;
inline constexpr std::uint8_t kRunning = 15;
inline constexpr std::uint8_t kGradient = 16;
inline constexpr std::uint8_t kFirstDiy = 51;  // DIY1..DIY5 are 51..55
inline constexpr std::uint8_t kLastDiy = 55;
// Effects at or below this code have their colour choice clamped at paint.
inline constexpr std::uint8_t kLastColourClamped = 50;
}  // namespace effect

// Values of the direction byte (image::kDirection).
enum class Direction : std::uint8_t { Left = 1, Right = 2, Top = 3, Bottom = 4 };

inline constexpr int kDirectionButtonCount = 4;
// Left edge (window x) of direction buttons 0..3.
inline constexpr std::array<int, kDirectionButtonCount> kDirectionButtonX{29, 79, 129, 179};

// The value each of the four direction buttons stores; none where the button is not shown.
using DirectionButtons = std::array<std::optional<Direction>, kDirectionButtonCount>;

struct Effect {
    std::uint8_t code;
    BiText name;
    DirectionButtons buttons;
};

const std::array<Effect, kEffectCount>& effectTable();

// The row of the effect with this code; none for a code not in the table.
std::optional<int> effectRow(std::uint8_t code);
// The effect's name; empty for a code not in the table (such a code shows no name).
std::string_view effectName(std::uint8_t code, Language lang);
// Direction buttons of the effect; all empty for effects without a direction choice.
DirectionButtons directionButtons(std::uint8_t code);

constexpr bool isDiyEffect(std::uint8_t code) {
    return code >= effect::kFirstDiy && code <= effect::kLastDiy;
}
// DIY table edited and drawn for a DIY effect (0..4); none otherwise.
std::optional<std::size_t> diyTableOf(std::uint8_t code);
// The key view offers the DIY view (and the DIY view/key-map view radios) for codes 51 and up.
constexpr bool offersDiyView(std::uint8_t code) {
    return code >= effect::kFirstDiy;
}
// Speed is shown and editable for every code but Static and the codes from 50 up.
constexpr bool showsSpeed(std::uint8_t code) {
    return code != effect::kStatic && code < 50;
}

}  // namespace tavrik::settings
