#pragma once
// The desktop-wide backend: a thread with its own two X display connections (control and data)
// that records every key press and release through the RECORD extension and reports them.

#include <atomic>
#include <future>
#include <memory>
#include <thread>

#include "keyhook/hook_target.h"

namespace tavrik::app {

class X11RecordHook {
public:
    // Connects to $DISPLAY and waits (up to two seconds) until the server delivers records;
    // nullptr when there is no server or no RECORD extension.
    static std::unique_ptr<X11RecordHook> start(const HookTarget& target);
    ~X11RecordHook();  // stops the thread and closes its connections

    X11RecordHook(const X11RecordHook&) = delete;
    X11RecordHook& operator=(const X11RecordHook&) = delete;

    void onKey(unsigned keycode, bool released);  // called on the hook thread

private:
    explicit X11RecordHook(const HookTarget& target);
    void run(std::promise<bool> started);

    const HookTarget& m_target;
    std::atomic<bool> m_stop{false};
    int m_wake[2] = {-1, -1};   // pipe that interrupts the thread's wait
    void* m_control = nullptr;  // Display* of the hook thread, for keysym look-ups
    std::thread m_thread;
};

}  // namespace tavrik::app
