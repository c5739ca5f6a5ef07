#pragma once
// Watches hidraw nodes coming and going through a libudev monitor on its own thread and hands
// each removal, and the arrival of the first node of each USB device (hotplug_filter.h), to a
// callback (called on the monitor's thread).

#include <functional>
#include <thread>

#include "common/result.h"
#include "common/thread_annotations.h"
#include "device/hotplug.h"
#include "transport/hotplug_filter.h"

struct udev;
struct udev_monitor;

namespace tavrik::hid {

class UdevMonitor {
public:
    explicit UdevMonitor(std::function<void(const device::HotplugEvent&)> onEvent);
    ~UdevMonitor();
    UdevMonitor(const UdevMonitor&) = delete;
    UdevMonitor& operator=(const UdevMonitor&) = delete;

    // Starts watching; an error when the monitor cannot be set up (hot-plug then does not work).
    Status start();

private:
    void loop();

    std::function<void(const device::HotplugEvent&)> m_onEvent;
    ThreadRole m_monitorThread;  // bound when the thread starts
    HotplugFilter m_filter TAVRIK_GUARDED_BY(m_monitorThread);
    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
};

}  // namespace tavrik::hid
