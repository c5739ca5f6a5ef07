#pragma once
// The acknowledgement flag: set by the reader thread when the keyboard acknowledges, awaited by
// write-all with a bound. A wait fails at once when no reader is running, since then no
// acknowledgement can arrive.

#include <chrono>
#include <condition_variable>
#include <mutex>

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
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_flag = false;
    bool m_readerAlive = false;
};

}  // namespace tavrik::device
