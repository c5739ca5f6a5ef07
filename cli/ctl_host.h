#pragma once
// Where tavrikctl's requests run: in the running tool (over its single-instance socket, so that
// two processes never drive one keyboard), or, when no tool runs, in a device session of
// tavrikctl's own that opens the keyboard the way the tool does.

#include <QJsonObject>
#include <QString>
#include <memory>
#include <optional>

#include "appconfig/app_options.h"
#include "host/control_protocol.h"

namespace tavrik::ctl {

class Host {
public:
    virtual ~Host() = default;
    // Runs one control request and returns its answer (ok, or a failure with a message).
    virtual QJsonObject request(const QJsonObject& request) = 0;
    virtual bool forwarded() const = 0;
};

// The data folder tavrikctl uses on its own: the tool's rule (--data-dir, the program folder
// when writable, else $XDG_DATA_HOME/tavrik-87rev).
QString ownDataFolder(const appconfig::Options& options);

// Whether the tool runs for this user: its socket answers, or its lock is held by a live
// process (then it is still starting and the socket is waited for).
bool toolRunning();

// What a command does with tavrikctl's own session: it decides what the session reads when it
// opens the keyboard (never the window's start-up read, which turns game mode on) and whether
// files in the data folder may be written.
enum class OwnUse {
    Status,  // the firmware version only; no file written
    Read,    // the whole configuration; nothing sent that changes the keyboard, no file written
    Change,  // the whole configuration as for Read, then changes, keymap.bin stored
    Rules,   // no keyboard: only the rules of profiles per application (under the lock)
};

// The running tool's host, or a session of tavrikctl's own that holds the per-user instance
// lock (waiting a bounded time while another tavrikctl command holds it). Null with `error` and
// `failure` set when there is no private runtime folder or the lock file is unsafe (File), the
// keyboard stays in use by another process (Busy), or the running tool drives another keyboard
// than the options ask for (Usage).
std::unique_ptr<Host> connectHost(const appconfig::Options& options, QString& error,
                                  app::control::Failure& failure, OwnUse use = OwnUse::Change);

}  // namespace tavrik::ctl
