#pragma once
// Blocking socket writes shared by the kbsim server and its clients.

#include <cstdint>
#include <vector>

namespace tavrik::sim {

// Sends every byte, retrying after interrupts; false when the peer is gone. Never raises
// SIGPIPE.
bool sendAll(int fd, const std::vector<std::uint8_t>& bytes);

}  // namespace tavrik::sim
