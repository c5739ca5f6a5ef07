#include "mainwindow/panel_layout.h"

#include "settings/effects.h"
#include "settings/response_time.h"

namespace tavrik::mainwindow {
namespace {

constexpr int kHeaderOnly = kSectionHeaderHeight;
constexpr int kResponseBoxTop = 28;     // the value box, below the response section's top
constexpr int kResponseBoxBottom = 44;  // its last row

bool hasDirection(std::uint8_t effect) {
    for (const auto& b : settings::directionButtons(effect)) {
        if (b) return true;
    }
    return false;
}

// The next block's first row after a block that ends at `last`.
constexpr int after(int last) {
    return last + 1 + kSectionGap;
}

struct BodyRows {
    std::optional<int> directionTop;
    std::optional<int> viewTop;
    int swatchTop = 0;
    int sliderTop = 0;
    bool speed = false;
    int diyTop = 0;
    bool diy = false;
    int bottom = 0;  // the body's last row
};

BodyRows bodyRows(const settings::PanelView& panel, std::uint8_t effect) {
    BodyRows b;
    int last = kEffectRowBottom;
    // A row of `height` below the last one; returns its top.
    const auto row = [&last](int height) {
        const int top = last + kBodyRowGap;
        last = top + height - 1;
        return top;
    };
    if (hasDirection(effect)) b.directionTop = row(kDirectionRowHeight);
    if (settings::offersDiyView(effect)) b.viewTop = row(kViewRowHeight);
    b.swatchTop = row(kSwatchRowHeight);
    b.sliderTop = last + kSwatchSliderGap;
    b.speed = settings::showsSpeed(effect);
    last = b.sliderTop + (b.speed ? kSliderGroupWithSpeedHeight : kBrightnessGroupHeight) - 1;
    b.diy = panel.diyView && settings::isDiyEffect(effect);
    b.diyTop = last + kDiyControlsGap;
    if (b.diy) last = b.diyTop + kDiyControlsHeight - 1;
    b.bottom = last;
    return b;
}

}  // namespace

PanelLayout panelLayout(const settings::PanelView& panel, std::uint8_t effect) {
    const BodyRows body = bodyRows(panel, effect);
    PanelLayout l{};
    l.lightingBottom = panel.lightingCollapsed ? kLightingTop + kHeaderOnly - 1 : body.bottom;
    l.lightingHeight = l.lightingBottom - kLightingTop + 1;
    l.macroTop = after(l.lightingBottom);
    l.gameTop = after(l.macroTop + kMacroButtonHeight - 1);
    const int gameHeight = panel.gameCollapsed ? kHeaderOnly : kGameExpandedHeight;
    l.responseTop = after(l.gameTop + gameHeight - 1);
    const int responseHeight = panel.responseCollapsed ? kHeaderOnly : kResponseExpandedHeight;
    l.reportTop = after(l.responseTop + responseHeight - 1);
    const int reportHeight = panel.reportCollapsed ? kHeaderOnly : kReportExpandedHeight;
    l.bottom = l.reportTop + reportHeight - 1;
    // The response list drops below its box where the panel has room for it, else it opens
    // upwards and ends a row above the box; either way the box's own text stays in sight.
    const int listHeight = settings::kListRowHeight * settings::kResponseRowCount;
    const int below = l.responseTop + kResponseBoxBottom + 1;
    l.responseListTop = below + listHeight - 1 <= kPanelInsideBottom
                            ? below
                            : l.responseTop + kResponseBoxTop - 1 - listHeight;  // R - 173
    l.directionTop = body.directionTop;
    l.viewTop = body.viewTop;
    l.swatchTop = body.swatchTop;
    l.sliderTop = body.sliderTop;
    l.speedShown = body.speed;
    l.diyTop = body.diyTop;
    l.diyControls = body.diy;
    return l;
}

}  // namespace tavrik::mainwindow
