#pragma once
// The settings panel's user actions as operations on the configuration image and a small view
// state, and the rules the panel applies when it is drawn. Nothing here talks to the keyboard:
// the changed bytes travel with the next write-all.

#include <cstdint>
#include <optional>

#include "model/image_layout.h"
#include "model/slot_table.h"
#include "settings/sliders.h"

namespace tavrik::settings {

// What the panel shows besides the image. Everything starts closed, expanded and off.
struct PanelView {
    bool effectListOpen = false;
    bool responseListOpen = false;
    bool diyView = false;  // key view shows DIY colours instead of key assignments
    bool lightingCollapsed = false;
    bool gameCollapsed = false;
    bool responseCollapsed = false;
    bool reportCollapsed = false;
};

// Drop-down geometry in window coordinates (edges inclusive, rows 20 pixels high).
inline constexpr int kListRowHeight = 20;
inline constexpr int kEffectListLeft = 28;
inline constexpr int kEffectListRight = 248;
inline constexpr int kEffectListTop = 173;
inline constexpr int kResponseListLeft = 27;
inline constexpr int kResponseListRight = 247;

// The row under a window point in the open effect list (0..17), or none.
std::optional<int> effectListRowAt(model::Point p);
// The row under a window point in the response list whose top edge is at listTop (0..9), or none.
std::optional<int> responseListRowAt(model::Point p, int listTop);

// Opens the effect list; the speed and brightness sliders are hidden while it is open.
void openEffectList(PanelView& view);
// Chooses effect row 0..17: stores its code, sets the DIY view on for DIY effects and off
// otherwise, closes the list and adjusts the colour choice (Static turns 8 into 1, Wave sets 8).
// Another row only closes the list. True when an effect was chosen.
bool chooseEffect(model::Image& image, PanelView& view, int row);
// A click while the effect list is open: chooses the row under the point, or only closes the list.
bool clickEffectList(model::Image& image, PanelView& view, model::Point p);

// Direction button 0..3 of the current effect: stores the button's direction. False (nothing
// stored) when the current effect does not show that button.
bool pressDirectionButton(model::Image& image, int button);

void setGameMode(model::Image& image, bool on);
void setWinLock(model::Image& image, bool on);  // on = Windows key locked

void openResponseList(PanelView& view);
// Chooses response row 0..9 (stores row + 1) and closes the list; another row only closes it.
bool chooseResponseRow(model::Image& image, PanelView& view, int row);
// A click while the response list (top edge listTop) is open.
bool clickResponseList(model::Image& image, PanelView& view, model::Point p, int listTop);

// Switches between the key-map view (false) and the DIY view (true). Only offered for effects
// 51 and above: false (view unchanged) otherwise.
bool setDiyView(const model::Image& image, PanelView& view, bool diy);

// The DIY table of the current effect (0..4), or none when the effect is not a DIY effect.
std::optional<std::size_t> currentDiyTable(const model::Image& image);
// Offset in the image of a slot's cell in a DIY table (with the slot's DIY offset).
std::size_t diyCellOffset(std::size_t table, int slot);
// A click on a key in the DIY view toggles the key's cell in the current DIY table: a non-zero
// blue byte clears the cell to 0,0,0,0, otherwise it becomes 0,255,0,0. False (nothing changed)
// when the current effect is not a DIY effect.
bool toggleDiyCell(model::Image& image, int slot);

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};
struct DiyKeyColour {
    Rgb fill;   // blue from cell byte 1, green byte 2, red byte 3
    Rgb label;  // each component XOR 255; black or white where that is as bright as the fill
};
// How the DIY view draws a slot for the current effect: none when the effect is not a DIY
// effect or the cell's three colour bytes are all zero (the key is not filled, no label).
std::optional<DiyKeyColour> diyKeyColour(const model::Image& image, int slot);

// Colour choice rule applied whenever the panel is drawn: for effects 50 and below a value
// above 8 becomes 8 and 0 becomes 1; DIY effects leave it alone.
void clampColourChoice(model::Image& image);

// Whether a slider stores its position into its byte when the panel is drawn: speed when the
// lighting section is expanded and the effect shows a speed; brightness when the lighting
// section is expanded and the effect list is closed; report rate when its section is expanded.
bool sliderStoresAtPaint(const model::Image& image, const PanelView& view, SliderId id);
// Whether a slider is visible: as above, and speed and brightness are hidden while either
// drop-down is open.
bool sliderShown(const model::Image& image, const PanelView& view, SliderId id);

// Everything the panel does to the image when it is drawn: the colour-choice clamp, then every
// storing slider writes its position into its byte, so a byte always equals its visible slider.
void applyPanelPaint(model::Image& image, const PanelView& view, const SliderPositions& positions);

// After a factory reset: all four sections collapsed. The caller positions the sliders with
// sliderPositionsFromImage on the image read back from the keyboard.
void collapseAllSections(PanelView& view);

}  // namespace tavrik::settings
