#include "device/command_set.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "device/bursts.h"
#include "device/pauses.h"
#include "model/config_state.h"

namespace tavrik::device {

namespace img = model::image;
using std::chrono::milliseconds;

namespace {

std::string hexCode(std::uint8_t code) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[code >> 4] + kDigits[code & 0x0F];
}

Status withContext(Status s, std::uint8_t code) {
    if (s.ok()) return s;
    return deviceError("command " + hexCode(code) + ": " + s.error().context);
}

Status send(Link link, const FeatureReport& report, milliseconds after) {
    Status s = link.channel.setFeature(report);
    link.pacer.pause(after);
    return withContext(std::move(s), report[feature::kCode]);
}

// Sends a request and fetches the reply; the pauses are kept whether or not it succeeds.
Result<FeatureReport> exchange(Link link, const FeatureReport& request, milliseconds afterRequest,
                               milliseconds afterReply) {
    const std::uint8_t code = request[feature::kCode];
    Status sent = link.channel.setFeature(request);
    if (afterRequest.count() > 0) link.pacer.pause(afterRequest);
    if (!sent) return withContext(std::move(sent), code).error();
    FeatureReport reply{};
    reply[feature::kReportIdByte] = feature::kReportId;
    Status got = link.channel.getFeature(reply);
    if (afterReply.count() > 0) link.pacer.pause(afterReply);
    if (!got) return withContext(std::move(got), code).error();
    return reply;
}

// An exchange whose reply carries values: a reply whose checksum (or report ID) is wrong is a
// failed exchange, and nothing of it is taken.
Result<FeatureReport> checkedExchange(Link link, const FeatureReport& request,
                                      milliseconds afterRequest, milliseconds afterReply) {
    Result<FeatureReport> reply = exchange(link, request, afterRequest, afterReply);
    if (reply && !featureValid(reply.value())) {
        return deviceError("command " + hexCode(request[feature::kCode]) +
                           ": the reply's checksum does not match");
    }
    return reply;
}

template <typename Apply>
Status readInto(Link link, std::uint8_t code, milliseconds afterRequest, milliseconds afterReply,
                Apply apply) {
    Result<FeatureReport> reply =
        checkedExchange(link, readRequest(code), afterRequest, afterReply);
    if (!reply) return reply.error();
    apply(reply.value());
    return {};
}

std::span<const std::uint8_t> blockOf(const model::Image& image, Region region, std::size_t index) {
    return std::span<const std::uint8_t>(image).subspan(blockOffset(region, index),
                                                        regionLayout(region).blockSize);
}

Status checkIndex(Region region, std::size_t index) {
    if (index < regionLayout(region).blockCount) return {};
    return valueError("block index " + std::to_string(index) + " out of range");
}

// Sends packets 0..n-1 of the block, calling between(k) after packet k.
template <typename Between>
Status sendPackets(Link link, Region region, std::span<const std::uint8_t> block, Between between) {
    const std::size_t n = regionLayout(region).packets;
    for (std::size_t k = 0; k < n; ++k) {
        const DataReport packet = blockPacket(block, k);
        Status s = link.channel.writeData(packet);
        if (!s) return withContext(std::move(s), regionLayout(region).writeCode);
        between(k);
    }
    return {};
}

// Announces a read burst, fetches the unused feature reply (its bytes are not taken, so they are
// not checked), reads the packets into a scratch
// block and copies it into the image only when every packet arrived.
template <typename Between>
Status readBlock(Link link, Region region, std::size_t index, model::Image& image,
                 milliseconds afterAnnounce, milliseconds afterReply, Between between) {
    if (Status s = checkIndex(region, index); !s) return s;
    const RegionLayout& layout = regionLayout(region);
    Result<FeatureReport> ack =
        exchange(link, announceRead(region, index), afterAnnounce, afterReply);
    if (!ack) return ack.error();
    std::vector<std::uint8_t> scratch(layout.blockSize);
    for (std::size_t k = 0; k < layout.packets; ++k) {
        DataReport packet{};
        packet[data::kReportIdByte] = data::kReportId;
        Status s = link.channel.readData(packet);
        if (!s) return withContext(std::move(s), layout.readCode);
        storePacket(scratch, k, dataPayload(packet));
        between(k);
    }
    std::copy(scratch.begin(), scratch.end(),
              image.begin() + static_cast<std::ptrdiff_t>(blockOffset(region, index)));
    return {};
}

void noPause(std::size_t) {}

}  // namespace

Status sendReportRate(Link link, const model::Image& image) {
    return send(link, setReportRate(image), pause::kAfterSet);
}

Status sendResponseTime(Link link, const model::Image& image) {
    return send(link, setResponseTime(image), pause::kAfterSet);
}

Status sendLighting(Link link, const model::Image& image, LightingForm form) {
    return send(link, setLighting(image, form), pause::kAfterSet);
}

Status sendGameMode(Link link, model::Image& image) {
    Status s = send(link, setGameMode(image[img::kGameMode]), pause::kAfterGameMode);
    model::foldWinLock(image);
    return s;
}

