#pragma once
// The firmware update check: VER.bin beside the program holds the version of the firmware the
// separate updater package brings ("Ver: 1.1" in 12 bytes of text); after each read of the
// keyboard the tool compares it with the keyboard's firmware version and offers the updater.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "common/language.h"

namespace tavrik::appconfig {

struct Version {
    int major = 0;
    int minor = 0;
    friend bool operator==(const Version&, const Version&) = default;
};

inline constexpr const char* kVersionFileName = "VER.bin";
inline constexpr std::size_t kVersionFileSize = 12;  // bytes read from VER.bin
inline constexpr std::size_t kVersionMajorAt = 5;    // "Ver: 1.1": major digit
inline constexpr std::size_t kVersionMinorAt = 7;    // minor digit

// The package version in VER.bin's bytes: the digits at offsets 5 and 7. A file too short to
// hold both, or with anything but a decimal digit there, yields 0.0, which never offers an
// update.
Version parseVersionFile(std::span<const std::uint8_t> bytes);

// An update is offered when the package is newer: a greater major, or the same major and a
// greater minor.
bool updateOffered(Version package, Version firmware);

inline constexpr BiText kUpdateQuestion{"Update new firmware？", "更新到新的固件吗？"};
inline constexpr BiText kUpdateCaption{"Firmware Update", "固件更新"};

// File name of the firmware updater in the program folder; it is started detached, without
// arguments, and nothing is expected back.
#ifdef _WIN32
inline constexpr std::string_view kUpdaterFileName = "Tavrik 87rev_Update.exe";
#else
inline constexpr std::string_view kUpdaterFileName = "tavrik-87rev-update";
#endif

}  // namespace tavrik::appconfig
