#include "device/commands.h"

namespace tavrik::device {

namespace img = model::image;

namespace {
std::uint8_t toWireSpeed(std::uint8_t speed) {
    return static_cast<std::uint8_t>(kSpeedWireBase - speed);
}
// Parameter array index of a report byte position.
constexpr std::size_t at(std::size_t reportByte) {
    return reportByte - feature::kFirstParam;
}
}  // namespace

FeatureReport setReportRate(const model::Image& image) {
    FeatureParams p{};
    p[at(param::kValue)] = image[img::kReportRate];
    return makeFeature(cmd::kSetReportRate, p);
}

FeatureReport setResponseTime(const model::Image& image) {
    FeatureParams p{};
    p[at(param::kValue)] = image[img::kResponseTime];
    return makeFeature(cmd::kSetResponseTime, p);
}

FeatureReport setLighting(const model::Image& image, LightingForm form) {
    FeatureParams p{};
    p[at(param::kSubCommand)] = static_cast<std::uint8_t>(form);
    p[at(param::kEffect)] = image[img::kEffect];
    p[at(param::kSpeed)] = toWireSpeed(image[img::kSpeed]);
    p[at(param::kBrightness)] = form == LightingForm::Full ? image[img::kBrightness] : 0;
    p[at(param::kColourChoice)] = image[img::kColourChoice];
    p[at(param::kDirection)] = image[img::kDirection];
    return makeFeature(cmd::kSetLighting, p);
}

FeatureReport setGameMode(std::uint8_t value) {
    FeatureParams p{};
    p[at(param::kValue)] = value;
    return makeFeature(cmd::kSetGameMode, p);
}

FeatureReport setColourEntry(const model::Image& image, std::size_t entry) {
    FeatureParams p{};
    p[at(param::kEntryIndex)] = static_cast<std::uint8_t>(entry);
    const std::size_t base = img::colourEntry(entry);
    for (std::size_t c = 0; c < img::kColourEntrySize; ++c) {
        p[at(param::kEntryColour) + c] = image[base + c];
    }
    return makeFeature(cmd::kSetColourEntry, p);
}

FeatureReport factoryReset() {
    FeatureParams p{};
    p[at(param::kValue)] = param::kFactoryResetMagic;
    return makeFeature(cmd::kFactoryReset, p);
}

FeatureReport readRequest(std::uint8_t readCode) {
    return makeFeature(readCode);
}

FeatureReport readColourEntry(std::size_t entry) {
    FeatureParams p{};
    p[at(param::kEntryIndex)] = static_cast<std::uint8_t>(entry);
    return makeFeature(cmd::kReadColourEntry, p);
}

FirmwareVersion parseFirmwareVersion(const FeatureReport& reply) {
    FirmwareVersion v;
    for (std::size_t i = 0; i < v.reply.size(); ++i) v.reply[i] = reply[i + 1];
    return v;
}

void applyReportRate(model::Image& image, const FeatureReport& reply) {
    image[img::kReportRate] = reply[param::kValue];
}

void applyResponseTime(model::Image& image, const FeatureReport& reply) {
    image[img::kResponseTime] = reply[param::kValue];
}

void applyLighting(model::Image& image, const FeatureReport& reply) {
    image[img::kEffect] = reply[param::kEffect];
    image[img::kSpeed] = toWireSpeed(reply[param::kSpeed]);
    image[img::kBrightness] = reply[param::kBrightness];
    image[img::kColourChoice] = reply[param::kColourChoice];
    image[img::kDirection] = reply[param::kDirection];
}

void applyGameMode(model::Image& image, const FeatureReport& reply) {
    image[img::kGameMode] = reply[param::kValue];
}

void applyColourEntry(model::Image& image, std::size_t entry, const FeatureReport& reply) {
    const std::size_t base = img::colourEntry(entry);
    for (std::size_t c = 0; c < img::kColourEntrySize; ++c) {
        image[base + c] = reply[param::kEntryColour + c];
    }
}

}  // namespace tavrik::device
