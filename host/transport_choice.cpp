#include "host/transport_choice.h"

namespace tavrik::app {

device::Transport transportFor(const appconfig::Options& options) {
    if (options.simulate) return device::Transport::Emulated;
    return options.simSocket.empty() ? device::Transport::Hid : device::Transport::Socket;
}

}  // namespace tavrik::app
