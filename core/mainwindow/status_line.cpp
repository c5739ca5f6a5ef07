#include "mainwindow/status_line.h"

namespace tavrik::mainwindow {
namespace {

const BiText& connectedText(device::Transport transport) {
    switch (transport) {
        case device::Transport::Hid:
            return kStatusConnected;
        case device::Transport::Socket:
        case device::Transport::Emulated:
            break;
    }
    return kStatusEmulated;
}

}  // namespace

std::string statusLineText(device::ConnectionState state, device::Transport transport,
                           appconfig::Version firmware, Language lang) {
    using device::ConnectionState;
    switch (state) {
        case ConnectionState::Absent:
        case ConnectionState::Failed:
            return std::string(kStatusAbsent.in(lang));
        case ConnectionState::NoPermission:
            return std::string(kStatusNoPermission.in(lang));
        case ConnectionState::Connected:
            break;
    }
    std::string text(connectedText(transport).in(lang));
    if (firmware == appconfig::Version{}) return text;
    return text + " · " + std::string(kStatusFirmware.in(lang)) + " " +
           std::to_string(firmware.major) + "." + std::to_string(firmware.minor);
}

}  // namespace tavrik::mainwindow
