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

}  // namespace tavrik::device
