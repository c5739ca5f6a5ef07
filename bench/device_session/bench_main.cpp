// Device sequences against the emulated keyboard with real pauses: each sequence's wall time
// against the sum of the pauses it asks for (the pause floor), and the acknowledgement latency.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "device/acknowledgement.h"
#include "device/pacer.h"
#include "device/sequences.h"
#include "sim/firmware.h"
#include "sim/sim_channel.h"

namespace {

using namespace tavrik;
using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

namespace img = model::image;

// Sleeps for real and adds up what was asked for.
class FloorPacer final : public device::Pacer {
public:
    void pause(milliseconds d) override {
        m_floor += d;
        m_real.pause(d);
    }
    void yield() override { m_real.yield(); }
    microseconds take() {
        const microseconds f = m_floor;
        m_floor = microseconds{0};
        return f;
    }

private:
    device::SleepPacer m_real;
    microseconds m_floor{0};
};

// Times every acknowledgement wait.
class TimedAck final : public device::AckWait {
public:
    explicit TimedAck(device::Acknowledgement& ack) : m_ack(ack) {}
    void clear() override { m_ack.clear(); }
    Status wait() override {
        const auto start = Clock::now();
        Status s = m_ack.wait();
        waits.push_back(std::chrono::duration_cast<microseconds>(Clock::now() - start));
        return s;
    }
    std::vector<microseconds> waits;

private:
    device::Acknowledgement& m_ack;
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
    sim::SimChannel events(firmware);
    FloorPacer pacer;
    device::Link link{command, pacer};
    device::Acknowledgement ack(milliseconds{2000});
    ack.setReaderAlive(true);
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        while (!stop) {
            auto r = events.readEvent(milliseconds{200});
            if (r && r.value() && device::isAcknowledgement(*r.value())) ack.set();
        }
    });

    model::Image image{};
    model::Image synced{};
    TimedAck timed(ack);
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
            runs.push_back({name, ms(wall), ms(pacer.take())});
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
        std::printf("acknowledgement wait: %zu waits, mean %.3f ms, min %.3f ms, max %.3f ms\n",
                    timed.waits.size(), ms(sum) / static_cast<double>(timed.waits.size()), ms(*lo),
                    ms(*hi));
    }
    const auto errors = firmware.protocolErrors();
    std::printf("protocol errors: %zu\n", errors.size());
    for (const auto& e : errors) std::printf("  %s\n", e.c_str());
    return errors.empty() ? 0 : 1;
}
