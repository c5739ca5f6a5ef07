#include "sim/firmware.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "device/commands.h"
#include "device/pauses.h"
#include "model/slot_table.h"

namespace tavrik::sim {

namespace img = model::image;
namespace cmd = device::cmd;
namespace param = device::param;
using device::Region;
using std::chrono::microseconds;
using std::chrono::milliseconds;

namespace {

std::string hex(std::uint8_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", v);
    return buf;
}

std::chrono::microseconds steadyNow() {
    return std::chrono::duration_cast<microseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

// The pause the host must keep between a write announcement and the first packet.
milliseconds requiredPause(Region region) {
    switch (region) {
        case Region::KeyCodes:
            return device::pause::kBeforeKeyCodes;
        case Region::EnableBitmap:
            return device::pause::kBeforeBitmap;
        case Region::MacroSlot:
            return device::pause::kBeforeMacroSlot;
        case Region::DiyTable:
            return device::pause::kDiyStep;
    }
    return milliseconds{0};
}

// Factory colour table: red, green, blue, yellow, cyan, magenta, white.
constexpr std::uint8_t kFactoryColours[img::kColourTableSize] = {
    0xFF, 0, 0,    0,    0xFF, 0, 0,    0,    0xFF, 0xFF, 0xFF,
    0,    0, 0xFF, 0xFF, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0xFF};

}  // namespace

Firmware::Firmware(Clock now) : m_now(now ? std::move(now) : Clock(steadyNow)) {
    resetLocked();
}

microseconds Firmware::now() const {
    return m_now();
}

void Firmware::error(std::string text) {
    m_errors.push_back(std::move(text));
}

void Firmware::trace(Direction d, ReportKind k, std::span<const std::uint8_t> bytes) {
    if (m_trace) m_trace(d, k, bytes);
}

bool Firmware::receiveFeature(std::span<const std::uint8_t> report) {
    MutexLock guard(m_mutex);
    if (!m_plugged) return false;
    trace(Direction::HostToKeyboard, ReportKind::Feature, report);
    if (report.size() != device::kFeatureReportSize) {
        error("feature report of " + std::to_string(report.size()) + " bytes");
        return true;
    }
    FeatureReport r{};
    std::copy(report.begin(), report.end(), r.begin());
    if (!device::featureValid(r)) {
        error("feature report " + hex(r[device::feature::kCode]) +
              " with a wrong report ID or checksum");
        return true;
    }
    if (m_burst) {
        error("feature report " + hex(r[device::feature::kCode]) + " inside a burst after " +
              std::to_string(m_burst->next) + " of " +
              std::to_string(device::regionLayout(m_burst->region).packets) + " packets");
        m_burst.reset();
    }
    applyFeature(r);
    return true;
}

void Firmware::applyFeature(const FeatureReport& r) {
    const std::uint8_t code = r[device::feature::kCode];
    Region region{};
    bool write = false;
    m_reply.reset();
    if (device::regionOfCode(code, region, write)) {
        startBurst(r, region, write);
    } else if ((code & cmd::kReadBit) != 0) {
        prepareReply(r);
    } else {
        applySet(r);
    }
}

void Firmware::applySet(const FeatureReport& r) {
    const std::uint8_t code = r[device::feature::kCode];
    const std::uint8_t value = r[param::kValue];
    switch (code) {
        case cmd::kSetReportRate:
            m_image[img::kReportRate] = value;
            acknowledge();
            return;
        case cmd::kSetResponseTime:
            m_image[img::kResponseTime] = value;
            acknowledge();
            return;
        case cmd::kSetGameMode:
            m_image[img::kGameMode] = value;
            acknowledge();
            return;
        case cmd::kSetLighting: {
            const std::uint8_t sub = r[param::kSubCommand];
            if (sub != 1 && sub != 2) {
                error("lighting sub-command " + std::to_string(sub));
                return;
            }
            m_image[img::kEffect] = r[param::kEffect];
            m_image[img::kSpeed] =
                static_cast<std::uint8_t>(device::kSpeedWireBase - r[param::kSpeed]);
            m_image[img::kColourChoice] = r[param::kColourChoice];
            m_image[img::kDirection] = r[param::kDirection];
            if (sub == 2) m_image[img::kBrightness] = r[param::kBrightness];
            if (sub == 1) acknowledge();
            return;
        }
        case cmd::kSetColourEntry: {
            const std::size_t entry = r[param::kEntryIndex];
            if (entry >= img::kColourEntryCount) {
                error("colour entry " + std::to_string(entry));
                return;
            }
            std::copy_n(r.begin() + param::kEntryColour, img::kColourEntrySize,
                        m_image.begin() + static_cast<std::ptrdiff_t>(img::colourEntry(entry)));
            if (entry + 1 == img::kColourEntryCount) acknowledge();
            return;
        }
        case cmd::kFactoryReset:
            if (value != param::kFactoryResetMagic) {
                error("factory reset without " + hex(param::kFactoryResetMagic));
                return;
            }
            resetLocked();
            return;
        default:
            error("unknown command " + hex(code));
    }
}

void Firmware::startBurst(const FeatureReport& r, Region region, bool write) {
    const device::RegionLayout& layout = device::regionLayout(region);
    const std::size_t index = r[param::kBlockIndex];
    const std::uint8_t count = write ? layout.writeCountByte : layout.readCountByte;
    const std::uint8_t code = r[device::feature::kCode];
    if (index >= layout.blockCount) {
        error("burst " + hex(code) + " for block " + std::to_string(index));
        return;
    }
    if (r[param::kPacketCount] != count) {
        error("burst " + hex(code) + " announces a packet count of " +
              std::to_string(r[param::kPacketCount]) + " instead of " + std::to_string(count));
        return;
    }
    Burst b;
    b.region = region;
    b.index = index;
    b.write = write;
    b.announcedAt = now();
    const std::size_t offset = device::blockOffset(region, index);
    b.block.assign(m_image.begin() + static_cast<std::ptrdiff_t>(offset),
                   m_image.begin() + static_cast<std::ptrdiff_t>(offset + layout.blockSize));
    if (!write) m_reply = r;  // the reply to a read announcement is not used by the host
    m_burst = std::move(b);
}

void Firmware::finishWriteBurst() {
    const std::size_t offset = device::blockOffset(m_burst->region, m_burst->index);
    std::copy(m_burst->block.begin(), m_burst->block.end(),
              m_image.begin() + static_cast<std::ptrdiff_t>(offset));
    if (m_burst->region == Region::EnableBitmap) reportWinLock();
    m_burst.reset();
    acknowledge();
}

// The host locks the Windows key by clearing bit 1 of bitmap byte 0 and reads the lock from bit 0
// of byte 1; the keyboard reports the lock it was sent there (clear while locked).
void Firmware::reportWinLock() {
    std::uint8_t& report = m_image[img::kWinLockReadByte];
    if ((m_image[img::kWinLockWriteByte] & img::kWinLockWriteMask) == 0) {
        report &= static_cast<std::uint8_t>(~img::kWinLockReadMask);
    } else {
        report |= img::kWinLockReadMask;
    }
}

void Firmware::prepareReply(const FeatureReport& r) {
    const std::uint8_t code = r[device::feature::kCode];
    device::FeatureParams p{};
    auto set = [&p](std::size_t reportByte, std::uint8_t v) {
        p[reportByte - device::feature::kFirstParam] = v;
    };
    switch (code) {
        case cmd::kReadFirmwareVersion:
            set(param::kVersionMajor, m_major);
            set(param::kVersionMinor, m_minor);
            break;
        case cmd::kReadReportRate:
            set(param::kValue, m_image[img::kReportRate]);
            break;
        case cmd::kReadResponseTime:
            set(param::kValue, m_image[img::kResponseTime]);
            break;
        case cmd::kReadGameMode:
            set(param::kValue, m_image[img::kGameMode]);
            break;
        case cmd::kReadLighting:
            set(param::kEffect, m_image[img::kEffect]);
            set(param::kSpeed,
                static_cast<std::uint8_t>(device::kSpeedWireBase - m_image[img::kSpeed]));
            set(param::kBrightness, m_image[img::kBrightness]);
            set(param::kColourChoice, m_image[img::kColourChoice]);
            set(param::kDirection, m_image[img::kDirection]);
            break;
        case cmd::kReadColourEntry: {
            const std::size_t entry = r[param::kEntryIndex];
            if (entry >= img::kColourEntryCount) {
                error("colour entry read " + std::to_string(entry));
                return;
            }
            set(param::kEntryIndex, static_cast<std::uint8_t>(entry));
            for (std::size_t c = 0; c < img::kColourEntrySize; ++c) {
                set(param::kEntryColour + c, m_image[img::colourEntry(entry) + c]);
            }
            break;
        }
        default:
            error("unknown read command " + hex(code));
            return;
    }
    m_reply = device::makeFeature(code, p);
}

void Firmware::acknowledge() {
    if (m_faults.noAcknowledgements) return;
    if (m_faults.garbageEvents) {
        pushEvent({0x07, device::event::kKindAck, 0x2C, 0});             // foreign report ID
        pushEvent({device::event::kReportId, device::event::kKindAck});  // short report
        pushEvent({0x00, 0x00, 0x00, 0x00, 0x00});                       // wrong length and ID
    }
    pushEvent({device::event::kReportId, device::event::kKindAck, 0, 0});
    ++m_acks;
}

void Firmware::pushEvent(std::vector<std::uint8_t> bytes) {
    m_events.push_back(std::move(bytes));
    m_eventReady.notify_all();
}

bool Firmware::receiveData(std::span<const std::uint8_t> report) {
    std::function<void(bool)> notify;
    {
        MutexLock guard(m_mutex);
        if (!m_plugged) return false;
        trace(Direction::HostToKeyboard, ReportKind::Data, report);
        if (report.size() != device::kDataReportSize ||
            report[device::data::kReportIdByte] != device::data::kReportId) {
            error("data report of " + std::to_string(report.size()) +
                  " bytes or with a wrong report ID");
        } else if (!m_burst || !m_burst->write) {
            error("data report outside a write burst");
        } else {
            Burst& b = *m_burst;
            const milliseconds need = requiredPause(b.region);
            if (b.next == 0 && now() - b.announcedAt < need) {
                error("first packet of burst " + hex(device::regionLayout(b.region).writeCode) +
                      " sent before the " + std::to_string(need.count()) + " ms pause");
            }
            DataReport packet{};
            std::copy(report.begin(), report.end(), packet.begin());
            device::storePacket(b.block, b.next, device::dataPayload(packet));
            if (++b.next == device::regionLayout(b.region).packets) finishWriteBurst();
        }
        countPacketForRemoval(notify);
    }
    if (notify) notify(false);
    return true;
}

std::optional<DataReport> Firmware::sendData() {
    std::function<void(bool)> notify;
    std::optional<DataReport> out;
    {
        MutexLock guard(m_mutex);
        if (!m_plugged) return std::nullopt;
        if (!m_burst || m_burst->write) {
            error("data read outside a read burst");
            return std::nullopt;
        }
        out = device::blockPacket(m_burst->block, m_burst->next);
        if (++m_burst->next == device::regionLayout(m_burst->region).packets) m_burst.reset();
        trace(Direction::KeyboardToHost, ReportKind::Data, *out);
        countPacketForRemoval(notify);
        if (!m_plugged) out.reset();
    }
    if (notify) notify(false);
    return out;
}

std::size_t Firmware::readBurstPacketsLeft() const {
    MutexLock guard(m_mutex);
    if (!m_plugged || !m_burst || m_burst->write) return 0;
    return device::regionLayout(m_burst->region).packets - m_burst->next;
}

void Firmware::countPacketForRemoval(std::function<void(bool)>& notify) {
    if (m_faults.removeAfterPackets < 0) return;
    if (m_faults.removeAfterPackets-- > 0) return;
    m_faults.removeAfterPackets = -1;
    unplugLocked();
    notify = m_plugListener;
}

std::optional<FeatureReport> Firmware::replyFeature() {
    MutexLock guard(m_mutex);
    if (!m_plugged || m_faults.noGetReply) return std::nullopt;
    if (!m_reply) {
        error("get feature without a read request");
        return std::nullopt;
    }
    FeatureReport r = *m_reply;
    m_reply.reset();
    if (m_faults.badReplyChecksum) r[device::feature::kChecksum] ^= 0x5A;
    trace(Direction::KeyboardToHost, ReportKind::Feature, r);
    return r;
}

std::optional<std::vector<std::uint8_t>> Firmware::nextEvent(milliseconds timeout,
                                                             const std::atomic<bool>* cancelled) {
    MutexLock lock(m_mutex);
    const auto isCancelled = [cancelled] { return cancelled != nullptr && *cancelled; };
    m_eventReady.wait_for(lock.native(), timeout, [this, &isCancelled]() TAVRIK_REQUIRES(m_mutex) {
        return !m_events.empty() || !m_plugged || isCancelled();
    });
    if (!m_plugged || m_events.empty() || isCancelled()) return std::nullopt;
    std::vector<std::uint8_t> e = std::move(m_events.front());
    m_events.pop_front();
    trace(Direction::KeyboardToHost, ReportKind::Event, e);
    return e;
}

void Firmware::wakeEventReaders() {
    // Under the lock: a reader between its check of the flag and its wait cannot miss this.
    MutexLock guard(m_mutex);
    m_eventReady.notify_all();
}

std::size_t Firmware::pendingEvents() const {
    MutexLock guard(m_mutex);
    return m_events.size();
}

bool Firmware::pressKey(int slot) {
    MutexLock guard(m_mutex);
    if (!m_plugged || slot < 0 || slot >= model::kSlotCount) return false;
    const std::size_t cell = img::kKeyCodeArea + model::cellOffset(slot);
    if (m_image[cell] != model::codetype::kHostAction) return false;
    pushEvent({device::event::kReportId, device::event::kKindKey, m_image[cell + 2], 0});
    return true;
}

void Firmware::plug() {
    std::function<void(bool)> notify;
    {
        MutexLock guard(m_mutex);
        if (m_plugged) return;
        m_plugged = true;
        ++m_generation;
        notify = m_plugListener;
    }
    if (notify) notify(true);
}

void Firmware::unplugLocked() {
    m_plugged = false;
    m_burst.reset();
    m_reply.reset();
    m_events.clear();
    m_eventReady.notify_all();
}

void Firmware::unplug() {
    std::function<void(bool)> notify;
    {
        MutexLock guard(m_mutex);
        if (!m_plugged) return;
        unplugLocked();
        notify = m_plugListener;
    }
    if (notify) notify(false);
}

bool Firmware::plugged() const {
    MutexLock guard(m_mutex);
    return m_plugged;
}

void Firmware::setAccessDenied(bool denied) {
    MutexLock guard(m_mutex);
    m_accessDenied = denied;
}

bool Firmware::accessDenied() const {
    MutexLock guard(m_mutex);
    return m_accessDenied;
}

std::uint64_t Firmware::generation() const {
    MutexLock guard(m_mutex);
    return m_generation;
}

void Firmware::setPlugListener(std::function<void(bool)> listener) {
    MutexLock guard(m_mutex);
    m_plugListener = std::move(listener);
}

void Firmware::setFaults(const Faults& faults) {
    MutexLock guard(m_mutex);
    m_faults = faults;
}

void Firmware::setTrace(TraceSink sink) {
    MutexLock guard(m_mutex);
    m_trace = std::move(sink);
}

model::Image Firmware::image() const {
    MutexLock guard(m_mutex);
    return m_image;
}

void Firmware::setImage(const model::Image& image) {
    MutexLock guard(m_mutex);
    m_image = image;
}

void Firmware::setFirmwareVersion(std::uint8_t major, std::uint8_t minor) {
    MutexLock guard(m_mutex);
    m_major = major;
    m_minor = minor;
}

std::uint8_t Firmware::versionMajor() const {
    MutexLock guard(m_mutex);
    return m_major;
}

std::uint8_t Firmware::versionMinor() const {
    MutexLock guard(m_mutex);
    return m_minor;
}

std::uint64_t Firmware::acknowledgementsSent() const {
    MutexLock guard(m_mutex);
    return m_acks;
}

void Firmware::factoryReset() {
    MutexLock guard(m_mutex);
    resetLocked();
}

void Firmware::resetLocked() {
    m_image.fill(0);
    const auto& factory = model::factoryKeyCodes();
    const std::size_t cells =
        img::kKeyMatrixRows * (img::kKeyCodeRowStride / img::kKeyCodeCellSize);
    for (std::size_t k = 0; k < cells; ++k) {
        const std::size_t row = k % img::kKeyMatrixRows;
        const std::size_t col = k / img::kKeyMatrixRows;
        const std::size_t at =
            img::kKeyCodeArea + row * img::kKeyCodeRowStride + col * img::kKeyCodeCellSize;
        std::copy(factory[k].begin(), factory[k].end(),
                  m_image.begin() + static_cast<std::ptrdiff_t>(at));
    }
    std::fill_n(m_image.begin() + img::kEnableBitmap, img::kEnableBitmapSize, 0xFF);
    m_image[img::kReportRate] = 3;
    m_image[img::kResponseTime] = 1;
    m_image[img::kEffect] = 1;
    m_image[img::kSpeed] = 5;
    m_image[img::kBrightness] = 50;
    m_image[img::kColourChoice] = 1;
    m_image[img::kDirection] = 1;
    std::copy(std::begin(kFactoryColours), std::end(kFactoryColours),
              m_image.begin() + img::kColourTable);
    m_burst.reset();
    m_reply.reset();
}

std::vector<std::string> Firmware::protocolErrors() const {
    MutexLock guard(m_mutex);
    return m_errors;
}

void Firmware::clearProtocolErrors() {
    MutexLock guard(m_mutex);
    m_errors.clear();
}

std::string Firmware::describe() const {
    MutexLock guard(m_mutex);
    std::ostringstream out;
    out << "firmware " << int(m_major) << '.' << int(m_minor)
        << (m_plugged ? " plugged" : " unplugged") << '\n'
        << "report rate " << int(m_image[img::kReportRate]) << ", response time "
        << int(m_image[img::kResponseTime]) << ", game mode " << int(m_image[img::kGameMode])
        << '\n'
        << "effect " << int(m_image[img::kEffect]) << ", speed " << int(m_image[img::kSpeed])
        << ", brightness " << int(m_image[img::kBrightness]) << ", colour "
        << int(m_image[img::kColourChoice]) << ", direction " << int(m_image[img::kDirection])
        << '\n'
        << "burst " << (m_burst ? "open" : "none") << ", pending events " << m_events.size()
        << ", acknowledgements " << m_acks << ", protocol errors " << m_errors.size() << '\n';
    for (const std::string& e : m_errors) out << "  error: " << e << '\n';
    return out.str();
}

}  // namespace tavrik::sim
