#pragma once
// One dark look for every window the application shows, also the standard ones (message boxes,
// menus, file and colour choosers): the Fusion style with a palette in the skin's colours.

class QApplication;
class QPalette;

namespace tavrik::skin {

// The palette in the skin's colours: charcoal windows and fields, light text, crimson selection.
QPalette darkPalette();

// Sets the Fusion style and the dark palette on the whole application.
void applyDarkStyle(QApplication& app);

}  // namespace tavrik::skin
