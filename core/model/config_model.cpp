#include "model/config_model.h"

#include "common/atomic_file.h"

namespace tavrik::model {

ConfigModel::ConfigModel(std::filesystem::path keymapPath)
    : m_keymapPath(std::move(keymapPath)), m_state(std::make_unique<ConfigState>()) {}

Status ConfigModel::startup() {
    return withLock([&](ConfigState& s) -> Status {
        resetForStartup(s);
        removeLeftoverTemporariesOf(m_keymapPath);  // of saves killed in an earlier run
        auto loaded = loadKeymap(s, m_keymapPath, KeymapPart::Whole);
        fillOwnCodes(s.actions);
        snapshot(s);
        if (!loaded) return loaded.error();
        return Status::success();
    });
}

Status ConfigModel::reloadActions() {
    return withLock([&](ConfigState& s) -> Status {
        auto loaded = loadKeymap(s, m_keymapPath, KeymapPart::ActionsOnly);
        if (!loaded) return loaded.error();
        return Status::success();
    });
}

Status ConfigModel::save() {
    return withLock(
        [&](ConfigState& s) { return saveConfigFile(m_keymapPath, s.image, s.actions); });
}

Status ConfigModel::saveSynced() {
    return withLock([&](ConfigState& s) {
        return saveConfigFile(m_keymapPath, s.syncedImage, s.syncedActions);
    });
}

}  // namespace tavrik::model
