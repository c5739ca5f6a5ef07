#pragma once
// One dark look for every window the application shows, also the standard ones (message boxes,
// menus, file and colour choosers): the Fusion style with a palette in the skin's colours, and
// a style sheet that gives message boxes, their buttons and every menu (context menus, the tray
// menu) the skin's panels, text colours, row highlight and buttons.

#include <QColor>

class QApplication;
class QIcon;
class QPalette;
class QString;

namespace tavrik::skin {

// The colours of the generated skin.
namespace colour {
inline constexpr QColor kBase{24, 25, 29};
inline constexpr QColor kPanel{40, 42, 48};
inline constexpr QColor kPanelLight{58, 61, 69};
inline constexpr QColor kEdge{86, 90, 101};
inline constexpr QColor kSelection{102, 46, 47};
inline constexpr QColor kAccent{196, 40, 52};
inline constexpr QColor kActive{0, 214, 224};
inline constexpr QColor kText{222, 224, 230};
// Hints and disabled texts: readable on the dark panels, yet clearly secondary.
inline constexpr QColor kMutedText{138, 141, 151};
}  // namespace colour

// The palette in the skin's colours: charcoal windows and fields, light text, crimson selection.
QPalette darkPalette();

// The style sheet for message boxes, their buttons and menus. It names only those classes, so
// the skinned windows, which paint themselves, keep their look.
QString appStyleSheet();

// Sets the Fusion style, the dark palette and the style sheet on the whole application.
void applyDarkStyle(QApplication& app);

// The application icon from the skin under programFolder: png/app-icon.png and its double-size
// twin png/app-icon@2x.png, each file that can be read.
QIcon appIcon(const QString& programFolder);

}  // namespace tavrik::skin
