#pragma once
// The macro manager's own texts: labels on the background, button labels and the event list's
// context menu with its command identifiers. Message box texts come with the editor.

#include <array>

#include "common/language.h"
#include "dialogs/macro_manager/macro_manager_layout.h"

namespace tavrik::app::macromanager {

inline constexpr LabelPlace kTitle{{"Macro Manager", "宏管理器"}, {14, 7}, 380, kTitleHeight};
inline constexpr std::array<LabelPlace, 7> kLabels{{
    {{"Select Macro", "选择宏"}, {22, 60}, 113},
    {{"Keystrobe Sequence", "按键序列"}, {152, 60}, 124},
    {{"Options", "选项"}, {290, 60}, 100},
    {{"Record Delay", "记录按键"}, {290, 160}, 74, 12},
    {{"between", "之间的"}, {290, 175}, 74, 12},
    {{"keystrokes", "延迟"}, {290, 190}, 74, 12},
    {{"Number of Loops", "循环次数"}, {314, 315}, 78},  // ends inside the options frame
}};

// Labels centred on buttons 3 to 6 (button 0 shows the editor's record label).
inline constexpr std::array<BiText, kButtonCount> kButtonLabels{{
    {},
    {},
    {},
    {"New", "新建"},
    {"Delete", "删除"},
    {"OK", "确定"},
    {"Cancel", "取消"},
}};

// Shown while recording when the key hook sees only this application's windows (no X display,
// e.g. a Wayland session without XWayland).
inline constexpr LabelPlace kOwnWindowKeysOnly{
    {"Only keys typed into this window are recorded (no X display).",
     "仅录制在本窗口中输入的按键（无 X 显示）。"},
    {14, 418},
    262,  // ends before the OK button
    11};

// Written over a list while it is empty.
inline constexpr BiText kNoMacrosHint{"No macros yet.\nPress New to create one.",
                                      "还没有宏。\n点击“新建”创建一个。"};
inline constexpr BiText kNoEventsHint{"No keystrokes yet.\nPress Start Recording.",
                                      "还没有按键。\n点击“开始录制”。"};
inline constexpr BiText kRecordingEventsHint{"Recording\u2026\nPress the keys now.",
                                             "正在录制\u2026\n请按下按键。"};
inline constexpr BiText kNoMacroSelectedHint{"No macro selected.", "未选择宏。"};

// Context menu commands of the event list.
namespace cmd {
inline constexpr int kInsertBefore = 32790;
inline constexpr int kInsertAfter = 32791;
inline constexpr int kInsertDelay = 32793;
inline constexpr int kLeftDown = 32800;
inline constexpr int kLeftUp = 32801;
inline constexpr int kLeftClick = 32802;
inline constexpr int kRightDown = 32804;
inline constexpr int kRightUp = 32806;
inline constexpr int kRightClick = 32807;
inline constexpr int kMiddleDown = 32811;
inline constexpr int kMiddleUp = 32812;
inline constexpr int kMiddleClick = 32813;
inline constexpr int kDeleteEvent = 32815;
}  // namespace cmd

struct MenuItem {
    int command;
    BiText text;
};

inline constexpr MenuItem kInsertBeforeItem{cmd::kInsertBefore,
                                            {"Insert Before", "在之前开始录入"}};
inline constexpr MenuItem kInsertAfterItem{cmd::kInsertAfter, {"Insert After", "在之后开始录入"}};
inline constexpr BiText kInsertMouseKey{"Insert Mouse Key", "插入鼠标按键"};
inline constexpr MenuItem kInsertDelayItem{cmd::kInsertDelay, {"Insert Delay", "插入延迟"}};
inline constexpr MenuItem kDeleteItem{cmd::kDeleteEvent, {"Delete", "删除"}};

// One submenu per mouse button: Down, Up, Click.
struct MouseSubmenu {
    BiText title;
    std::array<MenuItem, 3> items;
};
inline constexpr BiText kDown{"Down", "压下"};
inline constexpr BiText kUp{"Up", "释放"};
inline constexpr BiText kClick{"Click", "单击"};
inline constexpr std::array<MouseSubmenu, 3> kMouseSubmenus{{
    {{"Left", "左键"}, {{{cmd::kLeftDown, kDown}, {cmd::kLeftUp, kUp}, {cmd::kLeftClick, kClick}}}},
    {{"Right", "右键"},
     {{{cmd::kRightDown, kDown}, {cmd::kRightUp, kUp}, {cmd::kRightClick, kClick}}}},
    {{"Middle", "中健"},
     {{{cmd::kMiddleDown, kDown}, {cmd::kMiddleUp, kUp}, {cmd::kMiddleClick, kClick}}}},
}};

}  // namespace tavrik::app::macromanager
