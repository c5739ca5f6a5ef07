#include "sim/sim_channel.h"

#include <algorithm>

namespace tavrik::sim {

namespace {
Error gone() {
    return deviceError("emulated keyboard not connected");
}
}  // namespace

SimChannel::SimChannel(Firmware& firmware)
    : m_firmware(firmware), m_generation(firmware.generation()) {}

bool SimChannel::alive() const {
    return !m_closed && m_firmware.plugged() && m_firmware.generation() == m_generation;
}

Status SimChannel::setFeature(std::span<const std::uint8_t, device::kFeatureReportSize> report) {
    if (!alive() || !m_firmware.receiveFeature(report)) return gone();
    return {};
}

Status SimChannel::getFeature(std::span<std::uint8_t, device::kFeatureReportSize> buffer) {
    if (!alive()) return gone();
    std::optional<FeatureReport> reply = m_firmware.replyFeature();
    if (!reply) return deviceError("no reply to get feature");
    std::copy(reply->begin(), reply->end(), buffer.begin());
    return {};
}

Status SimChannel::writeData(std::span<const std::uint8_t, device::kDataReportSize> report) {
    if (!alive() || !m_firmware.receiveData(report)) return gone();
    return {};
}

Status SimChannel::readData(std::span<std::uint8_t, device::kDataReportSize> buffer) {
    if (!alive()) return gone();
    std::optional<DataReport> packet = m_firmware.sendData();
    if (!packet) return deviceError("no data report to read");
    std::copy(packet->begin(), packet->end(), buffer.begin());
    return {};
}

Result<std::optional<device::EventReport>> SimChannel::readEvent(
    std::chrono::milliseconds timeout) {
    using Out = std::optional<device::EventReport>;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (!alive()) return gone();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        std::optional<std::vector<std::uint8_t>> bytes =
            m_firmware.nextEvent(std::max(left, std::chrono::milliseconds{0}), &m_cancelled);
        if (!bytes) return alive() ? Result<Out>(Out{}) : Result<Out>(gone());
        if (device::isEventReport(*bytes)) {
            device::EventReport r{};
            std::copy(bytes->begin(), bytes->end(), r.begin());
            return Out{r};
        }
    }
}

void SimChannel::cancelReads() {
    m_cancelled = true;
    m_firmware.wakeEventReaders();
}

void SimChannel::close() {
    m_closed = true;
}

device::OpenedChannel openSimChannel(Firmware& firmware, device::ChannelRole) {
    device::OpenedChannel out;
    if (!firmware.plugged()) return out;
    if (firmware.accessDenied()) {
        out.status = device::ConnectionState::NoPermission;
        return out;
    }
    out.status = device::ConnectionState::Connected;
    out.channel = std::make_unique<SimChannel>(firmware);
    out.path = "emulated";
    return out;
}

}  // namespace tavrik::sim
