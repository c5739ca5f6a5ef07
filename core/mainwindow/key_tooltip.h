#pragma once
// The tooltip over a key of the keyboard picture: the key and, in words, what it does now.

#include <string>

#include "common/language.h"
#include "macro/macro_layout.h"
#include "model/image_layout.h"
#include "model/key_action.h"

namespace tavrik::mainwindow {

inline constexpr BiText kKeyOwnFunction{"its own function", "原有功能"};
inline constexpr BiText kKeyDisabled{"disabled", "已禁用"};

// "<key>: <function>", the function as the command-line tool describes it, with its two
// plain states ("default", "disabled") said in lang. Empty for a slot without a name.
std::string keyTooltip(const model::Image& image, const model::KeyActionTable& actions,
                       const macro::MacroStore& macros, int slot, Language lang);

}  // namespace tavrik::mainwindow
