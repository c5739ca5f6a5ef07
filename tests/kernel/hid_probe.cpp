// tavrik-hid-probe: what hidapi and the tool's transport see of the keyboard, for tests/kernel
// inside the virtual machine.
//     tavrik-hid-probe list     one line per hid_enumerate entry of vendor 0x04D9, then the
//                               command and event channels the transport chooses
//     tavrik-hid-probe rtt N    N start-up reads on the command channel; prints the rig's
//                               cost of one report beyond the pauses (median run)

#include <hidapi/hidapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "device/command_set.h"
#include "device/commands.h"
#include "device/discovery.h"
#include "device/pacer.h"
#include "device/reports.h"
#include "device/sequences.h"
#include "transport/hid_transport.h"

namespace {

using tavrik::device::ChannelRole;
using tavrik::device::ConnectionState;

const char* statusName(ConnectionState s) {
    switch (s) {
        case ConnectionState::Connected:
            return "opened";
        case ConnectionState::Absent:
            return "not-present";
        case ConnectionState::NoPermission:
            return "no-permission";
        case ConnectionState::Failed:
            return "failed";
    }
    return "?";
}

int list() {
    hid_init();
    hid_device_info* all = hid_enumerate(tavrik::device::kVendorId, 0);
    for (const hid_device_info* d = all; d != nullptr; d = d->next) {
        std::printf("entry path=%s vid=%04x pid=%04x interface=%d usage_page=%04x usage=%04x\n",
                    d->path, d->vendor_id, d->product_id, d->interface_number, d->usage_page,
                    d->usage);
    }
    hid_free_enumeration(all);
    for (const auto& [role, name] :
         {std::pair{ChannelRole::Command, "command"}, std::pair{ChannelRole::Event, "event"}}) {
        tavrik::device::OpenedChannel c = tavrik::hid::openChannel(role);
        std::printf("%s %s %s\n", name, c.path.empty() ? "-" : c.path.c_str(),
                    statusName(c.status));
    }
    return 0;
}

// Sleeps like the tool's pacer and adds the pauses up.
class SummingPacer final : public tavrik::device::Pacer {
public:
    void pause(std::chrono::milliseconds d) override {
        m_sum += d;
        m_sleep.pause(d);
    }
    void yield() override { m_sleep.yield(); }
    std::chrono::milliseconds sum() const { return m_sum; }

private:
    tavrik::device::SleepPacer m_sleep;
    std::chrono::milliseconds m_sum{0};
};

// The rig's own cost of one report: the tool's start-up read (the same reports, the same mix
// of control-pipe exchanges and interrupt-endpoint packets, the same pauses, so the virtual
// machine's wake-up after each pause is in it too) by a program that does nothing else,
// `count` times; of the median run, the time beyond its pauses divided by its reports.
int rtt(int count) {
    using namespace std::chrono;
    namespace dev = tavrik::device;
    dev::OpenedChannel c = tavrik::hid::openChannel(ChannelRole::Command);
    if (c.status != ConnectionState::Connected) {
        std::fprintf(stderr, "command channel: %s\n", statusName(c.status));
        return 1;
    }
    // Counts the reports: every call on the channel moves one.
    struct Counting final : dev::Channel {
        dev::Channel& inner;
        std::size_t reports = 0;
        explicit Counting(dev::Channel& c) : inner(c) {}
        tavrik::Status setFeature(
            std::span<const std::uint8_t, dev::kFeatureReportSize> r) override {
            ++reports;
            return inner.setFeature(r);
        }
        tavrik::Status getFeature(std::span<std::uint8_t, dev::kFeatureReportSize> b) override {
            ++reports;
            return inner.getFeature(b);
        }
        tavrik::Status writeData(std::span<const std::uint8_t, dev::kDataReportSize> r) override {
            ++reports;
            return inner.writeData(r);
        }
        tavrik::Status readData(std::span<std::uint8_t, dev::kDataReportSize> b) override {
            ++reports;
            return inner.readData(b);
        }
        tavrik::Result<std::optional<dev::EventReport>> readEvent(milliseconds t) override {
            return inner.readEvent(t);
        }
        void close() override { inner.close(); }
    } counting(*c.channel);
    std::vector<double> runs;
    for (int i = 0; i < count; ++i) {
        counting.reports = 0;
        SummingPacer pacer;
        tavrik::model::Image image{};
        dev::FirmwareVersion version;
        const auto start = steady_clock::now();
        tavrik::Status s = dev::readAll({counting, pacer}, image, dev::ReadMode::Startup, &version);
        if (s) s = dev::readLighting({counting, pacer}, image);
        if (!s) {
            std::fprintf(stderr, "read %d failed: %s\n", i, s.error().context.c_str());
            return 1;
        }
        runs.push_back(duration<double, std::milli>(steady_clock::now() - start).count());
    }
    std::sort(runs.begin(), runs.end());
    const double median = runs[runs.size() / 2];
    std::printf(
        "rtt %.3f ms per report (start-up read of %zu reports without pauses: median "
        "%.1f ms of %d)\n",
        median / static_cast<double>(counting.reports), counting.reports, median, count);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "list" && argc == 2) return list();
    if (verb == "rtt" && argc == 3) return rtt(std::stoi(argv[2]));
    std::fprintf(stderr, "usage: tavrik-hid-probe list | rtt N\n");
    return 2;
}
