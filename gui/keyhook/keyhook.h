#pragma once
// The desktop key hook: reports key presses and releases to one receiver, as HookReports::key
// (Windows virtual-key code = key-table code, released), queued in the order the keys happen and
// emitted on the receiver's thread.
//
// Desktop-wide through the X11 RECORD extension when an X server is reachable ($DISPLAY; it
// runs its own thread and display connections); otherwise, and on Wayland in addition, an
// application-wide Qt event filter that sees the keys typed into this application's windows.
// Mouse buttons are never reported.

#include "keyhook/hook_reports.h"

namespace tavrik::app {

// Starts reporting to `reports`. mode 1: presses and releases; mode 0: presses only. Calling it
// again while installed moves the reports to the new receiver and mode; a destroyed receiver
// gets nothing more. Returns true when reporting has started. Call from the GUI thread.
bool installhook(HookReports* reports, int mode);

// Stops reporting; nothing is posted after it returns. Does nothing when not installed.
void removehook();

// Whether the installed hook sees keys typed anywhere on the desktop (X11 RECORD), rather than
// only those typed into this application's windows.
bool hookCapturesDesktop();

}  // namespace tavrik::app
