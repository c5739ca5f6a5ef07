#pragma once
// Which transport the common options choose, for the tool and tavrikctl alike.

#include "appconfig/app_options.h"
#include "device/connection_state.h"

namespace tavrik::app {

// --simulate: the emulator in-process; --sim-socket PATH: tavrik-kbsim; else the real keyboard.
device::Transport transportFor(const appconfig::Options& options);

}  // namespace tavrik::app
