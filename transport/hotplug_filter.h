#pragma once
// One arrival per USB device. udev reports each hidraw node of the keyboard (it has four) as a
// device of its own, while the notification the tool was designed for comes once per USB
// device; every arrival costs the session a 2 s settle and a read, so the monitor reports only
// the first node of a device. Removals are all reported: the session tells its own nodes from
// others by them. Pure bookkeeping, no udev.

#include <map>
#include <string>

namespace tavrik::hid {

class HotplugFilter {
public:
    // A node appeared; `device` names the USB device it belongs to (its sysfs path), empty when
    // unknown. True when the arrival is to be reported: the first node of a device not seen
    // yet, or a node of an unknown device.
    bool arrival(const std::string& node, const std::string& device);
    // A node went away: forgotten, so that the device arrives again once all its nodes left.
    void removal(const std::string& node);

private:
    std::map<std::string, std::string> m_deviceOfNode;
};

}  // namespace tavrik::hid
