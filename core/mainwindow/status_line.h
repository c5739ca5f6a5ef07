#pragma once
// The connection state shown in the main window's bottom bar.

#include <string>

#include "common/language.h"
#include "mainwindow/update_check.h"

namespace tavrik::mainwindow {

enum class ConnectionState {
    Connected,     // the real keyboard
    Emulated,      // --simulate or --sim-socket
    Absent,        // no keyboard
    NoPermission,  // a keyboard this user may not open; a click on the line shows the fix
};

// The line's text in lang; the firmware version is named once it has been read (not 0.0).
std::string statusLineText(ConnectionState state, Version firmware, Language lang);

inline constexpr BiText kStatusConnected{"Keyboard connected", "键盘已连接"};
inline constexpr BiText kStatusEmulated{"Emulated keyboard", "模拟键盘"};
inline constexpr BiText kStatusAbsent{"No keyboard connected", "未连接键盘"};
inline constexpr BiText kStatusNoPermission{"No permission to use the keyboard - click for the fix",
                                            "无权使用键盘 - 点击查看解决方法"};
inline constexpr BiText kStatusFirmware{"firmware", "固件"};

}  // namespace tavrik::mainwindow
