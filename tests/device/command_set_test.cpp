// Exchanges and bursts against the emulated keyboard: pauses, wire bytes, round trips and
// failed reads.
#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <random>
#include <string>

#include "device/bursts.h"
#include "device/command_set.h"
#include "model/config_state.h"
#include "wire_fixture.h"

namespace tavrik::device {
namespace {

namespace img = model::image;
using std::chrono::milliseconds;
using testing_support::Wire;

std::vector<milliseconds> ms(std::initializer_list<int> values) {
    std::vector<milliseconds> out;
    for (int v : values) out.emplace_back(v);
    return out;
}

std::vector<milliseconds> repeat(std::vector<milliseconds> head, int value, int times) {
    for (int i = 0; i < times; ++i) head.emplace_back(value);
    return head;
}

struct PauseRow {
    std::string name;
    std::function<Status(Link, model::Image&)> run;
    std::vector<milliseconds> pauses;
};
void PrintTo(const PauseRow& row, std::ostream* os) {
    *os << row.name;
}

class PauseSequence : public testing::TestWithParam<PauseRow> {};

TEST_P(PauseSequence, RecordedPausesAndNoProtocolErrors) {
    Wire wire;
    model::Image image = wire.firmware.image();
    ASSERT_TRUE(GetParam().run(wire.link(), image));
    EXPECT_EQ(wire.pacer.recorded(), GetParam().pauses);
    EXPECT_TRUE(wire.firmware.protocolErrors().empty());
}

std::vector<milliseconds> colourReadPauses() {
    std::vector<milliseconds> out;
    for (int i = 0; i < 7; ++i) out.insert(out.end(), {milliseconds{1}, milliseconds{1}});
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    All, PauseSequence,
    testing::Values(
        PauseRow{"WriteKeyCodes", [](Link l, model::Image& i) { return writeKeyCodeArea(l, i); },
                 ms({50, 60})},
        PauseRow{"ReadKeyCodes", [](Link l, model::Image& i) { return readKeyCodeArea(l, i); },
                 ms({})},
        PauseRow{"WriteBitmap", [](Link l, model::Image& i) { return writeEnableBitmap(l, i); },
                 ms({10})},
        PauseRow{"ReadBitmap", [](Link l, model::Image& i) { return readEnableBitmap(l, i); },
                 ms({})},
        PauseRow{"WriteMacroSlot",
                 [](Link l, model::Image& i) {
                     return writeMacroSlot(l, 5,
                                           std::span<const std::uint8_t, img::kMacroSlotSize>(
                                               i.data() + img::macroSlot(5), img::kMacroSlotSize));
                 },
                 ms({1, 0, 0})},
        PauseRow{"ReadMacroSlot", [](Link l, model::Image& i) { return readMacroSlot(l, 5, i); },
                 ms({})},
        PauseRow{"WriteDiyTable", [](Link l, model::Image& i) { return writeDiyTable(l, 2, i); },
                 repeat(ms({5}), 5, 8)},
        PauseRow{"ReadDiyTable", [](Link l, model::Image& i) { return readDiyTable(l, 2, i); },
                 repeat(ms({5, 5}), 5, 8)},
        PauseRow{"ReadFirmware",
                 [](Link l, model::Image&) {
                     return Status(readFirmwareVersion(l) ? Status{} : deviceError("x"));
                 },
                 ms({10, 10})},
        PauseRow{"ReadLighting", [](Link l, model::Image& i) { return readLighting(l, i); },
                 ms({10})},
        PauseRow{"ReadGameMode", [](Link l, model::Image& i) { return readGameMode(l, i); },
                 ms({5})},
        PauseRow{"ReadReportRate", [](Link l, model::Image& i) { return readReportRate(l, i); },
                 ms({10, 10})},
        PauseRow{"ReadColourTable", [](Link l, model::Image& i) { return readColourTable(l, i); },
                 colourReadPauses()},
        PauseRow{"SendColourTable", [](Link l, model::Image& i) { return sendColourTable(l, i); },
                 repeat(ms({}), 20, 7)},
        PauseRow{"SendGameMode", [](Link l, model::Image& i) { return sendGameMode(l, i); },
                 ms({20})},
        PauseRow{"SendLighting",
                 [](Link l, model::Image& i) { return sendLighting(l, i, LightingForm::Short); },
                 ms({10})},
        PauseRow{"FactoryReset", [](Link l, model::Image&) { return runFactoryReset(l); },
                 ms({300, 20, 300, 20, 300})}),
    [](const testing::TestParamInfo<PauseRow>& row) { return row.param.name; });

model::Image randomImage(std::uint32_t seed) {
    std::mt19937 rng(seed);
    model::Image im{};
    for (auto& b : im) b = static_cast<std::uint8_t>(rng());
    im[img::kSpeed] = static_cast<std::uint8_t>(rng() % 10);
    return im;
}

bool sameRange(const model::Image& a, const model::Image& b, std::size_t at, std::size_t n) {
    return std::equal(a.begin() + at, a.begin() + at + n, b.begin() + at);
}

TEST(RoundTrip, EveryRegionWrittenIsHeldAndReadBackUnchanged) {
    Wire wire;
    model::Image host = randomImage(7);
    const Link l = wire.link();
    ASSERT_TRUE(sendReportRate(l, host));
    ASSERT_TRUE(sendResponseTime(l, host));
    ASSERT_TRUE(sendLighting(l, host, LightingForm::Full));
    ASSERT_TRUE(sendColourTable(l, host));
    ASSERT_TRUE(sendGameMode(l, host));
    ASSERT_TRUE(writeKeyCodeArea(l, host));
    ASSERT_TRUE(writeEnableBitmap(l, host));
    for (std::size_t s = 0; s < img::kMacroSlotCount; ++s) {
        ASSERT_TRUE(writeMacroSlot(l, s,
                                   std::span<const std::uint8_t, img::kMacroSlotSize>(
                                       host.data() + img::macroSlot(s), img::kMacroSlotSize)));
    }
    for (std::size_t t = 0; t < img::kDiyTableCount; ++t) ASSERT_TRUE(writeDiyTable(l, t, host));

    const model::Image held = wire.firmware.image();
    struct Span {
        std::size_t at, n;
    };
    const Span carried[] = {{img::kReportRate, 1},     {img::kResponseTime, 1},
                            {img::kLightingParams, 5}, {img::kColourTable, 21},
                            {img::kGameMode, 1},       {img::kKeyCodeArea, 512},
                            {img::kEnableBitmap, 18},  {img::kMacroArea, img::kMacroAreaSize},
                            {img::kDiyTables, 2560}};
    for (const Span& s : carried) EXPECT_TRUE(sameRange(held, host, s.at, s.n)) << s.at;

    model::Image back{};
    ASSERT_TRUE(readReportRate(l, back));
    ASSERT_TRUE(readResponseTime(l, back));
    ASSERT_TRUE(readLighting(l, back));
    ASSERT_TRUE(readColourTable(l, back));
    ASSERT_TRUE(readGameMode(l, back));
    ASSERT_TRUE(readKeyCodeArea(l, back));
    ASSERT_TRUE(readEnableBitmap(l, back));
    for (std::size_t s = 0; s < img::kMacroSlotCount; ++s) ASSERT_TRUE(readMacroSlot(l, s, back));
    for (std::size_t t = 0; t < img::kDiyTableCount; ++t) ASSERT_TRUE(readDiyTable(l, t, back));
    for (const Span& s : carried) EXPECT_TRUE(sameRange(back, host, s.at, s.n)) << s.at;
    EXPECT_TRUE(wire.firmware.protocolErrors().empty());
    const auto v = readFirmwareVersion(l);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->stored(), (std::array<std::uint8_t, 4>{1, 1, 0, 0}));
}

TEST(Wire, BitmapWriteSendsEighteenBytesThenZeros) {
    Wire wire;
    model::Image host{};
    std::fill_n(host.begin() + img::kEnableBitmap, img::kEnableBitmapSize, 0xEE);
    ASSERT_TRUE(writeEnableBitmap(wire.link(), host));
    const auto sent = wire.takeSent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].bytes, std::vector<std::uint8_t>({0, 0x0E, 0, 0, 0x12, 0, 0, 0, 0xDF}));
    ASSERT_EQ(sent[1].bytes.size(), kDataReportSize);
    for (std::size_t i = 0; i < 18; ++i) EXPECT_EQ(sent[1].bytes[1 + i], 0xEE);
    for (std::size_t i = 18; i < 64; ++i) EXPECT_EQ(sent[1].bytes[1 + i], 0) << i;
}

