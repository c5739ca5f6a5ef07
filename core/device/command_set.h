#pragma once
// The exchanges of the command set and the bursts on a command channel, with their pauses.
// Reads store into the image only when the whole exchange succeeded: a failed or short read, or
// a reply whose checksum does not match its bytes, leaves the image region as it was and returns
// a Device error. Writes stop at the first failed
// report. Nothing reads or writes outside the image.

#include <cstddef>
#include <span>

#include "common/result.h"
#include "device/channel.h"
#include "device/commands.h"
#include "device/pacer.h"
#include "model/image_layout.h"

namespace tavrik::device {

struct Link {
    Channel& channel;
    Pacer& pacer;
};

// Set commands (each followed by its pause).
Status sendReportRate(Link link, const model::Image& image);
Status sendResponseTime(Link link, const model::Image& image);
Status sendLighting(Link link, const model::Image& image, LightingForm form);
// 0x09 with the image's game mode, then Win-lock folding into the bitmap.
Status sendGameMode(Link link, model::Image& image);
// 0x09 with the fixed value 1 (start of read-all, factory reset).
Status sendGameModeOne(Link link);
// 0x14 for entries 0..6.
Status sendColourTable(Link link, const model::Image& image);
// 0x13 and the two 0x09/1 steps with their pauses.
Status runFactoryReset(Link link);

// Read commands.
Result<FirmwareVersion> readFirmwareVersion(Link link);
Status readReportRate(Link link, model::Image& image);
Status readResponseTime(Link link, model::Image& image);
Status readLighting(Link link, model::Image& image);
Status readGameMode(Link link, model::Image& image);
Status readColourTable(Link link, model::Image& image);

// Bursts.
Status writeKeyCodeArea(Link link, const model::Image& image);
Status readKeyCodeArea(Link link, model::Image& image);
Status writeEnableBitmap(Link link, const model::Image& image);
// Also sets the Win-lock byte from bit 0 of bitmap byte 1.
Status readEnableBitmap(Link link, model::Image& image);
// Sends the caller's 192-byte block as macro slot `index` (0..31).
Status writeMacroSlot(Link link, std::size_t index,
                      std::span<const std::uint8_t, model::image::kMacroSlotSize> block);
Status readMacroSlot(Link link, std::size_t index, model::Image& image);
Status writeDiyTable(Link link, std::size_t index, const model::Image& image);
Status readDiyTable(Link link, std::size_t index, model::Image& image);

}  // namespace tavrik::device
