#include "mainwindow/startup.h"

#include "mainwindow/texts.h"

namespace tavrik::mainwindow {

StartupPresentation startupPresentation(KeyboardAtStart keyboard, bool trayAvailable) {
    switch (keyboard) {
        case KeyboardAtStart::Connected:
            return {true, std::nullopt};
        case KeyboardAtStart::NoPermission:
            return {true, text::kNoPermission};
        case KeyboardAtStart::Absent:
            if (trayAvailable) return {false, std::nullopt};
            return {true, text::kNoKeyboard};
    }
    return {};
}

}  // namespace tavrik::mainwindow
