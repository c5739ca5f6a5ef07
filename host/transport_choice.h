#pragma once
// Which transport the common options choose, for the tool and tavrikctl alike.

#include "device/connection_state.h"
#include "mainwindow/app_options.h"

namespace tavrik::app {

// --simulate: the emulator in-process; --sim-socket PATH: tavrik-kbsim; else the real keyboard.
device::Transport transportFor(const mainwindow::Options& options);

}  // namespace tavrik::app
