#pragma once
// Whether the keyboard can be reached, and how. The device session keeps the one current
// connection state (after every opening, arrival, removal and failed job); the window's status
// line, tavrikctl's answers, its messages and its exit codes are all derived from it.

#include <optional>
#include <string_view>

#include "common/result.h"

namespace tavrik::device {

enum class ConnectionState {
    Connected,     // the command channel is open
    Absent,        // no keyboard found (or it left)
    NoPermission,  // a keyboard this user may not open (the udev rule is missing)
    Failed,        // a keyboard found whose channels could not be opened for another reason
};

// "connected", "absent", "no-permission", "failed": the word of the control protocol.
const char* connectionStateName(ConnectionState state);
std::optional<ConnectionState> connectionStateFromName(std::string_view name);

// What a job's failure says about the keyboard: Absent for a keyboard that is not there or
// left during the job, NoPermission for one that is refused; nothing for every other failure.
std::optional<ConnectionState> unreachableAfter(ErrorKind kind);

// How the keyboard is reached.
enum class Transport {
    Hid,       // the real keyboard through hidapi
    Socket,    // a running tavrik-kbsim (--sim-socket)
    Emulated,  // the emulator in-process (--simulate)
};

// "hid", "socket", "emulated": the word tavrikctl prints and the control protocol carries.
const char* transportName(Transport transport);
std::optional<Transport> transportFromName(std::string_view name);

}  // namespace tavrik::device
