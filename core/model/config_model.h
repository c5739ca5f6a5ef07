#pragma once
// The process-wide configuration. Its owner's thread (the window's, or tavrikctl's main thread)
// edits it in place with the lock held briefly; a device job takes a copy, works on the copy
// without the lock and merges its result back, so the lock is never held across a job or while
// a file is written, only for copies of the ~207 kB state.
//
// The owner is the thread that made the model, or the one that called bindToThisThread() last.
// Only the owner edits and reads in place (lock(), withLock()) and loads keymap.bin (startup(),
// reloadActions()); any thread may take a copy, merge one back or save (a device job does all
// three). Where asserts are on, an owner-only call from another thread aborts.

#include <cassert>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

#include "common/result.h"
#include "common/thread_annotations.h"
#include "model/config_state.h"
#include "model/keymap_file.h"

namespace tavrik::model {

// Holds the model's lock and gives access to the state while it is held; the state cannot be
// reached otherwise. The lock is taken and given back out of sight of the thread-safety analysis
// (a guard handed to a caller is not a scope the analysis follows); the state it reaches is
// guarded inside ConfigModel.
class StateGuard {
public:
    ~StateGuard() { unlock(); }
    StateGuard(const StateGuard&) = delete;
    StateGuard& operator=(const StateGuard&) = delete;

    ConfigState* operator->() const {
        assert(m_state);  // not after unlock()
        return m_state;
    }
    ConfigState& operator*() const {
        assert(m_state);
        return *m_state;
    }
    // Releases the lock early; the state is out of reach from then on.
    void unlock() TAVRIK_NO_THREAD_SAFETY_ANALYSIS {
        if (!m_state) return;
        m_state = nullptr;
        m_mutex.unlock();
    }

private:
    friend class ConfigModel;
    StateGuard(Mutex& mutex, ConfigState* state) TAVRIK_NO_THREAD_SAFETY_ANALYSIS : m_mutex(mutex),
                                                                                    m_state(state) {
        m_mutex.lock();
    }

    Mutex& m_mutex;
    ConfigState* m_state;
};

class ConfigModel {
public:
    explicit ConfigModel(std::filesystem::path keymapPath);

    const std::filesystem::path& keymapPath() const { return m_keymapPath; }

    // Makes the calling thread the owner (a process that hands the model over).
    void bindToThisThread() { m_owner.bindToThisThread(); }

    // Runs f(ConfigState&) with the lock held and returns what f returns. Owner only.
    template <typename F>
    decltype(auto) withLock(F&& f) {
        m_owner.assertHeld();
        return locked(std::forward<F>(f));
    }

    // Holds the lock for a short sequence of edits, as long as the guard lives. Owner only.
    StateGuard lock() {
        m_owner.assertHeld();
        return {m_mutex, m_state.get()};
    }

    // A copy of the whole state, for a device job to work on.
    std::unique_ptr<ConfigState> copy();
    // Brings a job's result back: each byte takes the job's value, unless the owner changed it
    // since `base` was copied (an edit made while the job ran comes after the job, as if it had
    // waited for it). Changed-key flags are recomputed when the owner edited meanwhile;
    // otherwise they are the job's.
    void merge(const ConfigState& base, const ConfigState& result);

    // Start-up (owner only): temporary files of killed saves removed, flags and table zeroed,
    // keymap.bin loaded (or created), own codes, snapshot. With FileWrites::None nothing on disk
    // changes: no temporary file is removed and a missing keymap.bin is not created (a read-only
    // use).
    enum class FileWrites { Allowed, None };
    Status startup(FileWrites writes = FileWrites::Allowed);
    // Reloads only the key action table (before the key assignment dialog opens). Owner only.
    Status reloadActions();
    // keymap.bin, copied under the lock and written without it.
    Status save();        // current image and table
    Status saveSynced();  // last-synchronised copies (closing without Save)

private:
    // withLock() for any thread.
    template <typename F>
    decltype(auto) locked(F&& f) TAVRIK_EXCLUDES(m_mutex) {
        MutexLock guard(m_mutex);
        return std::forward<F>(f)(*m_state);
    }
    Status saveCopyOf(
        const std::function<std::pair<const Image*, const KeyActionTable*>(const ConfigState&)>&
            pick);

    std::filesystem::path m_keymapPath;
    ThreadRole m_owner;
    Mutex m_mutex;
    std::unique_ptr<ConfigState> m_state TAVRIK_PT_GUARDED_BY(m_mutex);
};

}  // namespace tavrik::model
