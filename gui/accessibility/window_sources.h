#pragma once
// The painted items of the main window and of the dialogs as assistive technology sees them: the
// main window's from mainwindow::access (the same hit areas and rules as the mouse), the
// dialogs' from their painted buttons; the child widgets follow as themselves.

#include <QAccessibleInterface>

namespace tavrik::app {
class MainWindow;
class KeyAssignDialog;
class MacroManagerDialog;
class ProfileDialog;
}  // namespace tavrik::app

namespace tavrik::app::a11y {

// Key of a main window item: kind * kKindStride + index.
inline constexpr int kKindStride = 1000;

QAccessibleInterface* mainWindowInterface(MainWindow* window);
QAccessibleInterface* keyAssignInterface(KeyAssignDialog* dialog);
QAccessibleInterface* macroManagerInterface(MacroManagerDialog* dialog);
QAccessibleInterface* profileInterface(ProfileDialog* dialog);

}  // namespace tavrik::app::a11y
