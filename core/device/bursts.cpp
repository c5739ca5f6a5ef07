#include "device/bursts.h"

#include <algorithm>
#include <array>

#include "device/commands.h"

namespace tavrik::device {

namespace img = model::image;

namespace {
constexpr std::array<RegionLayout, 4> kRegions{{
    {cmd::kWriteKeyCodes, cmd::kReadKeyCodes, 8, 0, img::kKeyCodeArea, img::kKeyCodeAreaSize, 1, 8},
    {cmd::kWriteEnableBitmap, cmd::kReadEnableBitmap, 0x12, 0x12, img::kEnableBitmap,
     img::kEnableBitmapSize, 1, 1},
    {cmd::kWriteMacroSlot, cmd::kReadMacroSlot, 3, 0, img::kMacroArea, img::kMacroSlotSize,
     img::kMacroSlotCount, 3},
    {cmd::kWriteDiyTable, cmd::kReadDiyTable, 8, 8, img::kDiyTables, img::kDiyTableSize,
     img::kDiyTableCount, 8},
}};

static_assert(img::kKeyCodeAreaSize == 8 * kDataPayloadSize);
static_assert(img::kMacroSlotSize == 3 * kDataPayloadSize);
static_assert(img::kDiyTableSize == 8 * kDataPayloadSize);
static_assert(img::kEnableBitmapSize <= kDataPayloadSize);

FeatureReport announce(std::uint8_t code, std::uint8_t countByte, std::size_t index) {
    FeatureParams p{};
    p[param::kBlockIndex - feature::kFirstParam] = static_cast<std::uint8_t>(index);
    p[param::kPacketCount - feature::kFirstParam] = countByte;
    return makeFeature(code, p);
}
}  // namespace

const RegionLayout& regionLayout(Region region) {
    return kRegions[static_cast<std::size_t>(region)];
}

bool regionOfCode(std::uint8_t code, Region& region, bool& isWrite) {
    for (std::size_t i = 0; i < kRegions.size(); ++i) {
        if (kRegions[i].writeCode == code || kRegions[i].readCode == code) {
            region = static_cast<Region>(i);
            isWrite = kRegions[i].writeCode == code;
            return true;
        }
    }
    return false;
}

std::size_t blockOffset(Region region, std::size_t index) {
    const RegionLayout& s = regionLayout(region);
    return s.imageOffset + s.blockSize * index;
}

FeatureReport announceWrite(Region region, std::size_t index) {
    const RegionLayout& s = regionLayout(region);
    return announce(s.writeCode, s.writeCountByte, index);
}

FeatureReport announceRead(Region region, std::size_t index) {
    const RegionLayout& s = regionLayout(region);
    return announce(s.readCode, s.readCountByte, index);
}

DataReport blockPacket(std::span<const std::uint8_t> block, std::size_t k) {
    const std::size_t begin = std::min(block.size(), k * kDataPayloadSize);
    const std::size_t n = std::min(kDataPayloadSize, block.size() - begin);
    return makeDataReport(block.subspan(begin, n));
}

void storePacket(std::span<std::uint8_t> block, std::size_t k,
                 std::span<const std::uint8_t, kDataPayloadSize> payload) {
    const std::size_t begin = std::min(block.size(), k * kDataPayloadSize);
    const std::size_t n = std::min(kDataPayloadSize, block.size() - begin);
    std::copy_n(payload.begin(), n, block.begin() + static_cast<std::ptrdiff_t>(begin));
}

}  // namespace tavrik::device