TEST(Wire, MacroWriteSendsTheCallersBlockNotTheImage) {
    Wire wire;
    std::array<std::uint8_t, img::kMacroSlotSize> block{};
    std::iota(block.begin(), block.end(), std::uint8_t{1});
    ASSERT_TRUE(writeMacroSlot(wire.link(), 31, block));
    const auto sent = wire.takeSent();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].bytes[3], 31);
    EXPECT_EQ(sent[0].bytes[8], 0xCC);
    for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(sent[1 + k].bytes[1], block[64 * k]);
    const model::Image held = wire.firmware.image();
    EXPECT_TRUE(std::equal(block.begin(), block.end(), held.begin() + img::macroSlot(31)));
}

class WinLockRead : public testing::TestWithParam<std::pair<std::uint8_t, std::uint8_t>> {};

TEST_P(WinLockRead, FromBitZeroOfSecondByte) {
    Wire wire;
    model::Image kb = wire.firmware.image();
    kb[img::kEnableBitmap + 1] = GetParam().first;
    wire.firmware.setImage(kb);
    model::Image host{};
    host[img::kWinLock] = 0x77;
    ASSERT_TRUE(readEnableBitmap(wire.link(), host));
    EXPECT_EQ(host[img::kWinLock], GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Bytes, WinLockRead,
                         testing::Values(std::pair<std::uint8_t, std::uint8_t>{0xFE, 1},
                                         std::pair<std::uint8_t, std::uint8_t>{0x01, 0},
                                         std::pair<std::uint8_t, std::uint8_t>{0x00, 1}));

TEST(WinLockFolding, GameModeCommandFoldsTheLockIntoBitOne) {
    Wire wire;
    model::Image host{};
    host[img::kWinLock] = 1;
    host[img::kEnableBitmap] = 0xFF;
    ASSERT_TRUE(sendGameMode(wire.link(), host));
    EXPECT_EQ(host[img::kEnableBitmap], 0xFD);
    host[img::kWinLock] = 0;
    host[img::kEnableBitmap] = 0x00;
    ASSERT_TRUE(sendGameMode(wire.link(), host));
    EXPECT_EQ(host[img::kEnableBitmap], 0x02);
}

// A read that fails part-way leaves the image region untouched and reports a device error.
TEST(FailedReads, LeaveTheImageAsItWas) {
    Wire wire;
    wire.firmware.setImage(randomImage(3));
    model::Image host{};
    host.fill(0x11);
    const model::Image before = host;

    wire.firmware.setFaults({.noGetReply = true});
    EXPECT_FALSE(readLighting(wire.link(), host));
    EXPECT_FALSE(readKeyCodeArea(wire.link(), host));
    EXPECT_FALSE(readColourTable(wire.link(), host));
    EXPECT_FALSE(readFirmwareVersion(wire.link()));
    EXPECT_EQ(host, before);

    // Replies whose checksum does not match their bytes: no value of them is taken.
    wire.firmware.setFaults({.badReplyChecksum = true});
    for (const Status& bad :
         {readLighting(wire.link(), host), readGameMode(wire.link(), host),
          readReportRate(wire.link(), host), readResponseTime(wire.link(), host),
          readColourTable(wire.link(), host),
          Status(readFirmwareVersion(wire.link()).ok() ? Status{}
                                                       : Status(deviceError("checksum")))}) {
        ASSERT_FALSE(bad);
        EXPECT_EQ(bad.error().kind, ErrorKind::Device);
        EXPECT_NE(bad.error().context.find("checksum"), std::string::npos) << bad.error().context;
    }
    EXPECT_EQ(host, before);
    wire.firmware.setFaults({});
    EXPECT_TRUE(readLighting(wire.link(), host));  // the same exchange with a good reply
    host = before;

    wire.firmware.setFaults({.removeAfterPackets = 3});  // gone after the fourth packet
    const Status s = readDiyTable(wire.link(), 1, host);
    ASSERT_FALSE(s);
    EXPECT_EQ(s.error().kind, ErrorKind::Device);
    EXPECT_EQ(host, before);
    EXPECT_FALSE(readEnableBitmap(wire.link(), host));
    EXPECT_EQ(host, before);
}

TEST(FailedWrites, StopAtTheFirstFailedReport) {
    Wire wire;
    model::Image host = randomImage(9);
    wire.firmware.setFaults({.removeAfterPackets = 1});
    EXPECT_FALSE(writeKeyCodeArea(wire.link(), host));
    const auto sent = wire.takeSent();
    EXPECT_EQ(sent.size(), 3u);  // announcement and two packets; the third write fails
}

TEST(BlockIndex, OutOfRangeIsRefusedBeforeAnythingIsSent) {
    Wire wire;
    model::Image host{};
    EXPECT_EQ(readMacroSlot(wire.link(), 32, host).error().kind, ErrorKind::Value);
    EXPECT_EQ(writeDiyTable(wire.link(), 5, host).error().kind, ErrorKind::Value);
    EXPECT_TRUE(wire.takeSent().empty());
}

}  // namespace
}  // namespace tavrik::device
