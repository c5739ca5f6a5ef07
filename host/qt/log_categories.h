#pragma once
// The tool's logging categories. Debug lines are off unless switched on, for example with
// QT_LOGGING_RULES="tavrik.*.debug=true"; warnings are on by default.

#include <QLoggingCategory>

namespace tavrik::app {

Q_DECLARE_LOGGING_CATEGORY(lcDevice)  // tavrik.device: the device session, transport, hot-plug
Q_DECLARE_LOGGING_CATEGORY(lcHook)    // tavrik.hook: desktop-wide key capture
Q_DECLARE_LOGGING_CATEGORY(lcFiles)   // tavrik.files: keymap.bin, MacroDefine.bin, data folder
Q_DECLARE_LOGGING_CATEGORY(lcLaunch)  // tavrik.launch: launch actions and the updater
Q_DECLARE_LOGGING_CATEGORY(lcUi)      // tavrik.ui: windows and controls
Q_DECLARE_LOGGING_CATEGORY(lcCtl)     // tavrik.ctl: the instance socket and tavrikctl's requests
Q_DECLARE_LOGGING_CATEGORY(lcApps)    // tavrik.apps: the application in front, its watcher

}  // namespace tavrik::app
