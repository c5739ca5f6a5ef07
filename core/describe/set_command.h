#pragma once
// The `set` command: one argument list changes one setting of a configuration state.
//
//   effect NAME [--speed N] [--brightness N] [--direction left|right|top|bottom]
//   game-mode on|off
//   win-lock on|off
//   response-time MS          2, 4, ... 20
//   report-rate HZ            125, 250, 500 or 1000
//   key KEY FUNCTION...       FUNCTION in the word forms of key_function.h; the words are joined
//                             with single blanks, so a path with blanks must be one argument
//   diy N KEY RRGGBB          N 1..5: that DIY table's colour of the key (hex, a leading # is
//                             accepted too)
//
// Every argument is checked before anything is stored: a refused command changes nothing.

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "common/result.h"
#include "macro/macro_layout.h"
#include "model/config_state.h"

namespace tavrik::describe {

// Applies one `set` argument list (without the word "set") to `state`, the way the window's
// controls would store it (choosing an effect adjusts the colour choice as the panel does).
// `macros` resolves "macro NAME" and rebuilds the macro slots when a key is bound to a macro.
// Value error, one line, saying what to do: e.g. unknown key "Ecs"; did you mean "Esc"?
Status applySetCommand(model::ConfigState& state, const macro::MacroStore& macros,
                       std::span<const std::string> args);

// The settings `set` takes as its first word.
inline constexpr std::array<std::string_view, 7> kSetSettings{
    "effect", "game-mode", "win-lock", "response-time", "report-rate", "key", "diy"};

// One line per form, for --help.
std::string setCommandUsage();

}  // namespace tavrik::describe
