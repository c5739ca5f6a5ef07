#pragma once
// Geometry and texts of the key assignment dialog, in client pixels: the ten picture buttons,
// the sixteen regions of the "Advance" tab, and the hit tests over both.

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "common/language.h"
#include "model/slot_table.h"

namespace tavrik::keyassign {

using model::Point;
using model::Rect;

namespace button {
inline constexpr int kClose = 0;
inline constexpr int kTabSingleCombine = 1;
inline constexpr int kTabMacro = 2;
inline constexpr int kTabBasic = 3;
inline constexpr int kTabAdvance = 4;
inline constexpr int kTabStrip = 5;
inline constexpr int kDisable = 6;
inline constexpr int kDefault = 7;
inline constexpr int kCancel = 8;
inline constexpr int kSave = 9;
inline constexpr int kCount = 10;
}  // namespace button

struct ButtonInfo {
    Rect rect;                 // inclusive edges
    std::string_view normal;   // picture file; for the "Disable" box: unticked
    std::string_view hovered;  // picture file; for the "Disable" box: ticked
    BiText label;              // empty for buttons without a label
};

std::span<const ButtonInfo, button::kCount> keyMapButtons();

// The "Disable" box takes clicks this many pixels beyond its picture on every side.
inline constexpr int kDisableHitMargin = 5;

// The "Disable" box (with its grown area) first, then buttons 0..9 in order; the first hit wins.
std::optional<int> hitTestButton(Point p);

enum class RegionPart { Indicator = 0, Label = 1, Field = 2, Browse = 3 };
inline constexpr int kRegionRowHeight = 30;

struct Region {
    int row;  // 0..3, the launch row
    RegionPart part;
    int index() const { return row * 4 + static_cast<int>(part); }  // 0..15, row-major
};

// Rectangle of one region of the "Advance" tab.
Rect regionRect(int row, RegionPart part);
std::optional<Region> hitTestRegion(Point p);

// Where the chosen path is drawn in a launch row's field.
inline Point pathTextAt(int row) {
    return {85, regionRect(row, RegionPart::Field).top + 1};
}

// Texts of the dialog.
inline constexpr BiText kDialogTitle{"Key Assignment", "按键设置"};
// Written over the "Macro" tab's list while no macro is defined.
inline constexpr BiText kNoMacrosHint{"No macros yet.\nCreate them in the Macro Manager.",
                                      "还没有宏。\n请在宏管理器中创建。"};
inline constexpr BiText kCurrentKeyText{"Current Key:", "当前按键:"};
inline constexpr BiText kSingleLabel{"Single", "单键"};
inline constexpr BiText kCombineLabel{"Combine", "组合键"};
inline constexpr BiText kSelectSubItemMessage{"Please select Sub item", "请选择子项"};
inline constexpr BiText kPathTooLongMessage{"The path is longer than 255 characters",
                                            "路径超过255个字符"};
inline constexpr int kDeleteAllCommand = 32789;  // "Delete All" in the "Combine" menu
inline constexpr BiText kDeleteAllText{"Delete All", "Delete All"};

}  // namespace tavrik::keyassign
