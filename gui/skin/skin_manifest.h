#pragma once
// Every image file that a window of the tool loads from its skin folder, with the size the
// window's coordinates need. The skin generator draws exactly these files; a test checks the
// generated skin against this list, and windows can check their own loads against it.

#include <span>
#include <string>
#include <string_view>

namespace tavrik::skin {

// The sub-folder of a window's skin folder (below png/english/ or png/chinese/).
enum class SkinPart { Main, Config, Custom, MacroManagement };

// "" for the main window and the splash screen, else "Config/", "Custom/", "MacroManagement/".
std::string_view partFolder(SkinPart part);

struct SkinImageEntry {
    SkinPart part;
    std::string_view name;  // file name, exact case
    int width;
    int height;
};

// All images of one language folder (both languages hold the same names and sizes).
std::span<const SkinImageEntry> skinManifest();

// The entry for a file of a part, or nullptr when no window uses that file.
const SkinImageEntry* findSkinImage(SkinPart part, std::string_view name);

// Slider artwork: the channel strip, the bar that sizes the slider window, and the thumb strip
// of three frames (normal, hover, pressed), each frame kThumbWidth x kThumbHeight, side by side.
inline constexpr std::string_view kSliderChannel = "slider-channel.png";
inline constexpr std::string_view kSliderBar = "slider-bar.png";
inline constexpr std::string_view kSliderThumb = "slider-thumb.png";
inline constexpr int kThumbWidth = 15;
inline constexpr int kThumbHeight = 14;
inline constexpr int kThumbFrames = 3;

// The double-size variant of a skin image for scaled screens: "name.png" -> "name@2x.png".
// Every image of the manifest has one, drawn at twice the manifest size.
std::string doubleSizeName(std::string_view name);

// The application and tray icon, beside the language folders (png/app-icon.png), and its
// double-size twin (png/app-icon@2x.png, kAppIconSize * 2 pixels square).
inline constexpr std::string_view kAppIcon = "app-icon.png";
inline constexpr int kAppIconSize = 128;

}  // namespace tavrik::skin
