#include "sim/openers.h"

#include "sim/sim_channel.h"
#include "sim/socket_channel.h"

namespace tavrik::sim {

device::OpenedChannel SimOpener::open(device::ChannelRole role) {
    return openSimChannel(m_firmware, role);
}

device::OpenedChannel SocketOpener::open(device::ChannelRole role) {
    return SocketChannel::open(m_path, role);
}

bool SocketOpener::keyboardPresent() {
    return socketKeyboardPresent(m_path);
}

}  // namespace tavrik::sim
