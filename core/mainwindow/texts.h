#pragma once
// Every text the main window, its tray icon and its message boxes show, in both languages.

#include <array>

#include "build_info.h"
#include "common/language.h"

namespace tavrik::mainwindow::text {

inline constexpr const char* kWindowTitle = "Tavrik 87Rev";
inline constexpr const char* kTrayTip = "Tavrik 87Rev";
inline constexpr const char* kHelpVersion = "Ver: " TAVRIK_VERSION;

// Bottom row and panel.
inline constexpr BiText kProfile{"Profile", "配置"};
inline constexpr BiText kReturn{"Return", "恢复"};
inline constexpr BiText kCancel{"Cancel", "取消"};
inline constexpr BiText kSave{"Save", "保存"};
inline constexpr BiText kLight{"Light", "灯光"};
inline constexpr BiText kEffect{"Effect", "效果"};
inline constexpr BiText kSpeed{"Speed", "速度"};
inline constexpr BiText kSlow{"Slow", "慢"};
inline constexpr BiText kFast{"Fast", "快"};
inline constexpr BiText kBrightness{"Brightness", "亮度"};
inline constexpr BiText kDark{"Dark", "黑"};
inline constexpr BiText kBright{"Bright", "亮"};
// The direction row is labelled in the window's language.
inline constexpr BiText kDirection{"Direction", "方向"};
inline constexpr BiText kKeymap{"Keymap", "Keymap"};
inline constexpr BiText kDiy{"DIY", "DIY"};
inline constexpr BiText kMacroManagement{"Macro Management", "宏管理器"};
inline constexpr BiText kGameMode{"Game Mode", "游戏模式"};
inline constexpr BiText kWinLock{"Win Lock", "Win Lock模式"};
inline constexpr BiText kOn{"ON", "开启"};
inline constexpr BiText kOff{"OFF", "关闭"};
inline constexpr BiText kResponseTime{"Response Time", "按键响应时间"};
inline constexpr BiText kReportRate{"USB Report Rate", "USB报告率"};
// The DIY view's painting.
inline constexpr BiText kFillAll{"Fill all", "全部填充"};
inline constexpr BiText kClearAll{"Clear all", "全部清除"};
inline constexpr BiText kKeyColour{"Key colour", "按键颜色"};
// The key group chips of the DIY view, in the order of settings::KeyGroup.
inline constexpr std::array<BiText, 7> kKeyGroups{{{"F1-12", "F1-12"},
                                                   {"1-0", "数字"},
                                                   {"A-Z", "字母"},
                                                   {"WASD", "WASD"},
                                                   {"←→", "方向"},
                                                   {"Nav", "编辑"},
                                                   {"Mods", "修饰"}}};
// The report-rate slider's stops, under its four positions.
inline constexpr std::array<BiText, 4> kReportRates{
    {{"125Hz", "125Hz"}, {"250Hz", "250Hz"}, {"500Hz", "500Hz"}, {"1000Hz", "1000Hz"}}};
inline constexpr BiText kUpdateFirmware{"Update Firmware", "驱动更新"};

// Factory reset question.
inline constexpr BiText kFactoryQuestion{"Confirm to return Factory Setting?",
                                         "确认恢复至出厂设置吗？"};
inline constexpr BiText kFactoryCaption{"Factory Setting", "出厂设置"};

// The caption of the keyboard picture while it shows the lighting as an imitation.
inline constexpr BiText kLightingPreview{"Preview", "预览"};

// Tray icon.
inline constexpr BiText kShowWindow{"Show window", "显示窗口"};
inline constexpr BiText kExit{"Exit", "退出"};
inline constexpr const char* kNoKeyboardBalloon = "No Gaming Keyboard Detected!";
inline constexpr const char* kNoKeyboardBalloonTitle = "Warning";

// Notices shown in a message box where the tool would otherwise fail silently or seem to hang.
inline constexpr BiText kNoticeCaption{"Tavrik 87Rev", "Tavrik 87Rev"};
inline constexpr BiText kNoKeyboard{
    "No Gaming Keyboard Detected!\nThe tool keeps running; plug the keyboard in to load its "
    "settings.",
    "未检测到游戏键盘！\n程序继续运行；插入键盘后将读取其设置。"};
// The start-up notice for a keyboard this user may not open; the window adds the fix
// (appconfig/permission_notice.h).
inline constexpr BiText kNoPermission{
    "The keyboard is connected, but this user may not open its HID devices.",
    "键盘已连接，但当前用户无权打开其 HID 设备。"};
inline constexpr BiText kSaveNoKeyboard{
    "No keyboard is connected, so nothing was sent.\nYour changes are kept on this computer and "
    "are sent with the next Save.",
    "未连接键盘，未发送任何数据。\n修改已保留在本机，下次保存时发送。"};
inline constexpr BiText kResetNoKeyboard{
    "No keyboard is connected, so its factory settings cannot be restored.",
    "未连接键盘，无法恢复出厂设置。"};

}  // namespace tavrik::mainwindow::text
