#pragma once
// Places of the macro manager's controls, buttons and labels (client pixels; rectangles are
// inclusive, as QRect's right() and bottom() are) and the images the buttons show.

#include <QColor>
#include <QPoint>
#include <QRect>
#include <array>

#include "common/language.h"

namespace tavrik::app::macromanager {

inline constexpr const char* kBackground = "MacroManagement.png";

// Child controls.
inline constexpr int kEventListId = 1000;
inline constexpr int kMacroListId = 1001;
inline constexpr int kLoopEditId = 1002;
inline constexpr QRect kMacroListRect{20, 80, 113, 275};
inline constexpr QRect kEventListRect{150, 80, 113, 275};
inline constexpr QRect kLoopEditRect{296, 331, 84, 18};
inline constexpr int kLoopEditDigits = 3;

// The lists: Arial 16, white text, cyan selection, black shadow offset by 2.
inline constexpr int kListFontHeight = 16;
inline constexpr QColor kListText{255, 255, 255};
inline constexpr QColor kListSelectedText{0, 255, 255};
inline constexpr QColor kListShadow{0, 0, 0};
inline constexpr int kListShadowOffset = 2;

// Buttons, hit-tested in this order on a left-button release.
enum Button { kRecord, kDelayOption, kLoopOption, kNew, kDelete, kOk, kCancel, kButtonCount };

struct ButtonPlace {
    QRect rect;
    const char* normal;  // check boxes: the unticked image
    const char* over;    // check boxes: the ticked image
    bool checkBox;
};

inline constexpr std::array<ButtonPlace, kButtonCount> kButtons{{
    {QRect{QPoint{290, 100}, QPoint{379, 124}}, "Record-normal.png", "Record-over.png", false},
    {QRect{QPoint{368, 168}, QPoint{382, 182}}, "Pane.png", "PaneMakingTick.png", true},
    {QRect{QPoint{296, 315}, QPoint{310, 329}}, "Pane.png", "PaneMakingTick.png", true},
    {QRect{QPoint{20, 368}, QPoint{77, 392}}, "button-new-normal.png", "button-new-over.png",
     false},
    {QRect{QPoint{80, 368}, QPoint{137, 392}}, "button-new-normal.png", "button-new-over.png",
     false},
    {QRect{QPoint{280, 400}, QPoint{337, 424}}, "button-new-normal.png", "button-new-over.png",
     false},
    {QRect{QPoint{340, 400}, QPoint{397, 424}}, "button-new-normal.png", "button-new-over.png",
     false},
}};

// The record button while recording: held down, its lamp blinking.
inline constexpr const char* kRecordOn = "Record-on.png";
inline constexpr int kRecordBlinkMs = 500;
inline constexpr QPoint kRecordLampCentre{369, 112};  // 11 px left of the button's right end
inline constexpr int kRecordLampRadius = 5;
inline constexpr QColor kRecordLampLit{255, 48, 64};

// The button under a client point, or -1.
inline int buttonAt(QPoint p) {
    for (int i = 0; i < kButtonCount; ++i)
        if (kButtons[static_cast<std::size_t>(i)].rect.contains(p)) return i;
    return -1;
}

// Labels drawn on the background (Arial, weight 300).
inline constexpr QColor kLabelColour{222, 224, 230};  // on the dark panels
inline constexpr QColor kTitleColour{255, 255, 255};  // on the dark title band
inline constexpr int kLabelHeight = 13;
inline constexpr int kTitleHeight = 15;
inline constexpr int kButtonLabelHeight = 13;
inline constexpr int kRecordLampWidth = 16;  // the lamp at the record button's right end

inline constexpr int kMinLabelHeight = 9;  // a long text shrinks down to this to fit its width

struct LabelPlace {
    BiText text;
    QPoint at;  // top-left corner
    int width;  // room to the next element
    int height = kLabelHeight;
};

// Where a label is written: its room, two lines high so that a shrunk label stays centred on
// its line.
inline QRect labelRoom(const LabelPlace& l) {
    return QRect(l.at, QSize(l.width, l.height * 2));
}

// Where a button's label is centred: inside the picture; the record button's right end holds
// its lamp.
inline QRect buttonLabelBox(int button) {
    const QRect r = kButtons[static_cast<std::size_t>(button)].rect;
    return button == kRecord ? r.adjusted(2, 0, -kRecordLampWidth, 0) : r.adjusted(2, 0, -2, 0);
}

}  // namespace tavrik::app::macromanager
