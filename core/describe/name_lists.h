#pragma once
// The names the command line accepts, in their canonical spelling and table order: for
// listings, suggestions and shell completion.

#include <string>
#include <vector>

namespace tavrik::describe {

// Lighting effects, as `set effect NAME` takes them ("Static", "Wave", ..., "DIY5").
std::vector<std::string> effectNames();
// Preset functions, as `set key KEY preset NAME` takes them; some hold a blank ("Select All").
std::vector<std::string> presetNames();
// The keyboard's keys (the drawn slots), in slot order, as `set diy N KEY` takes them; `set key`
// takes all of them but the Win key and Fn (checkAssignableSlot).
std::vector<std::string> keyNames();

}  // namespace tavrik::describe
