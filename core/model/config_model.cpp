#include "model/config_model.h"

#include "common/atomic_file.h"

namespace tavrik::model {
namespace {

// live[i] keeps its value where it differs from base[i] (changed by the owner meanwhile) and
// takes result[i] elsewhere.
template <std::size_t N>
void mergeEdits(std::array<std::uint8_t, N>& live, const std::array<std::uint8_t, N>& base,
                const std::array<std::uint8_t, N>& result) {
    for (std::size_t i = 0; i < N; ++i) {
        if (live[i] == base[i]) live[i] = result[i];
    }
}

}  // namespace

ConfigModel::ConfigModel(std::filesystem::path keymapPath)
    : m_keymapPath(std::move(keymapPath)), m_state(std::make_unique<ConfigState>()) {
    m_owner.bindToThisThread();
}

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

std::unique_ptr<ConfigState> ConfigModel::copy() {
    return locked([](const ConfigState& s) { return std::make_unique<ConfigState>(s); });
}

void ConfigModel::merge(const ConfigState& base, const ConfigState& result) {
    locked([&](ConfigState& live) {
        const bool edited = live.image != base.image || live.actions != base.actions;
        mergeEdits(live.image, base.image, result.image);
        mergeEdits(live.syncedImage, base.syncedImage, result.syncedImage);
        mergeEdits(live.actions, base.actions, result.actions);
        mergeEdits(live.syncedActions, base.syncedActions, result.syncedActions);
        if (edited) {
            recomputeChangedKeys(live);
        } else {
            live.changedKeys = result.changedKeys;
        }
    });
}

Status ConfigModel::save() {
    return saveCopyOf([](const ConfigState& s) { return std::pair{&s.image, &s.actions}; });
}

Status ConfigModel::saveSynced() {
    return saveCopyOf([](const ConfigState& s) {
        return std::pair{&s.syncedImage, &s.syncedActions};
    });
}

Status ConfigModel::saveCopyOf(
    const std::function<std::pair<const Image*, const KeyActionTable*>(const ConfigState&)>& pick) {
    struct Tables {
        Image image;
        KeyActionTable actions;
    };
    // Copied under the lock, written without it.
    const auto tables = locked([&](const ConfigState& s) {
        const auto [image, actions] = pick(s);
        return std::make_unique<Tables>(Tables{*image, *actions});
    });
    return saveConfigFile(m_keymapPath, tables->image, tables->actions);
}

}  // namespace tavrik::model
