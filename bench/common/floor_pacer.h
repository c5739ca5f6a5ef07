#pragma once
// A pacer for the benchmarks: sleeps for real and adds up what was asked for, so that a run's
// wall time can be set against the keyboard's own pauses. The session's worker calls it while
// the benchmark reads it.

#include <atomic>
#include <chrono>

#include "device/pacer.h"

namespace tavrik::bench {

class FloorPacer final : public device::Pacer {
public:
    void pause(std::chrono::milliseconds d) override {
        m_floorMs += d.count();
        m_real.pause(d);
    }
    void yield() override { m_real.yield(); }
    // The pauses asked for so far, in ms.
    double floorMs() const { return static_cast<double>(m_floorMs.load()); }
    // The pauses asked for since the last take, in ms.
    double take() { return static_cast<double>(m_floorMs.exchange(0)); }

private:
    device::SleepPacer m_real;
    std::atomic<long long> m_floorMs{0};
};

}  // namespace tavrik::bench
