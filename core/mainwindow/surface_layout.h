#pragma once
// Where everything sits on the main window's skinned surface, in client pixels: the pictures the
// window draws, the texts it writes and the rectangles its hit areas test. Rectangles have
// inclusive edges. The settings panel's sections move with the collapse flags: their contents are
// given relative to their section's top (see panel_layout.h) and placed with `below`.

#include <array>
#include <span>

#include "common/language.h"
#include "mainwindow/desktop_texts.h"
#include "mainwindow/panel_layout.h"
#include "mainwindow/texts.h"
#include "model/slot_table.h"

namespace tavrik::mainwindow::surface {

using model::Point;
using model::Rect;

// A text written with its top-left corner at the box's top-left, at a character-cell height in
// pixels; it has to end within the box.
struct TextSpot {
    Rect box;
    int height;
};

constexpr Rect below(Rect r, int top) {
    return Rect{r.left, r.top + top, r.right, r.bottom + top};
}
constexpr Point below(Point p, int top) {
    return Point{p.x, p.y + top};
}
constexpr TextSpot below(TextSpot t, int top) {
    return TextSpot{below(t.box, top), t.height};
}
constexpr Point topLeft(Rect r) {
    return Point{r.left, r.top};
}
constexpr Rect shifted(Rect r, int dx) {
    return Rect{r.left + dx, r.top, r.right + dx, r.bottom};
}

// Title strip.
inline constexpr Rect kHelpButton{936, 5, 952, 20};
inline constexpr Rect kMinimiseButton{957, 5, 973, 20};
inline constexpr Rect kCloseButton{978, 5, 994, 20};
inline constexpr Point kLogo{19, 35};
// The caption that tells the keyboard picture shows an imitation of the lighting.
inline constexpr Point kPreviewCaption{289, 190};
inline constexpr Rect kPanelTitle{kPanelLeft, 32, kPanelRight, 102};

// Bottom row. A button's picture is 58 x 36; its hit area is a little smaller.
struct BottomButton {
    Point picture;
    Rect hit;
    Rect caption;  // the caption is centred in it, shrunk to fit its width
};
inline constexpr int kBottomCaptionHeight = 16;
inline constexpr BottomButton kReturnButton{{800, 600}, {800, 605, 857, 635}, {803, 600, 854, 635}};
inline constexpr BottomButton kCancelButton{{862, 600}, {861, 605, 918, 635}, {865, 600, 916, 635}};
inline constexpr BottomButton kSaveButton{{924, 600}, {923, 605, 980, 635}, {927, 600, 978, 635}};
inline constexpr Point kProfilePicture{17, 603};
inline constexpr Rect kProfileButton{19, 605, 89, 633};
inline constexpr TextSpot kProfileCaption{{45, 610, 89, 628}, 16};
inline constexpr Point kFooterStrip{96, 610};

// Help box: a picture with three rows of text, and the start-with-session row under it.
inline constexpr Point kHelpBox{830, 22};
inline constexpr Rect kHelpBoxRows{830, 22, 996, 121};
inline constexpr int kHelpRowHeight = 25;
inline constexpr TextSpot kHelpRowText{{850, 25, 990, 44}, 15};  // row 0; rows 1, 2 below it
// The start-with-session row: a check box, and its label after it shrunk to fit the box's width.
inline constexpr Rect kAutostartCheckBox{850, 101, 861, 112};
inline constexpr Rect kAutostartCaption{867, 100, 988, 114};
inline constexpr int kAutostartCaptionHeight = 15;

// Section headers: a bar of kHeaderHeight with the fold marker at its right end.
inline constexpr Point kLightingHeader{kPanelLeft, kLightingTop};
inline constexpr int kFoldMarkerWidth = 28;  // the fold marker at a section header's right end
inline constexpr int kHeaderWidth = 243;
inline constexpr int kHeaderHeight = kSectionHeaderHeight;
// A section title: from a little inside the header's left edge to its fold marker, lowered so
// that its letters sit in the middle of the bar above the header's red line.
inline constexpr int kTitleInset = 6;
inline constexpr int kTitleDrop = 2;
inline constexpr TextSpot kSectionTitle{
    {kPanelLeft + kTitleInset, kTitleDrop, kPanelLeft + kHeaderWidth - kFoldMarkerWidth - 1,
     kTitleDrop + 14},
    15};
// Where the lighting header's own fold marker is drawn over, by that of the other headers.
inline constexpr Rect kFoldMarker{kHeaderWidth - kFoldMarkerWidth, 0, kHeaderWidth - 1,
                                  kHeaderHeight - 1};

// Lighting section: the effect row is fixed (its list opens below it at settings::
// kEffectListTop); the other rows are relative to their row's top in the layout.
inline constexpr Point kLightingBody{kPanelLeft, kLightingBodyTop};
inline constexpr TextSpot kEffectLabel{{28, 137, 248, 151}, 15};
inline constexpr Rect kEffectBox{28, 158, 248, kEffectRowBottom};
inline constexpr TextSpot kEffectName{{32, 158, 232, 171}, 14};  // ends before the drop arrow
// Direction row: the label, the buttons kDirectionButtonDrop below it.
inline constexpr TextSpot kDirectionLabel{{29, 0, 248, 14}, 15};
inline constexpr int kDirectionButtonWidth = 35;
inline constexpr int kDirectionButtonHeight = 15;
// View radios row (effects above 50).
inline constexpr Rect kKeymapRadio{28, 3, 42, 17};
inline constexpr Rect kDiyRadio{130, 3, 144, 17};
inline constexpr Point kKeymapRadioPicture{28, 2};
inline constexpr Point kDiyRadioPicture{130, 2};
inline constexpr int kRadioSize = 12;  // Enable.png and Disable.png
inline constexpr TextSpot kKeymapLabel{{45, 0, 127, 14}, 15};
inline constexpr TextSpot kDiyLabel{{147, 0, 248, 14}, 15};
// Swatch row: the first swatch; the others follow kSwatchStep apart, the chooser after them.
inline constexpr Rect kSwatch{28, 0, 48, 20};
inline constexpr int kSwatchStep = 25;
// Slider group, relative to its top S: brightness, then the speed slider for effects with one.
inline constexpr Point kBrightnessSlider{28, 15};
inline constexpr Point kSpeedSlider{28, kSpeedGroupOffset + 15};
inline constexpr int kSliderWidth = 220;  // slider-bar.png
inline constexpr int kSliderHeight = 14;
inline constexpr int kSliderCaptionHeight = 13;
inline constexpr TextSpot kBrightnessLabel{{28, 2, 248, 14}, kSliderCaptionHeight};
inline constexpr TextSpot kDarkLabel{{28, 29, 148, 41}, kSliderCaptionHeight};
inline constexpr Rect kBrightCaption{150, 29, 248, 41};  // right-aligned
inline constexpr TextSpot kSpeedLabel{below(kBrightnessLabel, kSpeedGroupOffset)};
inline constexpr TextSpot kSlowLabel{below(kDarkLabel, kSpeedGroupOffset)};
inline constexpr Rect kFastCaption{below(kBrightCaption, kSpeedGroupOffset)};
// The DIY view's controls, relative to their top: Fill all and Clear all, then the key group
// chips in two rows (four, then three), wide enough for either language's names.
inline constexpr Rect kFillAllButton{28, 0, 134, 20};
inline constexpr Rect kClearAllButton{142, 0, 248, 20};
// A DIY button's caption box: its outline is drawn half a pixel down and right.
constexpr Rect diyCaptionBox(Rect button) {
    return Rect{button.left, button.top, button.right + 1, button.bottom + 1};
}
inline constexpr int kDiyButtonCaptionHeight = 14;
inline constexpr Rect kKeyGroupChip{28, 26, 79, 41};  // the first chip
inline constexpr int kKeyGroupStep = 56;              // to the next chip in a row
inline constexpr int kKeyGroupRowStep = 20;           // to the next row of chips
inline constexpr int kKeyGroupsPerRow = 4;
inline constexpr int kKeyGroupCaptionHeight = 12;
// The chip of key group 0..6.
constexpr Rect keyGroupChip(int group) {
    const int row = group / kKeyGroupsPerRow;
    const int column = group % kKeyGroupsPerRow;
    return Rect{kKeyGroupChip.left + column * kKeyGroupStep,
                kKeyGroupChip.top + row * kKeyGroupRowStep,
                kKeyGroupChip.right + column * kKeyGroupStep,
                kKeyGroupChip.bottom + row * kKeyGroupRowStep};
}

// Macro button, relative to its top: a bar as wide as the section headers.
inline constexpr Rect kMacroButton{kPanelLeft, 0, kPanelLeft + kHeaderWidth - 1,
                                   kMacroButtonHeight - 1};
inline constexpr TextSpot kMacroCaption{
    {kPanelLeft + kTitleInset, kTitleDrop, 255, kTitleDrop + 14}, 15};

// Game section, relative to its top.
inline constexpr Point kGameBody{kPanelLeft, 0};
inline constexpr TextSpot kGameModeTitle{{kPanelLeft + kTitleInset, kTitleDrop, 147, 16}, 15};
inline constexpr TextSpot kWinLockTitle{{149, kTitleDrop, 233, 16}, 15};
inline constexpr Rect kGameModeOn{34, 33, 44, 42};
inline constexpr Rect kGameModeOff{88, 33, 115, 42};
inline constexpr Rect kWinLockOn{164, 33, 174, 42};
inline constexpr Rect kWinLockOff{212, 33, 239, 42};
inline constexpr int kRadioLabelGap = 17;  // from a radio's left edge to its label
inline constexpr int kRadioLabelRise = 2;  // a label sits this much above its radio
inline constexpr int kRadioLabelHeight = 15;
// The room of a radio's label: to the next radio, or to a little inside the panel's frame.
inline constexpr TextSpot kGameModeOnLabel{{51, 31, 87, 45}, kRadioLabelHeight};
inline constexpr TextSpot kGameModeOffLabel{{105, 31, 147, 45}, kRadioLabelHeight};
inline constexpr TextSpot kWinLockOnLabel{{181, 31, 211, 45}, kRadioLabelHeight};
inline constexpr TextSpot kWinLockOffLabel{{229, 31, 258, 45}, kRadioLabelHeight};

// Response time section, relative to its top.
inline constexpr Rect kResponseBox{28, 28, 248, 44};
inline constexpr Point kResponseField{28, 28};
inline constexpr TextSpot kResponseValue{{100, 28, 232, 43}, 15};

// Report rate section, relative to its top: the slider, a tick under each of its four stops
// and the rate centred under its tick.
inline constexpr Point kReportSlider{28, 23};
inline constexpr int kReportTickTop = 38;
inline constexpr int kReportTickBottom = 41;
inline constexpr int kReportLabelTop = 42;
inline constexpr int kReportLabelHeight = 11;
inline constexpr int kReportStops = 4;

// Drop-down lists: rows of kListRowHeight (settings/panel.h), 220 pixels wide, their text at
// the height of the box they open from. An open list lies on a backing as wide as the
// sections, so that nothing beneath shows beside it.
inline constexpr int kListWidth = 220;
constexpr Rect listBacking(int top, int rows, int rowHeight) {
    return Rect{kPanelLeft, top, kPanelLeft + kHeaderWidth - 1, top + rows * rowHeight - 1};
}
inline constexpr int kListTextInset = kEffectName.box.left - settings::kEffectListLeft;
inline constexpr int kEffectListTextHeight = kEffectName.height;
inline constexpr int kResponseListTextX = kResponseValue.box.left;
inline constexpr int kResponseListTextHeight = kResponseValue.height;

// A labelled spot of the surface with the text written there, for checking that every text
// fits where it is written. The panel's own texts depend on its state: see panel_scene.h.
struct Label {
    const BiText* text;
    TextSpot spot;
    const char* prefix = "";  // written before the text (UTF-8)
};
inline constexpr std::array kLabels{
    Label{&text::kProfile, kProfileCaption},
    Label{&text::kUpdateFirmware, below(kHelpRowText, kHelpRowHeight)},
    Label{&text::kReadMe, kHelpRowText},
};

// Captions centred in (or aligned within) a box, shrunk to fit its width down to a legible
// minimum: they have to fit at that minimum.
struct Caption {
    const BiText* text;
    Rect box;
    int height;
    const char* prefix = "";  // written before the text (UTF-8)
};
inline constexpr std::array kCaptions{
    Caption{&text::kReturn, kReturnButton.caption, kBottomCaptionHeight},
    Caption{&text::kCancel, kCancelButton.caption, kBottomCaptionHeight},
    Caption{&text::kSave, kSaveButton.caption, kBottomCaptionHeight},
    Caption{&text::kStartWithSession, kAutostartCaption, kAutostartCaptionHeight},
};

}  // namespace tavrik::mainwindow::surface
