#include "device/sequences.h"

#include <algorithm>
#include <array>

#include "device/pauses.h"

namespace tavrik::device {

namespace img = model::image;

namespace {

// Runs each step in order and stops at the first failure.
template <typename... Steps>
Status inOrder(Steps&&... steps) {
    Status result;
    ((result.ok() ? (void)(result = steps()) : (void)0), ...);
    return result;
}

// One write-all unit: clear the flag, send, wait.
template <typename Send>
Status unit(AckWait& ack, Send send) {
    ack.clear();
    if (Status s = send(); !s) return s;
    return ack.wait();
}

}  // namespace

Status readAll(Link link, model::Image& image, ReadMode mode, FirmwareVersion* version) {
    if (mode != ReadMode::Inspect) {
        if (Status s = sendGameModeOne(link); !s) return s;
    }
    if (mode == ReadMode::Plain) link.pacer.pause(pause::kAfterStartupGameMode);
    if (mode == ReadMode::Startup || (mode == ReadMode::Inspect && version != nullptr)) {
        Result<FirmwareVersion> v = readFirmwareVersion(link);
        if (!v) return v.error();
        if (version != nullptr) *version = v.value();
    }
    Status s = inOrder(
        [&] { return readLighting(link, image); }, [&] { return readColourTable(link, image); },
        [&] { return readGameMode(link, image); }, [&] { return readReportRate(link, image); },
        [&] { return readResponseTime(link, image); }, [&] { return readKeyCodeArea(link, image); },
        [&] { return readEnableBitmap(link, image); });
    if (!s) return s;
    for (std::size_t slot = 0; slot < img::kMacroSlotCount; ++slot) {
        if (Status m = readMacroSlot(link, slot, image); !m) return m;
        if (mode == ReadMode::Startup) link.pacer.yield();
    }
    return readDiyTables(link, image);
}

Status readDiyTables(Link link, model::Image& image) {
    for (std::size_t t = 0; t < img::kDiyTableCount; ++t) {
        if (Status s = readDiyTable(link, t, image); !s) return s;
    }
    return {};
}

Status writeAll(Link link, model::Image& image, model::Image& synced, AckWait& ack) {
    model::foldWinLock(image);
    const model::ChangedUnits u = model::changedUnits(image, synced);
    if (!u.any()) return {};

    Status s;
    auto step = [&](bool changed, auto send) {
        if (s.ok() && changed) s = unit(ack, send);
    };
    step(u.anyBesidesLighting(), [&] { return sendLighting(link, image, LightingForm::Short); });
    step(u.colourTable, [&] { return sendColourTable(link, image); });
    step(u.gameMode, [&] { return sendGameMode(link, image); });
    step(u.reportRate, [&] { return sendReportRate(link, image); });
    step(u.responseTime, [&] { return sendResponseTime(link, image); });
    step(u.keyCodeArea, [&] { return writeKeyCodeArea(link, image); });
    step(u.enableBitmap, [&] { return writeEnableBitmap(link, image); });
    for (std::size_t slot = 0; slot < img::kMacroSlotCount; ++slot) {
        // The block is copied just before it is sent.
        std::array<std::uint8_t, img::kMacroSlotSize> block;
        std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(img::macroSlot(slot)), block.size(),
                    block.begin());
        step(u.macroSlots[slot], [&] { return writeMacroSlot(link, slot, block); });
    }
    for (std::size_t t = 0; t < img::kDiyTableCount; ++t) {
        step(u.diyTables[t], [&] { return writeDiyTable(link, t, image); });
    }
    if (!s) return s;
    if (Status last = sendLighting(link, image, LightingForm::Full); !last) return last;
    synced = image;
    return {};
}

}  // namespace tavrik::device
