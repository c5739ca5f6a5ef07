#pragma once
// The monotonic counter that recording measures delays with, injected so that tests control it.

#include <chrono>
#include <cstdint>

namespace tavrik::macro {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t ticks() const = 0;      // monotonic counter value
    virtual std::int64_t frequency() const = 0;  // ticks per second, > 0
};

// std::chrono::steady_clock in nanoseconds.
class SteadyClock final : public Clock {
public:
    std::int64_t ticks() const override {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    std::int64_t frequency() const override { return 1'000'000'000; }
};

// Milliseconds in `ticks` at `frequency`: microseconds first, then whole milliseconds, both
// truncating, capped at 60000. Exact without overflowing 64 bits; a negative span gives 0.
int elapsedMilliseconds(std::int64_t ticks, std::int64_t frequency);

}  // namespace tavrik::macro
