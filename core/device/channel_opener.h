#pragma once
// Opens the keyboard's channels for the session: hidapi channels, the in-process emulator or a
// kbsim socket.

#include "device/channel.h"

namespace tavrik::device {

class ChannelOpener {
public:
    virtual ~ChannelOpener() = default;
    virtual OpenedChannel open(ChannelRole role) = 0;
    // True when the keyboard is present, whether or not its channels are open.
    virtual bool keyboardPresent() = 0;
};

}  // namespace tavrik::device
