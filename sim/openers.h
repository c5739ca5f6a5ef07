#pragma once
// Channel openers onto the emulated keyboard: in-process and through a kbsim socket.

#include <string>

#include "device/channel_opener.h"
#include "sim/firmware.h"

namespace tavrik::sim {

class SimOpener final : public device::ChannelOpener {
public:
    explicit SimOpener(Firmware& firmware) : m_firmware(firmware) {}
    device::OpenedChannel open(device::ChannelRole role) override;
    bool keyboardPresent() override { return m_firmware.plugged(); }

private:
    Firmware& m_firmware;
};

class SocketOpener final : public device::ChannelOpener {
public:
    explicit SocketOpener(std::string socketPath) : m_path(std::move(socketPath)) {}
    device::OpenedChannel open(device::ChannelRole role) override;
    // Asks the server through a short monitor connection.
    bool keyboardPresent() override;

private:
    std::string m_path;
};

}  // namespace tavrik::sim
