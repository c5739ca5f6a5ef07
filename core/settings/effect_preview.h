#pragma once
// A preview of the keyboard's lighting: the colour of every key at a time, from the lighting
// bytes of the configuration image (effect, speed, brightness, colour choice, direction, colour
// table, DIY tables) and the key places of the slot table. It imitates how each effect looks on
// the keyboard; the keyboard's own timing is its firmware's and is not reproduced exactly.

#include <array>
#include <cstdint>
#include <span>

#include "model/image_layout.h"
#include "model/slot_table.h"
#include "settings/effects.h"
#include "settings/panel.h"

namespace tavrik::settings {

// The lighting bytes of an image, as the preview reads them.
struct Lighting {
    std::uint8_t effect = 0;
    std::uint8_t speed = 0;         // 0..9 on the host, 9 fastest; larger values count as 9
    std::uint8_t brightness = 0;    // 0..50; larger values count as 50
    std::uint8_t colourChoice = 1;  // 1..7 a colour table entry, 8 the whole spectrum
    std::uint8_t direction = 0;     // Direction values; others count as right
    std::array<Rgb, model::image::kColourEntryCount> colours{};  // entries are R, G, B
    std::array<Rgb, model::kSlotCount> diyCells{};  // the current DIY table's cells by slot
};

Lighting lightingOf(const model::Image& image);

// A key press the preview shows (reactive and ripple effects): the slot and when, in seconds on
// the preview's clock.
struct KeyPress {
    int slot = 0;
    double at = 0;
};

// Colours by slot; black is unlit. Slots that are not drawn stay black.
using KeyColours = std::array<Rgb, model::kSlotCount>;

// Seconds one cycle of an animated effect takes at a speed (0..9): shorter when faster.
double previewPeriod(std::uint8_t speed);
// Whether the effect changes with time: false for Static, the DIY effects and codes that are
// no effect (those show unlit keys), so a view needs no timer for them.
bool previewAnimated(std::uint8_t effect);

// Where a drawn slot's centre lies on the keyboard: x from 0 (left edge of the leftmost key)
// to 1 (right edge of the rightmost), y from 0 (top row) to 1 (bottom row).
struct KeyPlace {
    double x = 0;
    double y = 0;
};
KeyPlace keyPlace(int slot);

// The colour of every key at `seconds`. Reactive and ripple show `presses`, or, when there are
// none, presses of the preview's own that repeat with the effect's period. Brightness 0 and
// codes that are no effect give black keys; DIY effects give the current table's cells,
// dimmed by brightness (brightness 50 gives the cells as they are).
KeyColours previewColours(const Lighting& lighting, double seconds,
                          std::span<const KeyPress> presses = {});

}  // namespace tavrik::settings
