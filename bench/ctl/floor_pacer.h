#pragma once
// A pacer for the benchmarks: sleeps for real and adds up what was asked for, so that a run's
// wall time can be set against the keyboard's own pauses.

#include <chrono>

#include "device/pacer.h"

namespace tavrik::bench {

class FloorPacer final : public device::Pacer {
public:
    void pause(std::chrono::milliseconds d) override {
        m_floor += d;
        m_real.pause(d);
    }
    void yield() override { m_real.yield(); }
    double floorMs() const { return double(m_floor.count()); }

private:
    device::SleepPacer m_real;
    std::chrono::milliseconds m_floor{0};
};

}  // namespace tavrik::bench
