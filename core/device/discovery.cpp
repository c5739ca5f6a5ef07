#include "device/discovery.h"

#include <algorithm>
#include <map>

namespace tavrik::device {

bool isKeyboard(const HidInterfaceInfo& info) {
    return info.vendorId == kVendorId &&
           std::find(kProductIds.begin(), kProductIds.end(), info.productId) != kProductIds.end();
}

bool matchesRole(const HidInterfaceInfo& info, ChannelRole role) {
    if (role == ChannelRole::Command) {
        return info.interfaceNumber == kCommandInterface ||
               info.path.find(kCommandPathSelector) != std::string::npos;
    }
    return info.collection == kEventCollection ||
           info.path.find(kEventPathSelector) != std::string::npos;
}

void numberCollections(std::vector<HidInterfaceInfo>& interfaces) {
    std::map<std::string, int> seen;
    for (HidInterfaceInfo& info : interfaces) info.collection = ++seen[info.path];
}

std::optional<std::string> selectPath(std::span<const HidInterfaceInfo> interfaces,
                                      ChannelRole role) {
    for (const HidInterfaceInfo& info : interfaces) {
        if (isKeyboard(info) && matchesRole(info, role)) return info.path;
    }
    return std::nullopt;
}

}  // namespace tavrik::device
