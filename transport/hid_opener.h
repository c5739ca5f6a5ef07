#pragma once
// The session's opener onto a real keyboard through hidapi.

#include "device/channel_opener.h"
#include "transport/hid_transport.h"

namespace tavrik::hid {

class HidOpener final : public device::ChannelOpener {
public:
    device::OpenedChannel open(device::ChannelRole role) override { return openChannel(role); }
    bool keyboardPresent() override { return hid::keyboardPresent(); }
};

}  // namespace tavrik::hid
