#pragma once
// Vertical placement of the main window's settings panel. The panel stacks five blocks: the
// lighting section, the macro button, and the game, response time and report rate sections.
// One spacing rule places them: every block starts kSectionGap blank rows below the last row of
// the one above it. The lighting section's body holds only the rows the current effect uses
// (the direction row or the view radios only where the effect has them, the speed slider only
// for effects with a speed, the DIY controls only in the active DIY view), so it has no blank
// where a row is left out. Positions are recomputed from the collapse flags and the effect
// before every paint and every hit test. All values are client pixels of the main window; row
// values are the first and last pixel row (inclusive).

#include <cstdint>
#include <optional>

#include "settings/panel.h"

namespace tavrik::mainwindow {

inline constexpr int kPanelLeft = 19;
inline constexpr int kPanelRight = 261;  // sections are 242 pixels wide for hit testing
inline constexpr int kLightingTop = 110;
inline constexpr int kSectionHeaderHeight = 20;
inline constexpr int kLightingBodyTop = kLightingTop + kSectionHeaderHeight;
inline constexpr int kSectionGap = 6;  // blank rows between two blocks of the panel
// The last pixel row inside the panel's frame: every block ends above it.
inline constexpr int kPanelInsideBottom = 590;

// Heights of the blocks that do not depend on the effect.
inline constexpr int kMacroButtonHeight = 20;
inline constexpr int kGameExpandedHeight = 55;
inline constexpr int kResponseExpandedHeight = 50;
inline constexpr int kReportExpandedHeight = 60;

// The lighting body's rows, as offsets from the row's top.
inline constexpr int kBodyRowGap = 6;            // from one row's last pixel row to the next row
inline constexpr int kEffectRowBottom = 173;     // the effect box's last row (the list opens below)
inline constexpr int kDirectionButtonDrop = 19;  // the buttons sit this far below the label
inline constexpr int kDirectionRowHeight = 35;
inline constexpr int kViewRowHeight = 18;
inline constexpr int kSwatchRowHeight = 21;
inline constexpr int kSwatchSliderGap = 2;  // swatches to the slider group, over a rule
// The slider group: brightness, then (for effects with a speed) a rule and the speed slider.
inline constexpr int kBrightnessGroupHeight = 47;  // with its bottom margin when it is the last
inline constexpr int kSpeedGroupOffset = 43;       // the speed group below the brightness group
inline constexpr int kSliderGroupWithSpeedHeight = 90;  // freq.png's height
inline constexpr int kDiyControlsGap = 4;               // below the brightness group's margin
inline constexpr int kDiyControlsHeight = 67;           // the buttons, two rows of chips, margin

struct PanelLayout {
    int lightingHeight;   // header and body; 20 collapsed
    int lightingBottom;   // the lighting section's last row
    int macroTop;         // the macro button
    int gameTop;          // G
    int responseTop;      // R
    int reportTop;        // P
    int bottom;           // the report section's last row
    int responseListTop;  // the response list's first row: below its box, or above it
    // The lighting body's rows (placed as when the section is expanded).
    std::optional<int> directionTop;  // the direction label; the buttons lie below it
    std::optional<int> viewTop;       // the key-map and DIY radios (effects above 50)
    int swatchTop;
    int sliderTop;     // S: the brightness group, then the speed group
    bool speedShown;   // the effect has a speed
    int diyTop;        // the DIY view's buttons and key group chips (when that view is active)
    bool diyControls;  // the DIY view is active
};

// The panel for the collapse flags, the view and the image's lighting effect byte.
PanelLayout panelLayout(const settings::PanelView& panel, std::uint8_t effect);

}  // namespace tavrik::mainwindow
