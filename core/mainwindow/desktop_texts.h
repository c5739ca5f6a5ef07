#pragma once
// Texts of the tool's desktop integration: start with the session, the help box's rows and the
// updater, in both languages.

#include "common/language.h"

namespace tavrik::mainwindow::text {

inline constexpr BiText kStartWithSession{"Start with the desktop session", "随桌面会话启动"};
inline constexpr BiText kAutostartFailed{"The autostart entry cannot be changed:\n%1",
                                         "无法修改自动启动项：\n%1"};
inline constexpr BiText kReadMe{"Read me", "使用说明"};
inline constexpr BiText kReadMeMissing{"The README is not installed (%1).",
                                       "未安装说明文件（%1）。"};
// %1: the updater's file name (never a folder of the build or install tree: what the user needs
// is which program to install).
inline constexpr BiText kNoUpdater{
    "No firmware updater is installed.\nInstall the keyboard's firmware updater (%1) beside "
    "the tool and try again.",
    "未安装固件更新程序。\n请将键盘的固件更新程序（%1）安装在本工具旁边后重试。"};

}  // namespace tavrik::mainwindow::text
