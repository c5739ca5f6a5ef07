#include "transport/hotplug_filter.h"

#include <algorithm>

namespace tavrik::hid {

bool HotplugFilter::arrival(const std::string& node, const std::string& device) {
    if (device.empty()) return true;
    const bool known = std::any_of(
        m_deviceOfNode.begin(), m_deviceOfNode.end(),
        [&](const auto& entry) { return entry.first != node && entry.second == device; });
    m_deviceOfNode[node] = device;
    return !known;
}

void HotplugFilter::removal(const std::string& node) {
    m_deviceOfNode.erase(node);
}

}  // namespace tavrik::hid
