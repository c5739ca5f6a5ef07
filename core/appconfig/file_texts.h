#pragma once
// Texts of the notice that a data file is left alone, in both languages.

#include "common/language.h"

namespace tavrik::appconfig::text {

// %1: the file's path; %2: one of the reasons below.
inline constexpr BiText kFileLeftAlone{
    "%1 %2.\nThe tool leaves this file as it is and keeps working: your changes stay in effect "
    "and still reach the keyboard on Save, but they are not stored in this file.",
    "%1%2。\n本工具不会改动此文件并继续运行：您的更改仍然有效，按“保存”后仍会写入键盘，"
    "但不会存入此文件。"};
inline constexpr BiText kFileNotRegular{"is not a regular file", "不是普通文件"};
inline constexpr BiText kFileNotReadable{"cannot be read (no permission)", "无法读取（没有权限）"};
inline constexpr BiText kFileReadOnly{"is read-only", "是只读文件"};
inline constexpr BiText kFileNameTooLong{"has a name too long for the file system",
                                         "的名称过长，文件系统无法保存"};

}  // namespace tavrik::appconfig::text
