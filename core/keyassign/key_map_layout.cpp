#include "keyassign/key_map_layout.h"

namespace tavrik::keyassign {
namespace {

constexpr std::string_view kTabPicture = "large_button.png";

constexpr std::array<ButtonInfo, button::kCount> kButtons{{
    {{303, 2, 318, 17}, "button-close-normal.png", "button-close-over.png", {}},
    {{0, 31, 81, 57}, kTabPicture, kTabPicture, {"Single/Combine", "单键/组合键"}},
    {{81, 31, 162, 57}, kTabPicture, kTabPicture, {"Macro", "宏"}},
    {{162, 31, 243, 57}, kTabPicture, kTabPicture, {"Basic", "基本功能"}},
    {{243, 31, 324, 57}, kTabPicture, kTabPicture, {"Advance", "高级功能"}},
    {{0, 30, 325, 36}, "single_combine_option.png", "single_combine_option.png", {}},
    {{19, 251, 29, 260}, "Disable.png", "Enable.png", {"Disable", "禁用按钮"}},
    {{156, 246, 197, 268},
     "button-cancel-normal.png",
     "button-cancel-over.png",
     {"Default", "初始值"}},
    {{210, 246, 251, 268},
     "button-cancel-normal.png",
     "button-cancel-over.png",
     {"Cancel", "取消"}},
    {{264, 246, 305, 268}, "button-save-normal.png", "button-save-over.png", {"Save", "保存"}},
}};

// Row 0 of the "Advance" tab, by RegionPart.
constexpr std::array<Rect, 4> kRowZero{{
    {15, 72, 25, 81},
    {30, 69, 72, 84},
    {83, 68, 243, 83},
    {256, 68, 302, 83},
}};

constexpr Rect grown(Rect r, int by) {
    return {r.left - by, r.top - by, r.right + by, r.bottom + by};
}

}  // namespace

std::span<const ButtonInfo, button::kCount> keyMapButtons() {
    return kButtons;
}

std::optional<int> hitTestButton(Point p) {
    if (grown(kButtons[button::kDisable].rect, kDisableHitMargin).contains(p)) {
        return button::kDisable;
    }
    for (int b = 0; b < button::kCount; ++b) {
        if (kButtons[static_cast<std::size_t>(b)].rect.contains(p)) return b;
    }
    return std::nullopt;
}

Rect regionRect(int row, RegionPart part) {
    Rect r = kRowZero[static_cast<std::size_t>(part)];
    r.top += kRegionRowHeight * row;
    r.bottom += kRegionRowHeight * row;
    return r;
}

std::optional<Region> hitTestRegion(Point p) {
    for (int row = 0; row < 4; ++row) {
        for (int part = 0; part < 4; ++part) {
            const auto rp = static_cast<RegionPart>(part);
            if (regionRect(row, rp).contains(p)) return Region{row, rp};
        }
    }
    return std::nullopt;
}

}  // namespace tavrik::keyassign
