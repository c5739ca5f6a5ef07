#pragma once
// tavrikctl's commands: each turns into control requests to a host (the running tool or an own
// session) and files; errors go to standard error as one line saying what to do.

#include "cli/ctl_command_line.h"

namespace tavrik::ctl {

// Runs a parsed command; returns the process exit code (see helpText()).
int runCommand(const CtlCommand& command);

}  // namespace tavrik::ctl
