#pragma once
// User-visible texts of the device session.

#include "common/language.h"

namespace tavrik::device {

// Save stopped because the keyboard did not acknowledge or went away.
inline constexpr BiText kSaveFailedText{
    "The keyboard did not respond, so not every setting was saved to it. Check the connection "
    "and press Save again.",
    "键盘没有响应，部分设置未能保存到键盘。请检查连接后再次保存。"};
inline constexpr BiText kSaveFailedCaption{"Save", "保存"};

// The keyboard is present but its device nodes may not be opened.
inline constexpr BiText kNoPermissionText{
    "The keyboard was found but cannot be opened. Install the udev rule "
    "70-tavrik-87rev.rules into /etc/udev/rules.d, then unplug and replug the keyboard.",
    "已找到键盘，但没有访问权限。请将 udev 规则 70-tavrik-87rev.rules 安装到 "
    "/etc/udev/rules.d，然后重新插拔键盘。"};

}  // namespace tavrik::device
