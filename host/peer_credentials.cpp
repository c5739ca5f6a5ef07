#include "host/peer_credentials.h"

#include <sys/socket.h>

namespace tavrik::app {

std::optional<PeerCredentials> peerCredentials(int fd) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (fd < 0 || ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 ||
        size != sizeof credentials) {
        return std::nullopt;
    }
    return PeerCredentials{credentials.pid, credentials.uid};
}

}  // namespace tavrik::app
