// Incoming reports on both sides: the emulated keyboard parsing whatever the host sends, and
// the host's reads parsing whatever a keyboard answers, plus the kbsim socket framing.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "device/command_set.h"
#include "device/reports.h"
#include "sim/firmware.h"
#include "sim/socket_framing.h"

namespace {

using namespace tavrik;

// A keyboard whose every reply is taken from the fuzz input.
class ScriptedChannel final : public device::Channel {
public:
    explicit ScriptedChannel(std::span<const std::uint8_t> script) : m_script(script) {}

    Status setFeature(std::span<const std::uint8_t, device::kFeatureReportSize>) override {
        return take(1).empty() ? deviceError("end") : Status{};
    }
    Status getFeature(std::span<std::uint8_t, device::kFeatureReportSize> b) override {
        return fill(b);
    }
    Status writeData(std::span<const std::uint8_t, device::kDataReportSize>) override {
        return take(1).empty() ? deviceError("end") : Status{};
    }
    Status readData(std::span<std::uint8_t, device::kDataReportSize> b) override { return fill(b); }
    Result<std::optional<device::EventReport>> readEvent(std::chrono::milliseconds) override {
        const auto bytes = take(4);
        if (!device::isEventReport(bytes)) return std::optional<device::EventReport>{};
        device::EventReport r{};
        std::copy(bytes.begin(), bytes.end(), r.begin());
        return std::optional<device::EventReport>{r};
    }
    void close() override {}

private:
    std::span<const std::uint8_t> take(std::size_t n) {
        n = std::min(n, m_script.size());
        auto out = m_script.first(n);
        m_script = m_script.subspan(n);
        return out;
    }
    Status fill(std::span<std::uint8_t> b) {
        const auto bytes = take(b.size());
        if (bytes.size() < b.size()) return deviceError("short");
        std::copy(bytes.begin(), bytes.end(), b.begin());
        return {};
    }
    std::span<const std::uint8_t> m_script;
};

void fuzzFirmware(std::span<const std::uint8_t> in) {
    sim::Firmware fw([] { return std::chrono::microseconds{0}; });
    while (in.size() >= 2) {
        const std::uint8_t op = in[0];
        const std::size_t n = std::min<std::size_t>(in[1], in.size() - 2);
        const auto body = in.subspan(2, n);
        switch (op % 5) {
            case 0:
                fw.receiveFeature(body);
                break;
            case 1:
                fw.receiveData(body);
                break;
            case 2:
                fw.replyFeature();
                break;
            case 3:
                fw.sendData();
                break;
            default:
                fw.pressKey(op);
                break;
        }
        in = in.subspan(2 + n);
    }
    while (fw.nextEvent(std::chrono::milliseconds{0})) {
    }
}

void fuzzHost(std::span<const std::uint8_t> in) {
    ScriptedChannel ch(in);
    device::RecordingPacer pacer;
    pacer.setKeepLog(false);
    device::Link link{ch, pacer};
    model::Image image{};
    device::readFirmwareVersion(link);
    device::readLighting(link, image);
    device::readColourTable(link, image);
    device::readGameMode(link, image);
    device::readKeyCodeArea(link, image);
    device::readEnableBitmap(link, image);
    for (std::size_t s = 0; s < 32; ++s) device::readMacroSlot(link, s, image);
    for (std::size_t t = 0; t < 5; ++t) device::readDiyTable(link, t, image);
    ch.readEvent(std::chrono::milliseconds{0});
}

void fuzzFraming(std::span<const std::uint8_t> in) {
    sim::frame::Decoder d;
    const std::size_t half = in.size() / 2;
    d.feed(in.first(half));
    while (d.next()) {
    }
    d.feed(in.subspan(half));
    while (d.next()) {
    }
    device::normaliseDataReport(in);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> in(data + 1, size - 1);
    switch (data[0] % 3) {
        case 0:
            fuzzFirmware(in);
            break;
        case 1:
            fuzzHost(in);
            break;
        default:
            fuzzFraming(in);
            break;
    }
    return 0;
}
