#pragma once
// The acknowledgement flag: set by the reader thread when the keyboard acknowledges, awaited by
// write-all with a bound. A wait fails at once when no reader is running, since then no
// acknowledgement can arrive.

#include <chrono>
#include <condition_variable>

#include "common/thread_annotations.h"
#include "device/sequences.h"

namespace tavrik::device {

class Acknowledgement final : public AckWait {
public:
    explicit Acknowledgement(std::chrono::milliseconds bound) : m_bound(bound) {}

    void clear() override;
    Status wait() override;

    void set();
    void setReaderAlive(bool alive);

private:
    std::chrono::milliseconds m_bound;
    Mutex m_mutex;
    std::condition_variable m_changed;
    bool m_flag TAVRIK_GUARDED_BY(m_mutex) = false;
    bool m_readerAlive TAVRIK_GUARDED_BY(m_mutex) = false;
};

}  // namespace tavrik::device
