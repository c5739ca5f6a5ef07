#include "appconfig/update_check.h"

#include <optional>

namespace tavrik::appconfig {
namespace {

std::optional<int> digitAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    if (at >= bytes.size()) return std::nullopt;
    const std::uint8_t c = bytes[at];
    if (c < '0' || c > '9') return std::nullopt;
    return c - '0';
}

}  // namespace

Version parseVersionFile(std::span<const std::uint8_t> bytes) {
    const auto major = digitAt(bytes, kVersionMajorAt);
    const auto minor = digitAt(bytes, kVersionMinorAt);
    if (!major || !minor) return {};
    return Version{*major, *minor};
}

bool updateOffered(Version package, Version firmware) {
    if (package.major != firmware.major) return package.major > firmware.major;
    return package.minor > firmware.minor;
}

}  // namespace tavrik::appconfig