Status sendGameModeOne(Link link) {
    return send(link, setGameMode(1), pause::kAfterGameMode);
}

Status sendColourTable(Link link, const model::Image& image) {
    for (std::size_t i = 0; i < img::kColourEntryCount; ++i) {
        if (Status s = send(link, setColourEntry(image, i), pause::kAfterColourEntry); !s) {
            return s;
        }
    }
    return {};
}

Status runFactoryReset(Link link) {
    if (Status s = send(link, factoryReset(), pause::kAfterFactoryReset); !s) return s;
    for (int step = 0; step < 2; ++step) {
        if (Status s = sendGameModeOne(link); !s) return s;
        link.pacer.pause(pause::kAfterFactoryReset);
    }
    return {};
}

Result<FirmwareVersion> readFirmwareVersion(Link link) {
    Result<FeatureReport> reply = checkedExchange(link, readRequest(cmd::kReadFirmwareVersion),
                                                  pause::kAfterReadRequest, pause::kAfterReply);
    if (!reply) return reply.error();
    return parseFirmwareVersion(reply.value());
}

Status readReportRate(Link link, model::Image& image) {
    return readInto(link, cmd::kReadReportRate, pause::kAfterReadRequest, pause::kAfterReply,
                    [&](const FeatureReport& r) { applyReportRate(image, r); });
}

Status readResponseTime(Link link, model::Image& image) {
    return readInto(link, cmd::kReadResponseTime, pause::kAfterReadRequest, pause::kAfterReply,
                    [&](const FeatureReport& r) { applyResponseTime(image, r); });
}

Status readLighting(Link link, model::Image& image) {
    return readInto(link, cmd::kReadLighting, pause::kAfterReadRequest, milliseconds{0},
                    [&](const FeatureReport& r) { applyLighting(image, r); });
}

Status readGameMode(Link link, model::Image& image) {
    return readInto(link, cmd::kReadGameMode, pause::kAfterGameModeRequest, milliseconds{0},
                    [&](const FeatureReport& r) { applyGameMode(image, r); });
}

Status readColourTable(Link link, model::Image& image) {
    for (std::size_t i = 0; i < img::kColourEntryCount; ++i) {
        Result<FeatureReport> reply = checkedExchange(
            link, readColourEntry(i), pause::kColourEntryRead, pause::kColourEntryRead);
        if (!reply) return reply.error();
        applyColourEntry(image, i, reply.value());
    }
    return {};
}

Status writeKeyCodeArea(Link link, const model::Image& image) {
    const Region r = Region::KeyCodes;
    if (Status s = send(link, announceWrite(r), pause::kBeforeKeyCodes); !s) return s;
    if (Status s = sendPackets(link, r, blockOf(image, r, 0), noPause); !s) return s;
    link.pacer.pause(pause::kAfterKeyCodes);
    return {};
}

Status readKeyCodeArea(Link link, model::Image& image) {
    return readBlock(link, Region::KeyCodes, 0, image, milliseconds{0}, milliseconds{0}, noPause);
}

Status writeEnableBitmap(Link link, const model::Image& image) {
    const Region r = Region::EnableBitmap;
    if (Status s = send(link, announceWrite(r), pause::kBeforeBitmap); !s) return s;
    return sendPackets(link, r, blockOf(image, r, 0), noPause);
}

Status readEnableBitmap(Link link, model::Image& image) {
    Status s =
        readBlock(link, Region::EnableBitmap, 0, image, milliseconds{0}, milliseconds{0}, noPause);
    if (s) model::readWinLock(image);
    return s;
}

Status writeMacroSlot(Link link, std::size_t index,
                      std::span<const std::uint8_t, img::kMacroSlotSize> block) {
    const Region r = Region::MacroSlot;
    if (Status s = checkIndex(r, index); !s) return s;
    if (Status s = send(link, announceWrite(r, index), pause::kBeforeMacroSlot); !s) return s;
    const std::size_t last = regionLayout(r).packets - 1;
    return sendPackets(link, r, block, [&](std::size_t k) {
        if (k < last) link.pacer.yield();
    });
}

Status readMacroSlot(Link link, std::size_t index, model::Image& image) {
    return readBlock(link, Region::MacroSlot, index, image, milliseconds{0}, milliseconds{0},
                     noPause);
}

Status writeDiyTable(Link link, std::size_t index, const model::Image& image) {
    const Region r = Region::DiyTable;
    if (Status s = checkIndex(r, index); !s) return s;
    if (Status s = send(link, announceWrite(r, index), pause::kDiyStep); !s) return s;
    return sendPackets(link, r, blockOf(image, r, index),
                       [&](std::size_t) { link.pacer.pause(pause::kDiyStep); });
}

Status readDiyTable(Link link, std::size_t index, model::Image& image) {
    return readBlock(link, Region::DiyTable, index, image, pause::kDiyStep, pause::kDiyStep,
                     [&](std::size_t) { link.pacer.pause(pause::kDiyStep); });
}

}  // namespace tavrik::device
