#pragma once
// The feature-report command set: command codes, parameter layouts and the image fields each
// command carries. Pure encoding: builders return report bytes, appliers copy reply bytes into
// the image. Pauses live in pauses.h; the exchanges themselves in command_set.h.

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/reports.h"
#include "model/image_layout.h"

namespace tavrik::device {

namespace cmd {
inline constexpr std::uint8_t kSetReportRate = 0x01;
inline constexpr std::uint8_t kSetResponseTime = 0x04;
inline constexpr std::uint8_t kSetLighting = 0x08;
inline constexpr std::uint8_t kSetGameMode = 0x09;
inline constexpr std::uint8_t kWriteKeyCodes = 0x0D;
inline constexpr std::uint8_t kWriteEnableBitmap = 0x0E;
inline constexpr std::uint8_t kWriteMacroSlot = 0x11;
inline constexpr std::uint8_t kWriteDiyTable = 0x12;
inline constexpr std::uint8_t kFactoryReset = 0x13;
inline constexpr std::uint8_t kSetColourEntry = 0x14;
inline constexpr std::uint8_t kReadFirmwareVersion = 0x80;
inline constexpr std::uint8_t kReadBit = 0x80;  // a read code is its set code plus this bit

constexpr std::uint8_t readCode(std::uint8_t setCode) {
    return static_cast<std::uint8_t>(setCode | kReadBit);
}
inline constexpr std::uint8_t kReadReportRate = readCode(kSetReportRate);
inline constexpr std::uint8_t kReadResponseTime = readCode(kSetResponseTime);
inline constexpr std::uint8_t kReadLighting = readCode(kSetLighting);
inline constexpr std::uint8_t kReadGameMode = readCode(kSetGameMode);
inline constexpr std::uint8_t kReadColourEntry = readCode(kSetColourEntry);
inline constexpr std::uint8_t kReadKeyCodes = readCode(kWriteKeyCodes);
inline constexpr std::uint8_t kReadEnableBitmap = readCode(kWriteEnableBitmap);
inline constexpr std::uint8_t kReadMacroSlot = readCode(kWriteMacroSlot);
inline constexpr std::uint8_t kReadDiyTable = readCode(kWriteDiyTable);
}  // namespace cmd

// Byte positions (in the whole 9-byte report) of the parameters and reply fields.
namespace param {
inline constexpr std::size_t kValue = 2;  // single-value commands and replies
// Lighting (0x08 set and 0x88 reply).
inline constexpr std::size_t kSubCommand = 2;
inline constexpr std::size_t kEffect = 3;
inline constexpr std::size_t kSpeed = 4;  // on the wire as 10 - speed
inline constexpr std::size_t kBrightness = 5;
inline constexpr std::size_t kColourChoice = 6;
inline constexpr std::size_t kDirection = 7;
// Colour entry (0x14 set and 0x94 request/reply).
inline constexpr std::size_t kEntryIndex = 3;
inline constexpr std::size_t kEntryColour = 4;  // bytes 4..6
// Burst announcements.
inline constexpr std::size_t kBlockIndex = 3;
inline constexpr std::size_t kPacketCount = 4;
// Factory reset.
inline constexpr std::uint8_t kFactoryResetMagic = 0xFF;
// Firmware version reply.
inline constexpr std::size_t kVersionMajor = 2;
inline constexpr std::size_t kVersionMinor = 3;
}  // namespace param

inline constexpr std::uint8_t kSpeedWireBase = 10;  // speed s travels as 10 - s

enum class LightingForm : std::uint8_t {
    Short = 1,  // sub-command 1: brightness byte 0, sent first in a write-all
    Full = 2,   // sub-command 2: with brightness, sent last
};

// Set commands built from the image.
FeatureReport setReportRate(const model::Image& image);
FeatureReport setResponseTime(const model::Image& image);
FeatureReport setLighting(const model::Image& image, LightingForm form);
FeatureReport setGameMode(std::uint8_t value);
FeatureReport setColourEntry(const model::Image& image, std::size_t entry);
FeatureReport factoryReset();

// Read requests (get exchanges).
FeatureReport readRequest(std::uint8_t readCode);
FeatureReport readColourEntry(std::size_t entry);

// Firmware version: the reply bytes 1..8 and the 4 bytes the update check keeps.
struct FirmwareVersion {
    std::array<std::uint8_t, 8> reply{};
    std::uint8_t major() const { return reply[param::kVersionMajor - 1]; }
    std::uint8_t minor() const { return reply[param::kVersionMinor - 1]; }
    std::array<std::uint8_t, 4> stored() const { return {major(), minor(), 0, 0}; }
};
FirmwareVersion parseFirmwareVersion(const FeatureReport& reply);

// Reply appliers: copy the reply bytes into the image fields they carry; nothing else changes.
void applyReportRate(model::Image& image, const FeatureReport& reply);
void applyResponseTime(model::Image& image, const FeatureReport& reply);
void applyLighting(model::Image& image, const FeatureReport& reply);
void applyGameMode(model::Image& image, const FeatureReport& reply);
void applyColourEntry(model::Image& image, std::size_t entry, const FeatureReport& reply);

}  // namespace tavrik::device
