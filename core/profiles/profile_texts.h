#pragma once
// The profile window's texts in both languages, and its menu commands.

#include <optional>

#include "common/language.h"

namespace tavrik::profiles {

namespace text {
inline constexpr BiText kTitle{"Profile", "配置"};
inline constexpr BiText kCaption{"Profile", "配置管理"};
inline constexpr BiText kLimit{"Only Create Six Profile mostly\n", "最多可以存储6个配置\n"};
inline constexpr BiText kSelectToSave{"Please select a profile to Save\n", "请选择一个配置存储"};
inline constexpr BiText kSelectToOpen{"Please select a profile to Open\n", "请选择一个配置打开"};
inline constexpr BiText kKeepOne{"Please keep a profile\n", "请至少保留一个配置文件"};
inline constexpr BiText kSelectToDelete{"Please select a profile to delete\n",
                                        "请选择一个配置删除"};
inline constexpr BiText kConfirmDelete{"Delete current profile ?", "删除当前配置文件吗"};
inline constexpr BiText kSelectToCopy{"Please select a profile to copy\n", "请选择一个配置拷贝"};
inline constexpr BiText kFail{"Fail", "Fail"};  // shown without a caption
inline constexpr BiText kCopyPrefix{"Copy of ?", "复制 "};
inline constexpr BiText kInvalidName{
    "A profile name cannot be empty, \".\" or \"..\", or contain "
    "\"/\" or \"\\\"\n",
    "配置名称不能为空、\".\"或\"..\"，也不能包含\"/\"或\"\\\"\n"};
inline constexpr BiText kNameNotListed{
    "A profile name that contains \".bin\" must end with \".bin\"\n",
    "包含\".bin\"的配置名称必须以\".bin\"结尾\n"};
inline constexpr BiText kNameTooLong{"The profile name is too long\n", "配置名称太长\n"};
inline constexpr BiText kReadFailed{
    "The file could not be read: it is missing, not a regular file, or not readable\n",
    "无法读取该文件：文件不存在、不是普通文件或没有读取权限\n"};
inline constexpr BiText kWriteFailed{"The profile file could not be written\n",
                                     "无法写入配置文件\n"};
inline constexpr BiText kDeleteFailed{"The profile file could not be deleted\n",
                                      "无法删除配置文件\n"};
inline constexpr BiText kNewButton{"New", "新建"};
inline constexpr BiText kDeleteButton{"Delete", "删除"};
// Over the empty list.
inline constexpr BiText kNoProfilesHint{
    "No profiles yet.\nPress New to make one, then right-click it and choose Save to keep the "
    "keyboard's settings in it.",
    "还没有配置。\n按“新建”创建一个，再右键点击它并选择“保存”，把键盘的设置存入其中。"};
}  // namespace text

// Context menu commands with their menu item identifiers.
enum class Command : int { New = 32785, Save = 32786, Load = 32787, Delete = 32788, Copy = 32817 };

BiText commandText(Command command);
std::optional<Command> commandFromId(int id);

// A message for the caller to show; uncaptioned messages have no caption (text::kCaption
// otherwise). Every message box has an OK button only.
struct Message {
    BiText text;
    bool captioned = true;
    bool operator==(const Message& o) const {
        return text.en == o.text.en && text.zh == o.text.zh && captioned == o.captioned;
    }
};

}  // namespace tavrik::profiles
