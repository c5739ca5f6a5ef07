#pragma once
// Which backend a session gets, before any connection is made (the wlroots backend may still
// hand over to X11 when the compositor lacks the protocol).

#include "appwatch/active_app_watcher.h"

namespace tavrik::app {

enum class WatchBackend { None, X11, Wlroots, KWin };
WatchBackend chooseWatchBackend(const SessionEnvironment& env);

}  // namespace tavrik::app
