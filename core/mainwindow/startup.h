#pragma once
// How the main window presents itself once start-up has tried to open the keyboard.

#include <optional>

#include "common/language.h"

namespace tavrik::mainwindow {

enum class KeyboardAtStart {
    Connected,     // both channels opened
    Absent,        // no keyboard found
    NoPermission,  // found, but the user may not open its device nodes
};

struct StartupPresentation {
    bool showWindow = true;
    std::optional<BiText> notice;  // message box to show (kNoPermission gets the fix added)
};

// Connected: the window shows. Absent: the window hides and lives on behind the tray icon; where
// the desktop has no tray it shows instead (it would be unreachable) and says that no keyboard is
// connected. No permission: the window shows and says how to install the udev rule.
StartupPresentation startupPresentation(KeyboardAtStart keyboard, bool trayAvailable);

}  // namespace tavrik::mainwindow
