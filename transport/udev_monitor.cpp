#include "transport/udev_monitor.h"

#include <fcntl.h>
#include <libudev.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace tavrik::hid {

UdevMonitor::UdevMonitor(std::function<void(const device::HotplugEvent&)> onEvent)
    : m_onEvent(std::move(onEvent)) {}

UdevMonitor::~UdevMonitor() {
    if (m_thread.joinable()) {
        const char c = 'q';
        [[maybe_unused]] ssize_t n = ::write(m_wake[1], &c, 1);
        m_thread.join();
    }
    for (int fd : m_wake) {
        if (fd >= 0) ::close(fd);
    }
    if (m_monitor != nullptr) udev_monitor_unref(m_monitor);
    if (m_udev != nullptr) udev_unref(m_udev);
}

Status UdevMonitor::start() {
    if (m_thread.joinable()) return {};
    m_udev = udev_new();
    if (m_udev == nullptr) return systemError("udev_new failed");
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (m_monitor == nullptr) return systemError("cannot create a udev monitor");
    if (udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
        return systemError("cannot watch hidraw devices");
    }
    if (::pipe2(m_wake, O_CLOEXEC) != 0) return systemError(std::strerror(errno));
    m_thread = std::thread([this] { loop(); });
    return {};
}

void UdevMonitor::loop() {
    m_monitorThread.bindToThisThread();
    m_monitorThread.assertHeld();
    const int fd = udev_monitor_get_fd(m_monitor);
    for (;;) {
        pollfd p[2] = {{fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (p[1].revents != 0) return;
        udev_device* dev = udev_monitor_receive_device(m_monitor);
        if (dev == nullptr) continue;
        const char* action = udev_device_get_action(dev);
        const char* node = udev_device_get_devnode(dev);
        device::HotplugEvent e;
        e.node = node != nullptr ? node : "";
        const std::string a = action != nullptr ? action : "";
        // The USB device of the node (on an add its sysfs entries are all there).
        std::string usbDevice;
        if (a == "add") {
            udev_device* usb =
                udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_device");
            const char* syspath = usb != nullptr ? udev_device_get_syspath(usb) : nullptr;
            usbDevice = syspath != nullptr ? syspath : "";
        }
        udev_device_unref(dev);
        if (a == "add") {
            if (!m_filter.arrival(e.node, usbDevice)) continue;
            e.kind = device::HotplugKind::Arrival;
        } else if (a == "remove") {
            m_filter.removal(e.node);
            e.kind = device::HotplugKind::Removal;
        } else {
            continue;
        }
        m_onEvent(e);
    }
}

}  // namespace tavrik::hid
