#pragma once
// What the main window does after the macro manager closes with OK.

#include <filesystem>

#include "common/result.h"
#include "macro/macro_layout.h"
#include "model/config_model.h"

namespace tavrik::app {

// Builds the macro slots of the image from `store`, saves keymap.bin from the current image and
// key action table (with the model's lock held for both), then writes `store` to macroFile.
// Both files are attempted; the first failure is returned.
Status applyMacroStore(model::ConfigModel& model, const macro::MacroStore& store,
                       const std::filesystem::path& macroFile);

}  // namespace tavrik::app
