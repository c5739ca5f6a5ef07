#pragma once
// The slot table: the 113 key slots of the configuration in the keyboard's own order (slot 0 is
// Esc), with each key's code, matrix position, enable bit, factory key code, DIY-view label and
// place in the keyboard picture. 87 slots are drawn and hit-testable; 26 exist only in data.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/image_layout.h"

namespace tavrik::model {

inline constexpr int kSlotCount = 113;
inline constexpr int kMatrixCells = 128;        // factory key code table, indexed by key index
inline constexpr int kFnSlot = 100;             // the function key: never flagged, never assigned
inline constexpr int kFirstMacroKeySlot = 108;  // "S1".."S5" play macros 0..4
inline constexpr int kMacroKeySlotCount = 5;

struct Point {
    int x = 0;
    int y = 0;
};

// Inclusive edges on all four sides.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool contains(Point p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
    bool empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// The keyboard picture's origin in the main window's client area.
inline constexpr Point kKeyboardOrigin{275, 85};

struct KeySlot {
    std::uint8_t code;        // key-table code: the key's own code
    std::uint16_t keyIndex;   // 0..125, column by column: row = index % 6 (0 = bottom row)
    std::uint16_t enableBit;  // 0..143 in the key enable bitmap
    KeyCode factoryCode;      // default key code of the key
    std::string_view label;   // text drawn on the key in the DIY view (UTF-8)
    Point labelAt;            // relative to the keyboard picture; 0,0 when not drawn
    Rect rect;                // relative to the keyboard picture; all 0 when not drawn

    bool drawn() const { return !rect.empty(); }
};

const std::array<KeySlot, kSlotCount>& slotTable();
const KeySlot& slot(int s);

// Byte offset of the slot's cell within the key code area: row * 84 + column * 4.
std::size_t cellOffset(int s);
// Byte offset of the slot's cell within a DIY colour table (4 * key index, 296 read as 432).
std::size_t diyOffset(int s);
// Byte (within the 18-byte bitmap) and mask of the slot's enable bit.
std::size_t enableByte(int s);
std::uint8_t enableMask(int s);

// Factory key code by key index 0..127.
const std::array<KeyCode, kMatrixCells>& factoryKeyCodes();

// The first drawn slot, in slot order, whose rectangle shifted by the picture origin contains
// the window point; none when no drawn slot does.
std::optional<int> hitTestSlot(Point windowPoint);
// A slot's rectangle in window coordinates.
Rect windowRect(int s);

}  // namespace tavrik::model
