#pragma once
// A device arrival or removal as the hot-plug sources (libudev monitor, emulator) report it.

#include <string>

namespace tavrik::device {

enum class HotplugKind { Arrival, Removal };

struct HotplugEvent {
    HotplugKind kind = HotplugKind::Arrival;
    std::string node;  // the device node that came or went; empty when unknown
};

}  // namespace tavrik::device
