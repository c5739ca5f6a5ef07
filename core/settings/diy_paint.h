#pragma once
// Painting keys in the DIY view: a paint colour chosen from the palette (or any colour), a click
// that paints a key or turns it off, strokes that paint or erase every key the mouse crosses,
// and filling or clearing the whole current DIY table. Every rule edits the cells of the current
// DIY table only (cell bytes 0, blue, green, red); nothing else of the image changes.

#include <array>
#include <cstdint>
#include <optional>

#include "model/image_layout.h"
#include "settings/panel.h"

namespace tavrik::settings {

// The default paint colour: a click with it behaves as the toggle of a DIY cell (a cell with a
// non-zero blue byte turns off, any other becomes 0, 255, 0, 0).
inline constexpr Rgb kDefaultPaint{0, 0, 255};

// The eight swatches of the lighting section, from the left (x 28 + 25 i in the window).
inline constexpr int kPaletteSize = 8;
inline constexpr std::array<Rgb, kPaletteSize> kPalette{{{255, 0, 0},
                                                         {0, 255, 0},
                                                         {0, 0, 255},
                                                         {255, 255, 0},
                                                         {0, 255, 255},
                                                         {255, 0, 255},
                                                         {255, 255, 255},
                                                         {255, 128, 0}}};

// The palette entry equal to a colour, or none for a colour chosen outside the palette.
std::optional<int> paletteIndexOf(Rgb colour);

// What a stroke does to every key it crosses.
enum class Stroke { Paint, Erase };

// The colour a cell of the current DIY table holds (all zero when off), or none when the effect
// is not a DIY effect.
std::optional<Rgb> diyCellColour(const model::Image& image, int slot);

// A click on a key: with the default paint colour the toggle above; with any other colour the
// key turns off when it already has that colour and takes the colour otherwise. Returns what the
// click did, so that a drag from it goes on the same way; none (nothing changed) when the effect
// is not a DIY effect or the slot is not a drawn key. A paint colour of black erases.
std::optional<Stroke> clickDiyKey(model::Image& image, int slot, Rgb paint);

// One key crossed by a stroke: painted with `paint` or turned off. True when its cell changed.
bool strokeDiyKey(model::Image& image, int slot, Stroke stroke, Rgb paint);

// Every drawn key of the current DIY table takes the colour (Fill all), or turns off (Clear
// all). True when a cell changed; false with no change when the effect is not a DIY effect.
bool fillDiyTable(model::Image& image, Rgb colour);
bool clearDiyTable(model::Image& image);

}  // namespace tavrik::settings
