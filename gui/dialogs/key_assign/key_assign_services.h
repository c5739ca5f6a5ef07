#pragma once
// What the key assignment dialog asks of the desktop: the key hook, the launch path choosers and
// message boxes. The dialog takes them as functions so that tests can drive it without modal
// choosers; desktop() gives the real ones.

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "common/language.h"

class QWidget;

namespace tavrik::app {

class HookReports;

struct KeyMapServices {
    // installhook(reports, mode) and removehook() of the key hook library.
    std::function<bool(HookReports*, int)> installHook;
    std::function<void()> removeHook;
    // Runs the chooser of launch row 0..3: the picked path (UTF-8), or none when cancelled.
    std::function<std::optional<std::string>(QWidget*, int, Language)> chooseLaunchPath;
    // Shows a message box with `text` over the dialog.
    std::function<void(QWidget*, const QString&)> showMessage;

    static KeyMapServices desktop();
};

}  // namespace tavrik::app
