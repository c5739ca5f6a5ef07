// Device sequences against the emulated keyboard with real pauses: each sequence's wall time
// against the sum of the pauses it asks for (the pause floor), and the acknowledgement hand-off:
// the emulator acknowledges a write step at once, so each acknowledgement is held back on the
// event channel until write-all has begun to wait for it, then passes through the reader thread
// to the waiting write-all. The figure is that hand-off, from the start of the wait.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "device/acknowledgement.h"
#include "device/channel.h"
#include "device/pacer.h"
#include "device/pauses.h"
#include "device/sequences.h"
#include "floor_pacer.h"
#include "sim/firmware.h"
#include "sim/sim_channel.h"

namespace {

using namespace tavrik;
using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

namespace img = model::image;

using bench::FloorPacer;

// The event channel. Between arm() and release() an acknowledgement read from the emulator is
// held back; release() lets it through. Outside that window reports pass at once.
class HeldAckChannel final : public device::Channel {
public:
    explicit HeldAckChannel(device::Channel& inner) : m_inner(inner) {}

    Status setFeature(std::span<const std::uint8_t, device::kFeatureReportSize> r) override {
        return m_inner.setFeature(r);
    }
    Status getFeature(std::span<std::uint8_t, device::kFeatureReportSize> b) override {
        return m_inner.getFeature(b);
    }
    Status writeData(std::span<const std::uint8_t, device::kDataReportSize> r) override {
        return m_inner.writeData(r);
    }
    Status readData(std::span<std::uint8_t, device::kDataReportSize> b) override {
        return m_inner.readData(b);
    }
    Result<std::optional<device::EventReport>> readEvent(milliseconds timeout) override {
        auto r = m_inner.readEvent(timeout);
        if (!r || !r.value() || !device::isAcknowledgement(*r.value())) return r;
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_released.wait_for(lock, milliseconds{5000}, [this] { return !m_armed; })) {
            ++heldTooLong;
            m_armed = false;
        }
        return r;
    }
    void close() override { m_inner.close(); }

    void arm() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_armed = true;
    }
    void release() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_armed = false;
        }
        m_released.notify_one();
    }
    std::atomic<int> heldTooLong{0};

private:
    device::Channel& m_inner;
    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_armed = false;
};

// Times every acknowledgement wait. The acknowledgement of the step just sent is held back from
// clear() on and let through once the wait has begun.
class TimedAck final : public device::AckWait {
public:
    TimedAck(device::Acknowledgement& ack, HeldAckChannel& events) : m_ack(ack), m_events(events) {}
    void clear() override {
        m_ack.clear();
        m_events.arm();
    }
    Status wait() override {
        const auto start = Clock::now();
        m_events.release();
        Status s = m_ack.wait();
        waits.push_back(std::chrono::duration_cast<microseconds>(Clock::now() - start));
        return s;
    }
    std::vector<microseconds> waits;

private:
    device::Acknowledgement& m_ack;
    HeldAckChannel& m_events;
};

struct Row {
    const char* name;
    double wallMs = 0;
    double floorMs = 0;
};

double ms(microseconds d) {
    return static_cast<double>(d.count()) / 1000.0;
}

}  // namespace

int main() {
    sim::Firmware firmware;  // steady clock: checks the real pauses
    sim::SimChannel command(firmware);
    sim::SimChannel simEvents(firmware);
    HeldAckChannel events(simEvents);
    FloorPacer pacer;
    device::Link link{command, pacer};
    device::Acknowledgement ack(milliseconds{2000});
    ack.setReaderAlive(true);
    std::atomic<bool> stop{false};
    // Reads the event channel as the session's reader thread does.
    std::thread reader([&] {
        while (!stop) {
            auto r = events.readEvent(device::pause::kEventReadTimeout);
            if (!r) break;
            if (r.value() && device::isAcknowledgement(*r.value())) ack.set();
        }
    });

    model::Image image{};
    model::Image synced{};
    TimedAck timed(ack, events);
    std::vector<Row> rows;
    // Each sequence runs five times; the row shows the median run.
    auto measure = [&](const char* name, const std::function<Status()>& run) {
        std::vector<Row> runs;
        for (int i = 0; i < 5; ++i) {
            pacer.take();
            const auto start = Clock::now();
            const Status s = run();
            const auto wall = std::chrono::duration_cast<microseconds>(Clock::now() - start);
            if (!s) std::fprintf(stderr, "%s failed: %s\n", name, s.error().context.c_str());
            runs.push_back({name, ms(wall), pacer.take()});
        }
        std::sort(runs.begin(), runs.end(), [](const Row& a, const Row& b) {
            return a.wallMs - a.floorMs < b.wallMs - b.floorMs;
        });
        rows.push_back(runs[runs.size() / 2]);
    };

    measure("start-up read", [&] {
        device::FirmwareVersion v;
        return device::readAll(link, image, device::ReadMode::Startup, &v);
    });
    measure("read-all", [&] { return device::readAll(link, image, device::ReadMode::Plain); });
    synced = image;
    measure("write-all, one key", [&] {
        image[img::kKeyCodeArea + 40] ^= 0x01;
        return device::writeAll(link, image, synced, timed);
    });
    measure("write-all, one DIY table", [&] {
        image[img::diyTable(3) + 17] ^= 0x10;
        return device::writeAll(link, image, synced, timed);
    });
    measure("write-all, lighting only", [&] {
        image[img::kBrightness] = static_cast<std::uint8_t>(image[img::kBrightness] ^ 1);
        return device::writeAll(link, image, synced, timed);
    });
    stop = true;
    reader.join();

    std::printf("%-26s %10s %10s %10s %8s\n", "sequence", "wall ms", "floor ms", "extra ms",
                "extra %");
    for (const Row& r : rows) {
        std::printf("%-26s %10.2f %10.2f %10.2f %7.2f%%\n", r.name, r.wallMs, r.floorMs,
                    r.wallMs - r.floorMs, 100.0 * (r.wallMs - r.floorMs) / r.floorMs);
    }
    if (!timed.waits.empty()) {
        const auto [lo, hi] = std::minmax_element(timed.waits.begin(), timed.waits.end());
        microseconds sum{0};
        for (auto w : timed.waits) sum += w;
        std::printf(
            "acknowledgement hand-off from the start of the wait: %zu waits, mean %.3f ms, "
            "min %.3f ms, max %.3f ms\n",
            timed.waits.size(), ms(sum) / static_cast<double>(timed.waits.size()), ms(*lo),
            ms(*hi));
        if (events.heldTooLong > 0) {
            std::printf("acknowledgements held 5 s without a wait: %d\n",
                        events.heldTooLong.load());
        }
    }
    const auto errors = firmware.protocolErrors();
    std::printf("protocol errors: %zu\n", errors.size());
    for (const auto& e : errors) std::printf("  %s\n", e.c_str());
    return errors.empty() ? 0 : 1;
}
