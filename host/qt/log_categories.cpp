#include "host/qt/log_categories.h"

namespace tavrik::app {

Q_LOGGING_CATEGORY(lcDevice, "tavrik.device", QtInfoMsg)
Q_LOGGING_CATEGORY(lcHook, "tavrik.hook", QtInfoMsg)
Q_LOGGING_CATEGORY(lcFiles, "tavrik.files", QtInfoMsg)
Q_LOGGING_CATEGORY(lcLaunch, "tavrik.launch", QtInfoMsg)
Q_LOGGING_CATEGORY(lcUi, "tavrik.ui", QtInfoMsg)
Q_LOGGING_CATEGORY(lcCtl, "tavrik.ctl", QtInfoMsg)
Q_LOGGING_CATEGORY(lcApps, "tavrik.apps", QtInfoMsg)

}  // namespace tavrik::app
