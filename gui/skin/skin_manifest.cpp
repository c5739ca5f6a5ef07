#include "skin/skin_manifest.h"

#include <array>

namespace tavrik::skin {
namespace {

using enum SkinPart;

// Sizes follow the hit rectangles and drawing positions of each window (inclusive rectangles:
// right - left + 1 by bottom - top + 1).
constexpr std::array kImages = std::to_array<SkinImageEntry>({
    // Main window: 1000 x 640 holds the close button at x 978..994 and the bottom row to y 635.
    {Main, "main.png", 1000, 640},
    {Main, "SplashScreen.png", 480, 300},
    {Main, "button-help-normal.png", 17, 16},
    {Main, "button-help-over.png", 17, 16},
    {Main, "button-min-normal.png", 17, 16},
    {Main, "button-min-over.png", 17, 16},
    {Main, "button-close-normal.png", 17, 16},
    {Main, "button-close-over.png", 17, 16},
    {Main, "logo.png", 242, 64},
    // Keyboard pictures at (275, 85): the slot rectangles reach x 668 and y 359.
    {Main, "kb_BK.png", 700, 400},
    {Main, "kb_hl.png", 700, 400},
    {Main, "button-cancel-normal.png", 58, 36},
    {Main, "button-cancel-over.png", 58, 36},
    {Main, "text.png", 200, 20},
    {Main, "Config.png", 74, 32},
    {Main, "HelpWindow.png", 162, 80},
    {Main, "itemBK.png", 243, 20},
    // The lighting body: drawn as high as the effect's rows need (at most this).
    {Main, "LEDEffect_open.png", 243, 240},
    {Main, "Light_Item.png", 221, 16},
    {Main, "freq.png", 243, 90},
    {Main, "Direction-T-Disable.png", 36, 16},
    {Main, "Direction-B-Disable.png", 36, 16},
    {Main, "Direction-R-Disable.png", 36, 16},
    {Main, "Direction-L-Disable.png", 36, 16},
    {Main, "Direction-T-Enable.png", 36, 16},
    {Main, "Direction-B-Enable.png", 36, 16},
    {Main, "Direction-R-Enable.png", 36, 16},
    {Main, "Direction-L-Enable.png", 36, 16},
    {Main, "Enable.png", 12, 12},
    {Main, "Disable.png", 12, 12},
    {Main, "MacroManagementBK.png", 243, 55},
    {Main, "MacroButton3.png", 243, 20},  // as wide and high as a section header
    {Main, "gamemode_Close.png", 243, 20},
    {Main, "gamemode_open.png", 243, 55},
    {Main, "responsetime_close.png", 243, 20},
    {Main, "responsetime_open.png", 243, 50},
    {Main, "reportrate_Close.png", 243, 20},
    {Main, "reportrate_Open.png", 243, 60},
    {Main, "125Hz.png", 220, 12},
    {Main, kSliderBar, 220, 14},
    {Main, kSliderChannel, 220, 14},
    {Main, kSliderThumb, kThumbWidth* kThumbFrames, kThumbHeight},
    // Profile window.
    {Config, "Config.png", 262, 600},
    {Config, "button-close-normal.png", 16, 16},
    {Config, "New.png", 66, 22},
    {Config, "Delete.png", 66, 22},
    // Key assignment window.
    {Custom, "Custom_BK.png", 325, 280},
    {Custom, "button-close-normal.png", 16, 16},
    {Custom, "button-close-over.png", 16, 16},
    {Custom, "large_button.png", 82, 27},
    {Custom, "single_combine_option.png", 326, 7},
    {Custom, "cursor.png", 81, 4},
    {Custom, "Disable.png", 12, 12},
    {Custom, "Enable.png", 12, 12},
    {Custom, "disable.png", 12, 12},
    {Custom, "enable.png", 12, 12},
    {Custom, "button-cancel-normal.png", 42, 23},
    {Custom, "button-cancel-over.png", 42, 23},
    {Custom, "button-save-normal.png", 42, 23},
    {Custom, "button-save-over.png", 42, 23},
    {Custom, "Macro_BK.png", 290, 112},
    {Custom, "Advanced.png", 161, 16},
    {Custom, "view.png", 47, 16},
    {Custom, "view02.png", 47, 16},
    // Macro window.
    {MacroManagement, "MacroManagement.png", 410, 440},
    {MacroManagement, "Record-normal.png", 90, 25},
    {MacroManagement, "Record-over.png", 90, 25},
    {MacroManagement, "Record-on.png", 90, 25},  // pressed while recording
    {MacroManagement, "Pane.png", 15, 15},
    {MacroManagement, "PaneMakingTick.png", 15, 15},
    {MacroManagement, "button-new-normal.png", 58, 25},
    {MacroManagement, "button-new-over.png", 58, 25},
});

}  // namespace

std::string_view partFolder(SkinPart part) {
    switch (part) {
        case Main:
            return "";
        case Config:
            return "Config/";
        case Custom:
            return "Custom/";
        case MacroManagement:
            return "MacroManagement/";
    }
    return "";
}

std::span<const SkinImageEntry> skinManifest() {
    return kImages;
}

const SkinImageEntry* findSkinImage(SkinPart part, std::string_view name) {
    for (const auto& entry : kImages) {
        if (entry.part == part && entry.name == name) return &entry;
    }
    return nullptr;
}

std::string doubleSizeName(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    const std::string_view base = dot == std::string_view::npos ? name : name.substr(0, dot);
    const std::string_view ext = dot == std::string_view::npos ? "" : name.substr(dot);
    return std::string(base) + "@2x" + std::string(ext);
}

}  // namespace tavrik::skin
