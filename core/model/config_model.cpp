#include "model/config_model.h"

#include "common/atomic_file.h"

namespace tavrik::model {

ConfigModel::ConfigModel(std::filesystem::path keymapPath)
    : m_keymapPath(std::move(keymapPath)), m_state(std::make_unique<ConfigState>()) {}

Status ConfigModel::startup(FileWrites writes) {
    return withLock([&](ConfigState& s) -> Status {
        resetForStartup(s);
        Status result;
        if (writes == FileWrites::Allowed) {
            removeLeftoverTemporariesOf(m_keymapPath);  // of saves killed in an earlier run
            auto loaded = loadKeymap(s, m_keymapPath, KeymapPart::Whole);
            if (!loaded) result = loaded.error();
        } else if (std::error_code ec; std::filesystem::exists(m_keymapPath, ec)) {
            auto read = readConfigFile(m_keymapPath, s.image, s.actions);
            if (!read) result = read.error();
        }
        fillOwnCodes(s.actions);
        snapshot(s);
        return result;
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
