#include "mainwindow/hit_areas.h"

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
    const int g = l.gameTop;
    const int r = l.responseTop;
    if (code >= kDirection1 && code < kDirection1 + kDirectionCount) {
        const int left = settings::kDirectionButtonX[static_cast<std::size_t>(code - kDirection1)];
        return Rect{left, 197, left + 35, 212};
    }
    if (code >= kLightingSpot && code < kLightingSpot + kLightingSpotCount) {
        const int i = code - kLightingSpot;
        return Rect{28 + 25 * i, 223, 48 + 25 * i, 243};
    }
    switch (code) {
        case kHelp:
            return Rect{936, 5, 952, 20};
        case kMinimise:
            return Rect{957, 5, 973, 20};
        case kClose:
            return Rect{978, 5, 994, 20};
        case kEffectBox:
            return Rect{28, 158, 248, 173};
        case kMacros:
            return Rect{19, 120 + l.lightingHeight, 259, 138 + l.lightingHeight};
        case kGameModeOn:
            return Rect{34, g + 33, 44, g + 42};
        case kGameModeOff:
            return Rect{88, g + 33, 115, g + 42};
        case kResponseBox:
            return Rect{28, r + 28, 248, r + 44};
        case kProfile:
            return Rect{19, 605, 89, 633};
        case kReturn:
            return Rect{800, 605, 857, 635};
        case kCancel:
            return Rect{861, 605, 918, 635};
        case kSave:
            return Rect{923, 605, 980, 635};
        case kLightingTitle:
            return Rect{kPanelLeft, kLightingTop, kPanelRight, kLightingTop + 20};
        case kGameTitle:
            return Rect{kPanelLeft, g, kPanelRight, g + 20};
        case kResponseTitle:
            return Rect{kPanelLeft, r, kPanelRight, r + 20};
        case kReportTitle:
            return Rect{kPanelLeft, l.reportTop, kPanelRight, l.reportTop + 20};
        case kPanelTitle:
            return Rect{kPanelLeft, 32, kPanelRight, 102};
        case kWinLockOn:
            return Rect{164, g + 33, 174, g + 42};
        case kWinLockOff:
            return Rect{218, g + 33, 245, g + 42};
        case kKeymapView:
            return Rect{28, 200, 42, 214};
        case kDiyView:
            return Rect{130, 200, 144, 214};
        case kPaintChooser:
            return Rect{28 + 25 * kLightingSpotCount, 223, 48 + 25 * kLightingSpotCount, 243};
        case kFillAll:
            return Rect{28, 300, 134, 320};
        case kClearAll:
            return Rect{142, 300, 248, 320};
        default:
            return std::nullopt;
    }
}

std::optional<int> hitTest(Point p, const settings::PanelView& panel, std::uint8_t effect) {
    using namespace hit;
    const PanelLayout layout = panelLayout(panel);
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
    if (!kHelpBoxRowsRect.contains(p)) return std::nullopt;
    return (p.y - kHelpBoxRowsRect.top) / kHelpRowHeight;
}

std::optional<int> keySlotAt(Point p, bool diyView) {
    auto s = model::hitTestSlot(p);
    if (s && !diyView && (*s == kWinKeySlot || *s == model::kFnSlot)) return std::nullopt;
    return s;
}

}  // namespace tavrik::mainwindow
