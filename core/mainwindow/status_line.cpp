#include "mainwindow/status_line.h"

namespace tavrik::mainwindow {

std::string statusLineText(ConnectionState state, Version firmware, Language lang) {
    switch (state) {
        case ConnectionState::Absent:
            return std::string(kStatusAbsent.in(lang));
        case ConnectionState::NoPermission:
            return std::string(kStatusNoPermission.in(lang));
        case ConnectionState::Connected:
        case ConnectionState::Emulated:
            break;
    }
    std::string text(
        (state == ConnectionState::Emulated ? kStatusEmulated : kStatusConnected).in(lang));
    if (firmware == Version{}) return text;
    return text + " · " + std::string(kStatusFirmware.in(lang)) + " " +
           std::to_string(firmware.major) + "." + std::to_string(firmware.minor);
}

}  // namespace tavrik::mainwindow
