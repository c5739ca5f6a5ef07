#include "mainwindow/panel_layout.h"

namespace tavrik::mainwindow {

PanelLayout panelLayout(const SectionCollapse& collapse) {
    PanelLayout l{};
    l.lightingHeight = collapse.lighting ? kLightingCollapsedHeight : kLightingExpandedHeight;
    l.macroTop = kLightingTop + l.lightingHeight;
    l.gameTop = 165 + l.lightingHeight;
    l.responseTop = 220 + l.lightingHeight;
    l.reportTop = l.responseTop + (collapse.response ? 40 : 75);
    l.responseListTop = l.responseTop - 173;
    return l;
}

}  // namespace tavrik::mainwindow
