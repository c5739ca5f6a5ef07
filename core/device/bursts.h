#pragma once
// Layout of the four regions that move as bursts of 64-byte data packets: the announcing
// commands, packet counts, block offsets in the image and the packet split. Pure encoding.

#include <cstddef>
#include <cstdint>
#include <span>

#include "device/reports.h"
#include "model/image_layout.h"

namespace tavrik::device {

enum class Region : std::uint8_t { KeyCodes, EnableBitmap, MacroSlot, DiyTable };

struct RegionLayout {
    std::uint8_t writeCode;
    std::uint8_t readCode;
    std::uint8_t writeCountByte;  // byte 4 of the write announcement
    std::uint8_t readCountByte;   // byte 4 of the read announcement
    std::size_t imageOffset;      // of block 0
    std::size_t blockSize;        // bytes of one block in the image
    std::size_t blockCount;       // blocks selected by byte 3
    std::size_t packets;          // data packets per block
};

const RegionLayout& regionLayout(Region region);
// The region whose write or read announcement carries this code, if any.
bool regionOfCode(std::uint8_t code, Region& region, bool& isWrite);

// Image offset of block `index` of the region; index must be below blockCount.
std::size_t blockOffset(Region region, std::size_t index);

FeatureReport announceWrite(Region region, std::size_t index = 0);
FeatureReport announceRead(Region region, std::size_t index = 0);

// Packet k of a block: the block's bytes 64k .. 64k+63, zero beyond the block's end.
DataReport blockPacket(std::span<const std::uint8_t> block, std::size_t k);
// Copies a packet's payload into bytes 64k.. of the block, never beyond the block's end.
void storePacket(std::span<std::uint8_t> block, std::size_t k,
                 std::span<const std::uint8_t, kDataPayloadSize> payload);

}  // namespace tavrik::device
