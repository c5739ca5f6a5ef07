#pragma once
// Sets of keys for the DIY view's editing: the keys a selection holds, the named key groups,
// the keys inside a box or between two keys, and every key a straight pointer path crosses.
// All points and boxes are in the main window's coordinates (the slot rectangles shifted by the
// keyboard picture's origin); only drawn slots ever belong to a set.

#include <bitset>
#include <vector>

#include "model/image_layout.h"
#include "model/slot_table.h"
#include "settings/panel.h"

namespace tavrik::settings {

// A set of slots, by slot number.
using SlotSet = std::bitset<model::kSlotCount>;

// The slots of a set, ascending.
std::vector<int> slotsOf(const SlotSet& set);

// Every drawn slot (select all).
SlotSet allDrawnSlots();

// The named groups of keys, in the order the group control offers them.
enum class KeyGroup { FunctionRow, NumberRow, Letters, Wasd, Arrows, Navigation, Modifiers };
inline constexpr int kKeyGroupCount = 7;

// A group's drawn slots, taken from the slot table by key code: F1..F12; the row of ~ 1..0 - =;
// A..Z; W A S D; the four arrows; Insert, Home, Page Up, Delete, End, Page Down; both Shift,
// Ctrl and Alt keys, Win and Fn.
SlotSet groupSlots(KeyGroup group);

// The box around every drawn key with a margin of kKeyboardFieldMargin: a press there that hits
// no key starts a box selection, and a stroke is followed along its path only inside it.
inline constexpr int kKeyboardFieldMargin = 8;
model::Rect keyboardField();

// The box spanned by two corners given in any order (edges inclusive).
model::Rect boxBetween(model::Point a, model::Point b);

// Drawn slots whose rectangle shares at least one pixel with the box (a rubber band).
SlotSet slotsInBox(const model::Rect& box);

// Drawn slots whose centre lies in the smallest box holding both keys' rectangles: the keys
// "between" an anchor and a Shift-clicked key as they are laid out on the keyboard. Empty when
// either slot is not drawn.
SlotSet slotsBetween(int anchor, int slot);

// Drawn slots whose rectangle the segment from a to b touches, in the order the path enters
// them (a key entered at the same point as another comes in slot order). A segment of length
// zero gives the key under its point, if any.
std::vector<int> slotsOnSegment(model::Point a, model::Point b);

// Every slot of the set takes the colour in the current DIY table (black turns keys off). True
// when a cell changed; false with no change when the effect is not a DIY effect.
bool paintDiySlots(model::Image& image, const SlotSet& slots, Rgb colour);

}  // namespace tavrik::settings
