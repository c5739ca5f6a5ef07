#pragma once
// The process-wide configuration, shared by the window thread and the device worker. One mutex
// guards it and is held for a whole read-all, write-all, load or save.

#include <filesystem>
#include <memory>
#include <mutex>
#include <utility>

#include "common/result.h"
#include "model/config_state.h"
#include "model/keymap_file.h"

namespace tavrik::model {

class ConfigModel {
public:
    explicit ConfigModel(std::filesystem::path keymapPath);

    const std::filesystem::path& keymapPath() const { return m_keymapPath; }

    // Runs f(ConfigState&) with the lock held and returns what f returns.
    template <typename F>
    decltype(auto) withLock(F&& f) {
        std::lock_guard<std::mutex> guard(m_mutex);
        return std::forward<F>(f)(*m_state);
    }

    // Holds the lock for a longer sequence; state() may only be used while it is held.
    std::unique_lock<std::mutex> lock() { return std::unique_lock<std::mutex>(m_mutex); }
    // Takes the lock only if it is free (the window thread must not wait for a device job);
    // check owns_lock() before using state().
    std::unique_lock<std::mutex> tryLock() {
        return std::unique_lock<std::mutex>(m_mutex, std::try_to_lock);
    }
    ConfigState& state() { return *m_state; }

    // Start-up: temporary files of killed saves removed, flags and table zeroed, keymap.bin
    // loaded (or created), own codes, snapshot.
    Status startup();
    // Reloads only the key action table (before the key assignment dialog opens).
    Status reloadActions();
    Status save();        // current image and table
    Status saveSynced();  // last-synchronised copies (closing without Save)

private:
    std::filesystem::path m_keymapPath;
    std::mutex m_mutex;
    std::unique_ptr<ConfigState> m_state;
};

}  // namespace tavrik::model
