#pragma once
// Where the profile window draws its pictures and texts and where its picture buttons react, in
// window coordinates.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tavrik::app::profilewindow {

// The window's size when its background picture cannot be loaded.
inline constexpr QSize kFallbackSize{262, 600};
inline constexpr QRect kListRect{1, 34, 260, 540};
// With application rules, the list's lower part shows the selected profile's applications.
inline constexpr int kAppsHeight = 150;
inline constexpr QRect kAppsListRect{1, 34, 260, 540 - kAppsHeight};
inline constexpr QRect kAppsRect{8, 34 + 540 - kAppsHeight + 4, 246, kAppsHeight - 8};
inline constexpr int kAppsTextHeight = 13;

inline constexpr QPoint kTitleAt{10, 10};
inline constexpr int kTitleHeight = 15;
inline constexpr QPoint kClosePictureAt{247, 10};
inline constexpr QPoint kNewPictureAt{13, 575};
inline constexpr QPoint kNewLabelAt{30, 578};
inline constexpr QPoint kDeletePictureAt{183, 575};
inline constexpr QPoint kDeleteLabelAt{200, 578};
inline constexpr int kLabelHeight = 16;
// A label ends inside its button's picture (66 x 22).
inline constexpr int kNewLabelRight = 78;
inline constexpr int kDeleteLabelRight = 248;
inline constexpr int kTitleRight = 246;  // before the close button

// Picture buttons react to a left-button release inside these rectangles (edges included).
inline constexpr QRect kCloseHit{QPoint(248, 11), QPoint(262, 24)};
inline constexpr QRect kNewHit{QPoint(14, 576), QPoint(79, 624)};
inline constexpr QRect kDeleteHit{QPoint(184, 576), QPoint(249, 624)};

// The list: "Arial" of this pixel height, white text, cyan selection, black shadow moved by 2.
inline constexpr int kListFontHeight = 15;
inline constexpr int kListShadowOffset = 2;

inline constexpr const char* kBackground = "Config.png";
inline constexpr const char* kClosePicture = "button-close-normal.png";
inline constexpr const char* kNewPicture = "New.png";
inline constexpr const char* kDeletePicture = "Delete.png";

}  // namespace tavrik::app::profilewindow
