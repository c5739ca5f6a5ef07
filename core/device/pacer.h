#pragma once
// Every pause the device code keeps goes through a Pacer, so that real runs sleep and tests
// record the pauses (and advance the emulator's clock) instead.

#include <chrono>
#include <vector>

#include "common/thread_annotations.h"

namespace tavrik::device {

class Pacer {
public:
    virtual ~Pacer() = default;
    virtual void pause(std::chrono::milliseconds duration) = 0;
    // Gives up the time slice: a pause of 0 ms.
    virtual void yield() = 0;
};

// Sleeps for real.
class SleepPacer final : public Pacer {
public:
    void pause(std::chrono::milliseconds duration) override;
    void yield() override;
};

// Records each pause (a yield as 0 ms) and keeps a virtual clock that the pauses advance.
// Thread-safe.
class RecordingPacer final : public Pacer {
public:
    void pause(std::chrono::milliseconds duration) override;
    void yield() override;

    // The pauses recorded since the last take(), which clears them.
    std::vector<std::chrono::milliseconds> take();
    std::vector<std::chrono::milliseconds> recorded() const;
    // Sum of every pause since construction: the virtual time.
    std::chrono::microseconds elapsed() const;
    // Stops keeping the list (the clock still advances), for long runs.
    void setKeepLog(bool keep);

private:
    mutable Mutex m_mutex;
    std::vector<std::chrono::milliseconds> m_log TAVRIK_GUARDED_BY(m_mutex);
    std::chrono::microseconds m_elapsed TAVRIK_GUARDED_BY(m_mutex){0};
    bool m_keepLog TAVRIK_GUARDED_BY(m_mutex) = true;
};

}  // namespace tavrik::device
