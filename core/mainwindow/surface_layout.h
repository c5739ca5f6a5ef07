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

// Lighting section (fixed: it is the first section).
inline constexpr Point kLightingHeader{kPanelLeft, kLightingTop};
inline constexpr int kFoldMarkerWidth = 28;  // the fold marker at a section header's right end
inline constexpr int kHeaderWidth = 243;
inline constexpr int kHeaderHeight = 20;
// A section title: from a little inside the header's left edge to its fold marker, lowered so
// that its letters sit in the middle of the bar above the header's red line.
inline constexpr int kTitleInset = 6;
inline constexpr int kTitleDrop = 2;
inline constexpr TextSpot kSectionTitle{
    {kPanelLeft + kTitleInset, kTitleDrop, kPanelLeft + kHeaderWidth - kFoldMarkerWidth - 1,
     kHeaderHeight},
    15};
// Where the lighting header's own fold marker is drawn over, by that of the other headers.
inline constexpr Rect kFoldMarker{kHeaderWidth - kFoldMarkerWidth, 0, kHeaderWidth - 1,
                                  kHeaderHeight - 1};
inline constexpr Point kLightingBody{kPanelLeft, 130};
inline constexpr TextSpot kEffectLabel{{28, 137, 248, 154}, 15};
inline constexpr Rect kEffectBox{28, 158, 248, 173};
inline constexpr TextSpot kEffectName{{32, 158, 232, 173}, 14};  // ends before the drop arrow
inline constexpr TextSpot kDirectionLabel{{29, 177, 248, 195}, 15};
inline constexpr int kDirectionButtonWidth = 35;
inline constexpr int kDirectionButtonHeight = 15;
inline constexpr Rect kKeymapRadio{28, 200, 42, 214};
inline constexpr Rect kDiyRadio{130, 200, 144, 214};
inline constexpr Point kKeymapRadioPicture{28, 199};
inline constexpr Point kDiyRadioPicture{130, 199};
inline constexpr TextSpot kKeymapLabel{{45, 197, 127, 215}, 15};
inline constexpr TextSpot kDiyLabel{{147, 197, 248, 215}, 15};
inline constexpr Rect kSwatch{28, 223, 48, 243};  // the first; the others follow kSwatchStep apart
inline constexpr int kSwatchStep = 25;
inline constexpr Point kSpeedBody{kPanelLeft, 245};
inline constexpr TextSpot kBrightnessLabel{{28, 247, 248, 262}, 13};
inline constexpr TextSpot kDarkLabel{{28, 274, 148, 289}, 13};
inline constexpr Rect kBrightCaption{150, 274, 248, 289};  // right-aligned
inline constexpr TextSpot kSpeedLabel{{28, 290, 248, 305}, 13};
inline constexpr TextSpot kSlowLabel{{28, 317, 148, 332}, 13};
inline constexpr Rect kFastCaption{150, 317, 248, 332};
inline constexpr int kSliderCaptionHeight = 13;
inline constexpr Rect kFillAllButton{28, 300, 134, 320};
inline constexpr Rect kClearAllButton{142, 300, 248, 320};
// A DIY button's caption box: its outline is drawn half a pixel down and right.
constexpr Rect diyCaptionBox(Rect button) {
    return Rect{button.left, button.top, button.right + 1, button.bottom + 1};
}
inline constexpr int kDiyButtonCaptionHeight = 14;
// The key group chips under Fill all and Clear all: the first, the others kKeyGroupStep apart.
inline constexpr Rect kKeyGroupChip{28, 322, 55, 334};
inline constexpr int kKeyGroupStep = 32;
inline constexpr int kKeyGroupCaptionHeight = 11;

// Macro button, relative to the macro section's top (110 + lighting height).
inline constexpr Point kMacroBody{kPanelLeft, 0};
inline constexpr Rect kMacroButton{kPanelLeft, 10, 259, 28};
inline constexpr TextSpot kMacroCaption{{kPanelLeft + kTitleInset, 12, 257, 28}, 15};

// Game section, relative to its top.
inline constexpr Point kGameBody{kPanelLeft, 0};
inline constexpr TextSpot kGameModeTitle{{kPanelLeft + kTitleInset, kTitleDrop, 147, 19}, 15};
inline constexpr TextSpot kWinLockTitle{{149, kTitleDrop, 233, 19}, 15};
inline constexpr Rect kGameModeOn{34, 33, 44, 42};
inline constexpr Rect kGameModeOff{88, 33, 115, 42};
inline constexpr Rect kWinLockOn{164, 33, 174, 42};
inline constexpr Rect kWinLockOff{212, 33, 239, 42};
inline constexpr int kRadioLabelGap = 17;  // from a radio's left edge to its label
inline constexpr int kRadioLabelRise = 2;  // a label sits this much above its radio
inline constexpr int kRadioLabelHeight = 15;
// The room of a radio's label: to the next radio, or to a little inside the panel's frame.
inline constexpr TextSpot kGameModeOnLabel{{51, 31, 87, 47}, kRadioLabelHeight};
inline constexpr TextSpot kGameModeOffLabel{{105, 31, 147, 47}, kRadioLabelHeight};
inline constexpr TextSpot kWinLockOnLabel{{181, 31, 211, 47}, kRadioLabelHeight};
inline constexpr TextSpot kWinLockOffLabel{{229, 31, 258, 47}, kRadioLabelHeight};

