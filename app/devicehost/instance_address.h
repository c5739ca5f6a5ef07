#pragma once
// Where the tool's single running copy can be found: its lock file and its local socket in the
// user's runtime folder. The tool claims them; tavrikctl looks for them.

#include <QString>

namespace tavrik::app {

// A fixed identifier, the same for every run of the tool.
QString instanceName();
// The user's runtime folder ($XDG_RUNTIME_DIR), else the temporary folder.
QString instanceFolder();
QString instanceSocketPath();
QString instanceLockPath();

}  // namespace tavrik::app
