#pragma once
// The connection state shown in the main window's bottom bar.

#include <string>

#include "appconfig/update_check.h"
#include "common/language.h"
#include "device/connection_state.h"

namespace tavrik::mainwindow {

// The line's text in lang for the session's connection state; a connected keyboard is named
// emulated unless the transport is the real keyboard, and its firmware version is named once it
// has been read (not 0.0). A keyboard that could not be opened for another reason than
// permission reads as absent. A click on the no-permission line shows the fix.
std::string statusLineText(device::ConnectionState state, device::Transport transport,
                           appconfig::Version firmware, Language lang);

inline constexpr BiText kStatusConnected{"Keyboard connected", "键盘已连接"};
inline constexpr BiText kStatusEmulated{"Emulated keyboard", "模拟键盘"};
inline constexpr BiText kStatusAbsent{"No keyboard connected", "未连接键盘"};
inline constexpr BiText kStatusNoPermission{"No permission to use the keyboard - click for the fix",
                                            "无权使用键盘 - 点击查看解决方法"};
inline constexpr BiText kStatusFirmware{"firmware", "固件"};

}  // namespace tavrik::mainwindow
