#include "device/connection_state.h"

#include <array>
#include <utility>

namespace tavrik::device {
namespace {

constexpr std::array<ConnectionState, 4> kStates{
    ConnectionState::Connected, ConnectionState::Absent, ConnectionState::NoPermission,
    ConnectionState::Failed};
constexpr std::array<Transport, 3> kTransports{Transport::Hid, Transport::Socket,
                                               Transport::Emulated};

}  // namespace

const char* connectionStateName(ConnectionState state) {
    switch (state) {
        case ConnectionState::Connected:
            return "connected";
        case ConnectionState::Absent:
            return "absent";
        case ConnectionState::NoPermission:
            return "no-permission";
        case ConnectionState::Failed:
            return "failed";
    }
    return "absent";
}

std::optional<ConnectionState> connectionStateFromName(std::string_view name) {
    for (const ConnectionState s : kStates) {
        if (name == connectionStateName(s)) return s;
    }
    return std::nullopt;
}

std::optional<ConnectionState> unreachableAfter(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::NotConnected:
        case ErrorKind::Unplugged:
            return ConnectionState::Absent;
        case ErrorKind::NoPermission:
            return ConnectionState::NoPermission;
        case ErrorKind::Device:
        case ErrorKind::Value:
        case ErrorKind::System:
        case ErrorKind::NoAcknowledgement:
            break;
    }
    return std::nullopt;
}

const char* transportName(Transport transport) {
    switch (transport) {
        case Transport::Hid:
            return "hid";
        case Transport::Socket:
            return "socket";
        case Transport::Emulated:
            return "emulated";
    }
    return "hid";
}

std::optional<Transport> transportFromName(std::string_view name) {
    for (const Transport t : kTransports) {
        if (name == transportName(t)) return t;
    }
    return std::nullopt;
}

}  // namespace tavrik::device
