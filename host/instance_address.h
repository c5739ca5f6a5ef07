#pragma once
// Where the tool's single running copy can be found: its lock file and its local socket in a
// runtime folder that only this user can reach. The tool claims them; tavrikctl looks for them.
//
// The folder is never a shared one such as /tmp: $XDG_RUNTIME_DIR when it is a folder of this
// user's own with mode 0700 (not a symbolic link), else /run/user/<uid> under the same checks,
// else a folder of the user's own in the cache folder, created with mode 0700 and checked alike.
// When none holds, or the socket's path would not fit a local socket address, nothing is used
// and the error says why.

#include <sys/types.h>
#include <QString>

#include "common/result.h"

namespace tavrik::app {

// A fixed identifier, the same for every run of the tool.
QString instanceName();

struct InstancePlace {
    QString folder;
    QString lockPath;
    QString socketPath;
};

// What the choice depends on; fromEnvironment() reads the process's own.
struct RuntimeInputs {
    QString xdgRuntimeDir;
    QString runUserDir;  // /run/user/<uid>
    QString xdgCacheHome;
    QString home;
    uid_t uid = 0;
    static RuntimeInputs fromEnvironment();
};

// Why `folder` may not hold the instance, or nothing when it is this user's own private folder:
// a real folder (not a symbolic link), owned by `uid`, mode 0700.
std::optional<std::string> privateFolderProblem(const QString& folder, uid_t uid);

// The place, with the fallback folder created when it is the one chosen.
Result<InstancePlace> instancePlace(const RuntimeInputs& inputs);
Result<InstancePlace> instancePlace();

}  // namespace tavrik::app
