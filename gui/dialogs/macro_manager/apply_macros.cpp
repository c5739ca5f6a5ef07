#include "dialogs/macro_manager/apply_macros.h"

#include "macro/macro_store.h"

namespace tavrik::app {

Status applyMacroStore(model::ConfigModel& model, const macro::MacroStore& store,
                       const std::filesystem::path& macroFile) {
    const Status keymap = model.withLock([&](model::ConfigState& s) {
        macro::buildMacroSlots(store, s.image);
        return model::saveConfigFile(model.keymapPath(), s.image, s.actions);
    });
    const Status macros = macro::saveMacroFile(store, macroFile);
    return keymap.ok() ? macros : keymap;
}

}  // namespace tavrik::app
