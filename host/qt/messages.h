#pragma once
// The tool's own window messages. The Qt layer posts them as custom QEvent types with exactly
// these values (all lie between QEvent::User and QEvent::MaxUser); wParam and lParam travel in
// the event.

namespace tavrik::msg {

inline constexpr int WM_TRAYICON = 0x0405;      // tray icon -> main window
inline constexpr int WM_TRAYBALLOON = 0x0406;   // wParam 15: the no-keyboard balloon
inline constexpr int WM_DEVICEEVENT = 0x0778;   // wParam: key event code from the keyboard
inline constexpr int WM_DEVICESYNCED = 0x077B;  // lParam: device::SyncReason

}  // namespace tavrik::msg
