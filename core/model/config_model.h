#pragma once
// The process-wide configuration. Its owner's thread (the window's, or tavrikctl's main thread)
// edits it in place with the lock held briefly; a device job takes a copy, works on the copy
// without the lock and merges its result back, so the lock is never held across a job or while
// a file is written, only for copies of the ~207 kB state.

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

#include "common/result.h"
#include "model/config_state.h"
#include "model/keymap_file.h"

namespace tavrik::model {

// Holds the model's lock and gives access to the state while it is held; the state cannot be
// reached otherwise.
class StateGuard {
public:
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

    // Holds the lock for a short sequence of edits, as long as the guard lives.
    StateGuard lock() { return {std::unique_lock<std::mutex>(m_mutex), *m_state}; }

    // A copy of the whole state, for a device job to work on.
    std::unique_ptr<ConfigState> copy();
    // Brings a job's result back: each byte takes the job's value, unless the owner changed it
    // since `base` was copied (an edit made while the job ran comes after the job, as if it had
    // waited for it). Changed-key flags are recomputed when the owner edited meanwhile;
    // otherwise they are the job's.
    void merge(const ConfigState& base, const ConfigState& result);

    // Start-up: temporary files of killed saves removed, flags and table zeroed, keymap.bin
    // loaded (or created), own codes, snapshot. With FileWrites::None nothing on disk changes:
    // no temporary file is removed and a missing keymap.bin is not created (a read-only use).
    enum class FileWrites { Allowed, None };
    Status startup(FileWrites writes = FileWrites::Allowed);
    // Reloads only the key action table (before the key assignment dialog opens).
    Status reloadActions();
    // keymap.bin, copied under the lock and written without it.
    Status save();        // current image and table
    Status saveSynced();  // last-synchronised copies (closing without Save)

private:
    Status saveCopyOf(
        const std::function<std::pair<const Image*, const KeyActionTable*>(const ConfigState&)>&
            pick);

    std::filesystem::path m_keymapPath;
    std::mutex m_mutex;
    std::unique_ptr<ConfigState> m_state;
};

}  // namespace tavrik::model
