#pragma once
// The texts of profiles that follow the application in front, in both languages. "%1" stands
// for a profile name (or a file and its problem, "%1" and "%2").

#include <optional>

#include "appprofiles/switch_planner.h"
#include "common/language.h"

namespace tavrik::appprofiles {

namespace text {
// Status line.
inline constexpr BiText kActiveAutomatic{"Profile %1 (automatic)", "配置 %1（自动）"};
inline constexpr BiText kActiveByHand{"Profile %1 (chosen by hand)", "配置 %1（手动选择）"};
inline constexpr BiText kSwitching{"Switching to profile %1", "正在切换到配置 %1"};
inline constexpr BiText kWaiting{"Profile %1 waits until your changes are saved or cancelled",
                                 "配置 %1 等待切换：请先保存或取消未保存的更改"};
inline constexpr BiText kFailed{"Profile %1 not switched: no keyboard; again when it is plugged in",
                                "未能切换到配置 %1：没有键盘；插入键盘后重试"};
// Profile window.
inline constexpr BiText kApplications{"Applications: %1", "应用程序：%1"};
inline constexpr BiText kNoApplications{"No applications", "没有绑定应用程序"};
inline constexpr BiText kDefaultProfile{"Default for every other application",
                                        "其他所有应用程序的默认配置"};
inline constexpr BiText kAddApplication{"Add application...", "添加应用程序..."};
inline constexpr BiText kRemoveApplication{"Remove application", "移除应用程序"};
inline constexpr BiText kMakeDefault{"Default for other applications",
                                     "设为其他应用程序的默认配置"};
inline constexpr BiText kChooseApplication{
    "Choose an open application or type its id (X11 window class, Wayland app id):",
    "选择一个已打开的应用程序，或输入其 ID（X11 窗口类名或 Wayland 应用 ID）："};
inline constexpr BiText kInactive{"Kept but inactive, their profiles no longer exist: %1",
                                  "以下配置已不存在，其规则保留但不生效：%1"};
inline constexpr BiText kGnomeWayland{
    "GNOME on Wayland offers no way to follow the active application",
    "Wayland 下的 GNOME 不提供获取当前活动应用程序的途径，无法自动切换配置"};
inline constexpr BiText kBadAppId{
    "An application id cannot be empty, longer than 255 bytes or hold control characters",
    "应用程序 ID 不能为空、不能超过 255 字节，也不能包含控制字符"};
inline constexpr BiText kTooManyApps{"No more applications can be bound", "无法再绑定更多应用程序"};
// A rules file the tool leaves alone (told once).
inline constexpr BiText kRulesUnusable{
    "The application rules in %1 cannot be used (%2). The file is left as it is: fix or "
    "remove it, then open the profile window again.",
    "无法使用 %1 中的应用程序规则（%2）。该文件保持原样：请修正或删除它，然后重新打开配置窗口。"};
}  // namespace text

// The status line's text for a switching state (with the profile's name for "%1"); none when
// there is nothing to say.
std::optional<BiText> statusText(const SwitchStatus& status);

}  // namespace tavrik::appprofiles
