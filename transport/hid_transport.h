#pragma once
// The keyboard reached through hidapi's hidraw backend: enumeration, channel selection, the
// command channel and a presence check (the event channel is HidEventChannel).

#include <string>
#include <vector>

#include "device/channel.h"
#include "device/discovery.h"

struct hid_device_;

namespace tavrik::hid {

// Every HID interface of the keyboard's vendor, numbered by collection.
std::vector<device::HidInterfaceInfo> enumerateInterfaces();

// Finds and opens the channel of the given role. NoPermission when the keyboard's node exists
// but may not be opened (the udev rule is missing).
device::OpenedChannel openChannel(device::ChannelRole role);

// True when a keyboard (either product) is enumerated.
bool keyboardPresent();

// The command channel: feature and data reports through hidapi.
class HidChannel final : public device::Channel {
public:
    explicit HidChannel(hid_device_* device);
    ~HidChannel() override;
    HidChannel(const HidChannel&) = delete;
    HidChannel& operator=(const HidChannel&) = delete;

    Status setFeature(std::span<const std::uint8_t, device::kFeatureReportSize> report) override;
    Status getFeature(std::span<std::uint8_t, device::kFeatureReportSize> buffer) override;
    Status writeData(std::span<const std::uint8_t, device::kDataReportSize> report) override;
    Status readData(std::span<std::uint8_t, device::kDataReportSize> buffer) override;
    Result<std::optional<device::EventReport>> readEvent(
        std::chrono::milliseconds timeout) override;
    void close() override;

private:
    Error failure(const char* what) const;

    hid_device_* m_device;
};

}  // namespace tavrik::hid
