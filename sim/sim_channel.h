#pragma once
// The in-process Channel onto the emulated keyboard. A channel opened before an unplug stays
// dead after the keyboard is plugged again, like a hidraw node that went away.

#include <atomic>
#include <memory>

#include "device/channel.h"
#include "sim/firmware.h"

namespace tavrik::sim {

class SimChannel final : public device::Channel {
public:
    explicit SimChannel(Firmware& firmware);

    Status setFeature(std::span<const std::uint8_t, device::kFeatureReportSize> report) override;
    Status getFeature(std::span<std::uint8_t, device::kFeatureReportSize> buffer) override;
    Status writeData(std::span<const std::uint8_t, device::kDataReportSize> report) override;
    Status readData(std::span<std::uint8_t, device::kDataReportSize> buffer) override;
    Result<std::optional<device::EventReport>> readEvent(
        std::chrono::milliseconds timeout) override;
    void close() override;
    void cancelReads() override;

private:
    bool alive() const;

    Firmware& m_firmware;
    std::uint64_t m_generation;
    std::atomic<bool> m_closed{false};
    std::atomic<bool> m_cancelled{false};
};

// Opens a channel when the emulated keyboard is plugged in.
device::OpenedChannel openSimChannel(Firmware& firmware, device::ChannelRole role);

}  // namespace tavrik::sim
