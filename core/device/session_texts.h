#pragma once
// User-visible texts of the device session.

#include "common/language.h"

namespace tavrik::device {

// Save stopped because the keyboard did not answer.
inline constexpr BiText kSaveFailedText{
    "The keyboard did not respond, so not every setting was saved to it. Check the connection "
    "and press Save again.",
    "键盘没有响应，部分设置未能保存到键盘。请检查连接后再次保存。"};
inline constexpr BiText kSaveFailedCaption{"Save", "保存"};
// Save stopped because the keyboard went away in the middle of it.
inline constexpr BiText kSaveUnpluggedText{
    "The keyboard was unplugged during Save, so not every setting reached it.\nYour changes are "
    "kept on this computer: plug the keyboard in again and press Save.",
    "保存过程中键盘被拔出，部分设置未能写入键盘。\n修改已保留在本机：请重新插入键盘后再次保存。"};
// Save stopped because the keyboard did not acknowledge a step in time.
inline constexpr BiText kSaveNoAcknowledgementText{
    "The keyboard did not acknowledge the settings in time, so not every setting was saved to "
    "it.\nYour changes are kept on this computer: check the connection and press Save again.",
    "键盘未及时确认收到设置，部分设置未能保存到键盘。\n修改已保留在本机：请检查连接后再次保存。"};
// The keyboard has the settings, but keymap.bin could not be written. %1: which file and why.
inline constexpr BiText kSettingsNotStoredText{
    "The settings were sent to the keyboard, but they could not be stored on this "
    "computer:\n%1",
    "设置已发送到键盘，但无法保存在本机：\n%1"};

// Factory reset.
inline constexpr BiText kResetFailedText{
    "The keyboard did not take the factory reset, so its settings and yours are unchanged.",
    "键盘未能执行恢复出厂设置，键盘和本机的设置均未改变。"};
inline constexpr BiText kReadBackFailedText{
    "The keyboard was reset to its factory settings, but reading them back failed.\nPlug the "
    "keyboard in again to load its settings.",
    "键盘已恢复出厂设置，但读取其设置失败。\n请重新插入键盘以读取其设置。"};

// Reading the keyboard at start-up or after it was plugged in failed.
inline constexpr BiText kReadFailedText{
    "Reading the keyboard failed, so the settings shown are the ones stored on this computer.\n"
    "Plug the keyboard in again to read it.",
    "读取键盘失败，当前显示的是本机保存的设置。\n请重新插入键盘以读取其设置。"};

}  // namespace tavrik::device
