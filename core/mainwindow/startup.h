#pragma once
// How the main window presents itself once start-up has tried to open the keyboard.

#include <optional>

#include "common/language.h"
#include "device/connection_state.h"

namespace tavrik::mainwindow {

struct StartupPresentation {
    bool showWindow = true;
    std::optional<BiText> notice;  // message box to show (kNoPermission gets the fix added)
};

// `keyboard` is how the opening at start ended (Connected: both channels opened).
// Connected: the window shows. Absent (or Failed): the window hides and lives on behind the tray
// icon; where the desktop has no tray it shows instead (it would be unreachable) and says that no
// keyboard is connected. No permission: the window shows and says how to install the udev rule.
StartupPresentation startupPresentation(device::ConnectionState keyboard, bool trayAvailable);

}  // namespace tavrik::mainwindow
