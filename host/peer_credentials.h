#pragma once
// Who is at the other end of a connected local socket, as the kernel tells it (SO_PEERCRED):
// both ends of the instance socket check that the other is the same user before they trust it.

#include <sys/types.h>

#include <optional>

namespace tavrik::app {

struct PeerCredentials {
    pid_t pid = 0;
    uid_t uid = 0;
};

// Nothing when `fd` is not a connected local socket.
std::optional<PeerCredentials> peerCredentials(int fd);

}  // namespace tavrik::app
