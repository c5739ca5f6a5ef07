#pragma once
// Choosing the keyboard's command and event channels among the enumerated HID interfaces.
// Pure selection logic; the hidapi transport enumerates and opens.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/channel.h"

namespace tavrik::device {

inline constexpr std::uint16_t kVendorId = 0x04D9;
inline constexpr std::array<std::uint16_t, 2> kProductIds{0x0001, 0xA131};

// Linux: the command channel is USB interface 3, the event channel is the fourth top-level
// collection listed for one node.
inline constexpr int kCommandInterface = 3;
inline constexpr int kEventCollection = 4;
// Path selectors of platforms whose paths carry interface and collection (case-sensitive).
inline constexpr std::string_view kCommandPathSelector = "mi_03";
inline constexpr std::string_view kEventPathSelector = "ol04";

struct HidInterfaceInfo {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    int interfaceNumber = -1;  // -1 when the backend does not know it
    int collection = 0;        // 1-based position among the entries sharing this path
};

bool isKeyboard(const HidInterfaceInfo& info);
bool matchesRole(const HidInterfaceInfo& info, ChannelRole role);

// Numbers the entries that share one path 1, 2, 3, ... in enumeration order.
void numberCollections(std::vector<HidInterfaceInfo>& interfaces);

// The path of the first entry (in enumeration order) that belongs to the keyboard and matches
// the role; other products of the vendor are skipped.
std::optional<std::string> selectPath(std::span<const HidInterfaceInfo> interfaces,
                                      ChannelRole role);

}  // namespace tavrik::device
