#pragma once
// What the device session tells the window layer. Every call comes from the session's own
// notification thread, one at a time and in the order the events happened; a listener should
// return quickly (the Qt adapter posts each call to its own thread, where it becomes a signal). The
// reader and the worker never wait for a listener.

#include <cstdint>
#include <string>

#include "common/result.h"

namespace tavrik::device {

enum class Job {
    Open,            // channels opened at start-up
    StartupRead,     // the start-up read
    Save,            // write-all, snapshot, keymap.bin
    FactoryReset,    // reset, read-all, factory completion, keymap.bin
    ProfileRefresh,  // host copy replaced by a profile: flags, keymap.bin
    ReadCopy,        // read-all into a copy, host copy untouched
    Arrival,
    Removal,
    Close,
    // Not queued on its own: reported after a FactoryReset that reached the keyboard when
    // reading the keyboard back failed.
    FactoryReadBack,
};

// What brought the host copy in line.
enum class SyncReason {
    KeyboardRead,      // a read of the keyboard (start-up, arrival)
    HostCopyReplaced,  // the host copy was replaced (a profile was loaded)
};

class SessionListener {
public:
    virtual ~SessionListener() = default;
    // The host copy is in line with the keyboard. The model-side steps (changed-key flags,
    // lighting re-read, keymap.bin) are done; the window sets its sliders, repaints and (after a
    // keyboard read) runs the update check.
    virtual void deviceSynced(SyncReason reason) = 0;
    // A key event with the key's code.
    virtual void deviceEvent(std::uint8_t code) = 0;
    // A queued job ended; a failure carries its reason in the error kind (NotConnected,
    // NoPermission, Unplugged, NoAcknowledgement, Device; System when the keyboard was
    // programmed but keymap.bin could not be stored).
    virtual void jobFinished(Job job, const Status& status) = 0;
    // One line for the debug output.
    virtual void debugLine(const std::string& line) { (void)line; }
};

}  // namespace tavrik::device
