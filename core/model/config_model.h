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

// Holds the model's lock and gives access to the state while it is held; the state cannot be
// reached otherwise. A guard from tryLock() may hold nothing: test it before use.
class StateGuard {
public:
    explicit operator bool() const { return m_lock.owns_lock(); }
    ConfigState* operator->() const { return m_state; }
    ConfigState& operator*() const { return *m_state; }
    // Releases the lock early; the state is out of reach from then on.
    void unlock() {
        m_state = nullptr;
        if (m_lock.owns_lock()) m_lock.unlock();
    }

private:
    friend class ConfigModel;
    StateGuard(std::unique_lock<std::mutex> lock, ConfigState& state)
        : m_lock(std::move(lock)), m_state(m_lock.owns_lock() ? &state : nullptr) {}

    std::unique_lock<std::mutex> m_lock;
    ConfigState* m_state;
};

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

    // Holds the lock for a longer sequence, as long as the guard lives.
    StateGuard lock() { return {std::unique_lock<std::mutex>(m_mutex), *m_state}; }
    // Takes the lock only if it is free (the window thread must not wait for a device job).
    StateGuard tryLock() {
        return {std::unique_lock<std::mutex>(m_mutex, std::try_to_lock), *m_state};
    }

    // Start-up: temporary files of killed saves removed, flags and table zeroed, keymap.bin
    // loaded (or created), own codes, snapshot. With FileWrites::None nothing on disk changes:
    // no temporary file is removed and a missing keymap.bin is not created (a read-only use).
    enum class FileWrites { Allowed, None };
    Status startup(FileWrites writes = FileWrites::Allowed);
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
