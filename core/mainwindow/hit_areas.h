#pragma once
// The main window's hit areas: every clickable spot of the skinned surface is a rectangle
// (inclusive on all four edges) with a hit code. Some rectangles follow the settings panel's
// section layout; which ones are tested depends on the collapse flags and the current effect.

#include <cstdint>
#include <optional>

#include "mainwindow/panel_layout.h"
#include "model/slot_table.h"

namespace tavrik::mainwindow {

using model::Point;
using model::Rect;

// Hit codes. Codes 8 and 13 are unused.
namespace hit {
inline constexpr int kHelp = 0;
inline constexpr int kMinimise = 1;
inline constexpr int kClose = 2;
inline constexpr int kEffectBox = 3;
inline constexpr int kDirection1 = 4;  // 4..7: direction buttons from the left (x 29, 79, 129, 179)
inline constexpr int kDirectionCount = 4;
inline constexpr int kMacros = 9;
inline constexpr int kGameModeOn = 10;
inline constexpr int kGameModeOff = 11;
inline constexpr int kResponseBox = 12;
inline constexpr int kProfile = 14;
inline constexpr int kReturn = 15;
inline constexpr int kCancel = 16;
inline constexpr int kSave = 17;
inline constexpr int kLightingTitle = 18;
inline constexpr int kGameTitle = 19;
inline constexpr int kResponseTitle = 20;
inline constexpr int kReportTitle = 21;
inline constexpr int kLightingSpot = 22;  // 22..29: colour swatches (the DIY view's palette)
inline constexpr int kLightingSpotCount = 8;
inline constexpr int kPanelTitle = 30;  // hover-only; keeps the title strip from dragging
inline constexpr int kWinLockOn = 31;
inline constexpr int kWinLockOff = 32;
inline constexpr int kKeymapView = 33;
inline constexpr int kDiyView = 34;
// The DIY view's own controls (lighting section expanded, DIY view active).
inline constexpr int kPaintChooser = 35;  // any paint colour, after the eight swatches
inline constexpr int kFillAll = 36;
inline constexpr int kClearAll = 37;
inline constexpr int kKeyGroup = 38;  // 38..44: the key groups (settings::KeyGroup), from the left
inline constexpr int kCodeCount = 45;
}  // namespace hit

// The rectangle of a hit code under a layout; none for the unused codes and codes outside
// 0..44. Direction buttons, the view radios and the DIY controls are given whether or not they
// are offered.
std::optional<Rect> hitArea(int code, const PanelLayout& layout);

// The first hit area containing p, in the window's test order: title buttons, lighting title,
// the lighting section's areas when it is expanded (view radios only for effects above 50,
// direction buttons only those the effect shows, the DIY controls only in the active DIY view),
// macro button, game section, response section,
// report title, bottom buttons, panel title strip. None when no area contains p. effect is the
// image's lighting effect byte.
std::optional<int> hitTest(Point p, const settings::PanelView& panel, std::uint8_t effect);

// Help box row 0..3 under p (x 830..996, y 22..121, rows of 25; row 3 lies under the picture),
// none elsewhere.
std::optional<int> helpRowAt(Point p);

// The key slot under p for a click or hover. In the key-map view the Win key (slot 96) and the
// function key (slot 100) cannot be chosen; in the DIY view every drawn key can.
std::optional<int> keySlotAt(Point p, bool diyView);
inline constexpr int kWinKeySlot = 96;

}  // namespace tavrik::mainwindow
