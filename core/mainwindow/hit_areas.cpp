#include "mainwindow/hit_areas.h"

#include "mainwindow/surface_layout.h"
#include "settings/diy_selection.h"
#include "settings/effects.h"

namespace tavrik::mainwindow {
namespace {

struct Tester {
    Point p;
    const PanelLayout& layout;
    std::optional<int> found;

    // Tests one code unless an earlier one matched.
    void test(int code) {
        if (found) return;
        auto r = hitArea(code, layout);
        if (r && r->contains(p)) found = code;
    }
    void testRange(int first, int count) {
        for (int c = first; c < first + count; ++c) test(c);
    }
};

}  // namespace

std::optional<Rect> hitArea(int code, const PanelLayout& l) {
    using namespace hit;
    namespace sf = surface;
    const int g = l.gameTop;
    const int r = l.responseTop;
    // Rows the effect does not have are placed where they would be: right below the effect box.
    const int firstRow = kEffectRowBottom + kBodyRowGap;
    if (code >= kDirection1 && code < kDirection1 + kDirectionCount) {
        const int left = settings::kDirectionButtonX[static_cast<std::size_t>(code - kDirection1)];
        const int top = l.directionTop.value_or(firstRow) + kDirectionButtonDrop;
        return Rect{left, top, left + sf::kDirectionButtonWidth, top + sf::kDirectionButtonHeight};
    }
    if (code >= kLightingSpot && code < kLightingSpot + kLightingSpotCount) {
        return sf::below(sf::shifted(sf::kSwatch, sf::kSwatchStep * (code - kLightingSpot)),
                         l.swatchTop);
    }
    if (code >= kKeyGroup && code < kKeyGroup + settings::kKeyGroupCount) {
        return sf::below(sf::keyGroupChip(code - kKeyGroup), l.diyTop);
    }
    const int view = l.viewTop.value_or(firstRow);
    const auto header = [](int top) {
        return Rect{kPanelLeft, top, kPanelRight, top + sf::kHeaderHeight};
    };
    switch (code) {
        case kHelp:
            return sf::kHelpButton;
        case kMinimise:
            return sf::kMinimiseButton;
        case kClose:
            return sf::kCloseButton;
        case kEffectBox:
            return sf::kEffectBox;
        case kMacros:
            return sf::below(sf::kMacroButton, l.macroTop);
        case kGameModeOn:
            return sf::below(sf::kGameModeOn, g);
        case kGameModeOff:
            return sf::below(sf::kGameModeOff, g);
        case kResponseBox:
            return sf::below(sf::kResponseBox, r);
        case kProfile:
            return sf::kProfileButton;
        case kReturn:
            return sf::kReturnButton.hit;
        case kCancel:
            return sf::kCancelButton.hit;
        case kSave:
            return sf::kSaveButton.hit;
        case kLightingTitle:
            return header(kLightingTop);
        case kGameTitle:
            return header(g);
        case kResponseTitle:
            return header(r);
        case kReportTitle:
            return header(l.reportTop);
        case kPanelTitle:
            return sf::kPanelTitle;
        case kWinLockOn:
            return sf::below(sf::kWinLockOn, g);
        case kWinLockOff:
            return sf::below(sf::kWinLockOff, g);
        case kKeymapView:
            return sf::below(sf::kKeymapRadio, view);
        case kDiyView:
            return sf::below(sf::kDiyRadio, view);
        case kPaintChooser:
            return sf::below(sf::shifted(sf::kSwatch, sf::kSwatchStep * kLightingSpotCount),
                             l.swatchTop);
        case kFillAll:
            return sf::below(sf::kFillAllButton, l.diyTop);
        case kClearAll:
            return sf::below(sf::kClearAllButton, l.diyTop);
        default:
            return std::nullopt;
    }
}

std::optional<int> hitTest(Point p, const settings::PanelView& panel, std::uint8_t effect) {
    using namespace hit;
    const PanelLayout layout = panelLayout(panel, effect);
    Tester t{p, layout, std::nullopt};
    t.testRange(kHelp, 3);
    t.test(kLightingTitle);
    if (!panel.lightingCollapsed) {
        if (settings::offersDiyView(effect)) {
            t.test(kKeymapView);
            t.test(kDiyView);
        }
        t.test(kEffectBox);
        // Only the buttons the effect shows take clicks; a hidden button must not change the
        // direction behind the user's back.
        const settings::DirectionButtons buttons = settings::directionButtons(effect);
        for (int i = 0; i < kDirectionCount; ++i) {
            if (buttons[static_cast<std::size_t>(i)]) t.test(kDirection1 + i);
        }
        t.test(kMacros);
        t.testRange(kLightingSpot, kLightingSpotCount);
        if (panel.diyView && settings::isDiyEffect(effect)) {
            t.test(kPaintChooser);
            t.test(kFillAll);
            t.test(kClearAll);
            t.testRange(kKeyGroup, settings::kKeyGroupCount);
        }
    } else {
        t.test(kMacros);
    }
    if (!panel.gameCollapsed) {
        t.test(kGameModeOn);
        t.test(kGameModeOff);
        t.test(kGameTitle);
        t.test(kWinLockOn);
        t.test(kWinLockOff);
    } else {
        t.test(kGameTitle);
    }
    if (!panel.responseCollapsed) t.test(kResponseBox);
    t.test(kResponseTitle);
    t.test(kReportTitle);
    t.testRange(kProfile, 4);
    t.test(kPanelTitle);
    return t.found;
}

std::optional<int> helpRowAt(Point p) {
    if (!surface::kHelpBoxRows.contains(p)) return std::nullopt;
    return (p.y - surface::kHelpBoxRows.top) / surface::kHelpRowHeight;
}

std::optional<int> keySlotAt(Point p, bool diyView) {
    auto s = model::hitTestSlot(p);
    if (s && !diyView && (*s == kWinKeySlot || *s == model::kFnSlot)) return std::nullopt;
    return s;
}

}  // namespace tavrik::mainwindow
