#pragma once
// The event channel of the real keyboard: its hidraw node read with poll(), beside an eventfd
// that cancelReads() makes readable. hidapi's bounded read cannot be woken from another
// thread, so closing a session through it would wait out a whole read; hidraw hands every
// open file the same input reports, with the report ID in byte 0, as hidapi's read returns
// them. Only event reads: the command channel stays hidapi's.

#include <string>

#include "device/channel.h"

namespace tavrik::hid {

class HidEventChannel final : public device::Channel {
public:
    // Takes ownership of `fd`, an open hidraw node (or, in tests, any descriptor that hands
    // over one report a read).
    explicit HidEventChannel(int fd);
    ~HidEventChannel() override;
    HidEventChannel(const HidEventChannel&) = delete;
    HidEventChannel& operator=(const HidEventChannel&) = delete;

    // Opens the node for reading. NoPermission when it may not be opened (the udev rule is
    // missing), Failed for any other refusal.
    static device::OpenedChannel open(const std::string& path);

    // The event channel carries no feature or data reports: these fail.
    Status setFeature(std::span<const std::uint8_t, device::kFeatureReportSize> report) override;
    Status getFeature(std::span<std::uint8_t, device::kFeatureReportSize> buffer) override;
    Status writeData(std::span<const std::uint8_t, device::kDataReportSize> report) override;
    Status readData(std::span<std::uint8_t, device::kDataReportSize> buffer) override;
    Result<std::optional<device::EventReport>> readEvent(
        std::chrono::milliseconds timeout) override;
    void cancelReads() override;
    void close() override;

private:
    int m_fd;
    int m_wake;  // eventfd: readable once the reads are cancelled
};

}  // namespace tavrik::hid
