#pragma once
// The macro dialog's user-visible texts that come out of the editor commands.

#include "common/language.h"

namespace tavrik::macro {

// A message box with an OK button (or OK / Cancel for a question).
struct Notice {
    BiText text;
    BiText caption;
};

namespace text {
inline constexpr BiText kRecordCaption{"Macro Manager", "宏管理器"};
inline constexpr BiText kCaption{"Macro Manager", "宏管理"};
inline constexpr Notice kSelectToRecord{
    {"Please select a Macro file to record \n", "请选择一个宏指令文件录制\n"}, kRecordCaption};
inline constexpr Notice kConfirmDelete{{"Confirm to delete?", "确认删除吗？"}, kCaption};
inline constexpr Notice kSelectToDelete{
    {"Please select a Macro file to delete\n", "请选择一个宏指令文件删除\n"}, kCaption};
inline constexpr Notice kEditCurrentDelay{{"Please edit current delay\n", "请编辑当前延时\n"},
                                          kCaption};
inline constexpr BiText kStartRecording{"Start Recording", "开始录制"};
inline constexpr BiText kStopRecording{"Stop Recording", "停止录制"};
}  // namespace text

}  // namespace tavrik::macro
