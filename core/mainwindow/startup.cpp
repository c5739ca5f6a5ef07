#include "mainwindow/startup.h"

#include "mainwindow/texts.h"

namespace tavrik::mainwindow {

StartupPresentation startupPresentation(device::ConnectionState keyboard, bool trayAvailable) {
    using device::ConnectionState;
    switch (keyboard) {
        case ConnectionState::Connected:
            return {true, std::nullopt};
        case ConnectionState::NoPermission:
            return {true, text::kNoPermission};
        case ConnectionState::Absent:
        case ConnectionState::Failed:
            if (trayAvailable) return {false, std::nullopt};
            return {true, text::kNoKeyboard};
    }
    return {};
}

}  // namespace tavrik::mainwindow
