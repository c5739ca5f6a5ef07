#pragma once
// The emulated keyboard behind an in-process channel, its clock driven by a recording pacer,
// with every report the host sends captured.

#include <mutex>
#include <vector>

#include "device/command_set.h"
#include "device/pacer.h"
#include "sim/firmware.h"
#include "sim/sim_channel.h"

namespace tavrik::device::testing_support {

struct SentReport {
    sim::ReportKind kind;
    std::vector<std::uint8_t> bytes;
};

class Wire {
public:
    Wire() : firmware([this] { return pacer.elapsed(); }), channel(firmware) {
        firmware.setTrace(
            [this](sim::Direction d, sim::ReportKind k, std::span<const std::uint8_t> b) {
                if (d != sim::Direction::HostToKeyboard) return;
                std::lock_guard<std::mutex> guard(m_mutex);
                m_sent.push_back({k, std::vector<std::uint8_t>(b.begin(), b.end())});
            });
    }

    Link link() { return Link{channel, pacer}; }

    std::vector<SentReport> takeSent() {
        std::lock_guard<std::mutex> guard(m_mutex);
        std::vector<SentReport> out;
        out.swap(m_sent);
        return out;
    }

    RecordingPacer pacer;
    sim::Firmware firmware;
    sim::SimChannel channel;

private:
    std::mutex m_mutex;
    std::vector<SentReport> m_sent;
};

}  // namespace tavrik::device::testing_support
