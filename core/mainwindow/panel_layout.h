#pragma once
// Vertical placement of the main window's settings panel. The panel has four collapsible
// sections (lighting, game, response time, report rate); everything below a section moves with
// its height, so positions are recomputed from the collapse flags before every paint and every
// hit test. All values are client pixels of the main window.

#include "settings/panel.h"

namespace tavrik::mainwindow {

inline constexpr int kPanelLeft = 19;
inline constexpr int kPanelRight = 261;  // sections are 242 pixels wide for hit testing
inline constexpr int kLightingTop = 110;
inline constexpr int kLightingCollapsedHeight = 30;
inline constexpr int kLightingExpandedHeight = 225;

struct PanelLayout {
    int lightingHeight;   // L: 30 collapsed, 225 expanded
    int macroTop;         // 110 + L
    int gameTop;          // G = 165 + L
    int responseTop;      // R = 220 + L
    int reportTop;        // P = R + 40 (response collapsed) or R + 75
    int responseListTop;  // R - 173: the list opens upwards and ends at the value box
};

PanelLayout panelLayout(const settings::PanelView& panel);

}  // namespace tavrik::mainwindow
