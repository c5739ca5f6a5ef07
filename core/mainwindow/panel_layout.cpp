#include "mainwindow/panel_layout.h"

namespace tavrik::mainwindow {

PanelLayout panelLayout(const settings::PanelView& panel) {
    PanelLayout l{};
    l.lightingHeight = panel.lightingCollapsed ? kLightingCollapsedHeight : kLightingExpandedHeight;
    l.macroTop = kLightingTop + l.lightingHeight;
    l.gameTop = 165 + l.lightingHeight;
    l.responseTop = 220 + l.lightingHeight;
    l.reportTop = l.responseTop + (panel.responseCollapsed ? 40 : 75);
    l.responseListTop = l.responseTop - 173;
    return l;
}

}  // namespace tavrik::mainwindow