// Response time section, relative to its top.
inline constexpr Rect kResponseBox{28, 28, 248, 44};
inline constexpr Point kResponseField{28, 28};
inline constexpr TextSpot kResponseValue{{100, 28, 232, 44}, 15};

// Report rate section: the slider sits this far below its top.
inline constexpr Point kReportSlider{28, 23};

// Drop-down lists: rows of kListRowHeight (settings/panel.h), 220 pixels wide. An open list
// lies on a backing as wide as the sections, so that nothing beneath shows beside it.
inline constexpr int kListWidth = 220;
constexpr Rect listBacking(int top, int rows, int rowHeight) {
    return Rect{kPanelLeft, top, kPanelLeft + kHeaderWidth - 1, top + rows * rowHeight - 1};
}
inline constexpr int kListTextHeight = 18;
inline constexpr int kListTextInset = 4;  // an effect name's gap to the list's left edge
inline constexpr int kResponseListTextX = 97;

// A labelled spot of the surface with the text written there, for checking that every text
// fits where it is written. Sections are placed as when all are expanded.
struct Label {
    const BiText* text;
    TextSpot spot;
    const char* prefix = "";  // written before the text (UTF-8)
};
inline constexpr int kAllOpenGameTop = 165 + kLightingExpandedHeight;
inline constexpr int kAllOpenResponseTop = 220 + kLightingExpandedHeight;
inline constexpr int kAllOpenReportTop = kAllOpenResponseTop + 75;
inline constexpr std::array kLabels{
    Label{&text::kProfile, kProfileCaption},
    Label{&text::kUpdateFirmware, below(kHelpRowText, kHelpRowHeight)},
    Label{&text::kReadMe, kHelpRowText},
    Label{&text::kLight, below(kSectionTitle, kLightingTop)},
    Label{&text::kEffect, kEffectLabel},
    Label{&text::kDirection, kDirectionLabel},
    Label{&text::kKeymap, kKeymapLabel},
    Label{&text::kDiy, kDiyLabel},
    Label{&text::kBrightness, kBrightnessLabel},
    Label{&text::kDark, kDarkLabel},
    Label{&text::kSpeed, kSpeedLabel},
    Label{&text::kSlow, kSlowLabel},
    Label{&text::kMacroManagement, below(kMacroCaption, kLightingTop + kLightingExpandedHeight)},
    Label{&text::kGameMode, below(kGameModeTitle, kAllOpenGameTop)},
    Label{&text::kWinLock, below(kWinLockTitle, kAllOpenGameTop)},
    Label{&text::kOn, below(kGameModeOnLabel, kAllOpenGameTop)},
    Label{&text::kOff, below(kGameModeOffLabel, kAllOpenGameTop)},
    Label{&text::kOn, below(kWinLockOnLabel, kAllOpenGameTop)},
    Label{&text::kOff, below(kWinLockOffLabel, kAllOpenGameTop)},
    Label{&text::kResponseTime, below(kSectionTitle, kAllOpenResponseTop)},
    Label{&text::kReportRate, below(kSectionTitle, kAllOpenReportTop)},
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
    Caption{&text::kBright, kBrightCaption, kSliderCaptionHeight},
    Caption{&text::kFast, kFastCaption, kSliderCaptionHeight},
    Caption{&text::kFillAll, diyCaptionBox(kFillAllButton), kDiyButtonCaptionHeight},
    Caption{&text::kClearAll, diyCaptionBox(kClearAllButton), kDiyButtonCaptionHeight},
    Caption{&text::kKeyGroups[0], diyCaptionBox(shifted(kKeyGroupChip, 0 * kKeyGroupStep)),
            kKeyGroupCaptionHeight},
    Caption{&text::kKeyGroups[1], diyCaptionBox(shifted(kKeyGroupChip, 1 * kKeyGroupStep)),
            kKeyGroupCaptionHeight},
    Caption{&text::kKeyGroups[2], diyCaptionBox(shifted(kKeyGroupChip, 2 * kKeyGroupStep)),
            kKeyGroupCaptionHeight},
    Caption{&text::kKeyGroups[3], diyCaptionBox(shifted(kKeyGroupChip, 3 * kKeyGroupStep)),
            kKeyGroupCaptionHeight},
    Caption{&text::kKeyGroups[4], diyCaptionBox(shifted(kKeyGroupChip, 4 * kKeyGroupStep)),
            kKeyGroupCaptionHeight},
    Caption{&text::kKeyGroups[5], diyCaptionBox(shifted(kKeyGroupChip, 5 * kKeyGroupStep)),
            kKeyGroupCaptionHeight},
    Caption{&text::kKeyGroups[6], diyCaptionBox(shifted(kKeyGroupChip, 6 * kKeyGroupStep)),
            kKeyGroupCaptionHeight},
    Caption{&text::kStartWithSession, kAutostartCaption, kAutostartCaptionHeight},
};

}  // namespace tavrik::mainwindow::surface
