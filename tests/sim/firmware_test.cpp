// The emulated keyboard: protocol checks, acknowledgements, key events, factory state, faults.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "device/bursts.h"
#include "device/command_set.h"
#include "device/commands.h"
#include "model/config_state.h"
#include "model/slot_table.h"
#include "sim/firmware.h"
#include "sim/sim_channel.h"

namespace tavrik::sim {
namespace {

namespace img = model::image;
using device::DataReport;
using device::FeatureReport;
using device::Region;
using std::chrono::milliseconds;

struct Bench {
    device::RecordingPacer pacer;
    Firmware fw{[this] { return pacer.elapsed(); }};
    SimChannel ch{fw};
    device::Link link() { return {ch, pacer}; }
};

std::vector<std::uint8_t> bytesOf(const FeatureReport& r) {
    return {r.begin(), r.end()};
}

struct ErrorRow {
    std::string name;
    std::function<void(Bench&)> provoke;
    std::string mentions;  // part of the readable description
};
void PrintTo(const ErrorRow& row, std::ostream* os) {
    *os << row.name;
}

class ProtocolError : public testing::TestWithParam<ErrorRow> {};

TEST_P(ProtocolError, IsCountedWithAReadableDescription) {
    Bench b;
    GetParam().provoke(b);
    const auto errors = b.fw.protocolErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(GetParam().mentions), std::string::npos) << errors[0];
}

void sendBytes(Bench& b, std::vector<std::uint8_t> bytes) {
    b.fw.receiveFeature(bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Host, ProtocolError,
    testing::Values(
        ErrorRow{"WrongChecksum",
                 [](Bench& b) {
                     auto r = bytesOf(device::setGameMode(1));
                     r[8] ^= 0x01;
                     sendBytes(b, r);
                 },
                 "checksum"},
        ErrorRow{"ShortFeature",
                 [](Bench& b) {
                     sendBytes(b, {0, 0x01, 2});
                 },
                 "3 bytes"},
        ErrorRow{"DataReportOfWrongLength",
                 [](Bench& b) {
                     b.fw.receiveFeature(device::announceWrite(Region::EnableBitmap));
                     b.pacer.pause(milliseconds{10});
                     const std::vector<std::uint8_t> shortPacket(64, 0);
                     b.fw.receiveData(shortPacket);
                 },
                 "64 bytes"},
        ErrorRow{"ForeignReportInsideBurst",
                 [](Bench& b) {
                     b.fw.receiveFeature(device::announceWrite(Region::KeyCodes));
                     b.pacer.pause(milliseconds{50});
                     b.fw.receiveData(device::makeDataReport({}));
                     b.fw.receiveFeature(device::setGameMode(0));
                 },
                 "inside a burst after 1 of 8"},
        ErrorRow{"TooManyPackets",
                 [](Bench& b) {
                     b.fw.receiveFeature(device::announceWrite(Region::EnableBitmap));
                     b.pacer.pause(milliseconds{10});
                     b.fw.receiveData(device::makeDataReport({}));
                     b.fw.receiveData(device::makeDataReport({}));
                 },
                 "outside a write burst"},
        ErrorRow{"WrongPacketCount",
                 [](Bench& b) {
                     b.fw.receiveFeature(device::makeFeature(0x0D, {0, 0, 7, 0, 0, 0}));
                 },
                 "packet count of 7"},
        ErrorRow{"PauseTooShort",
                 [](Bench& b) {
                     b.fw.receiveFeature(device::announceWrite(Region::KeyCodes));
                     b.pacer.pause(milliseconds{49});
                     for (int k = 0; k < 8; ++k) b.fw.receiveData(device::makeDataReport({}));
                 },
                 "before the 50 ms pause"},
        ErrorRow{"GetWithoutRequest", [](Bench& b) { b.fw.replyFeature(); }, "get feature"},
        ErrorRow{"UnknownCommand", [](Bench& b) { b.fw.receiveFeature(device::makeFeature(0x33)); },
                 "unknown command 0x33"}),
    [](const testing::TestParamInfo<ErrorRow>& row) { return row.param.name; });

TEST(Acknowledgements, OnlyForTheStepsWriteAllWaitsFor) {
    Bench b;
    model::Image im = b.fw.image();
    auto acksOf = [&](auto step) {
        const auto before = b.fw.acknowledgementsSent();
        step();
        return b.fw.acknowledgementsSent() - before;
    };
    EXPECT_EQ(acksOf([&] { device::sendLighting(b.link(), im, device::LightingForm::Short); }), 1u);
    EXPECT_EQ(acksOf([&] { device::sendLighting(b.link(), im, device::LightingForm::Full); }), 0u);
    EXPECT_EQ(acksOf([&] { device::sendColourTable(b.link(), im); }), 1u);
    EXPECT_EQ(acksOf([&] { device::sendGameMode(b.link(), im); }), 1u);
    EXPECT_EQ(acksOf([&] { device::sendReportRate(b.link(), im); }), 1u);
    EXPECT_EQ(acksOf([&] { device::sendResponseTime(b.link(), im); }), 1u);
    EXPECT_EQ(acksOf([&] { device::writeKeyCodeArea(b.link(), im); }), 1u);
    EXPECT_EQ(acksOf([&] { device::writeDiyTable(b.link(), 3, im); }), 1u);
    EXPECT_EQ(acksOf([&] { device::readDiyTable(b.link(), 3, im); }), 0u);
    EXPECT_TRUE(b.fw.protocolErrors().empty());

    auto ev = b.ch.readEvent(milliseconds{0});
    ASSERT_TRUE(ev && ev.value());
    EXPECT_EQ(*ev.value(), (device::EventReport{4, 4, 0, 0}));
}

// What a Save sends is what the next read of the bitmap reports, whatever the bitmap held; the
// bytes on the wire are the host's own (the lock goes out in bit 1 of byte 0 only).
TEST(WinLock, ABitmapThatWasSentGivesBackItsLock) {
    for (std::uint8_t fill : {std::uint8_t{0x00}, std::uint8_t{0xFF}, std::uint8_t{0x5A}}) {
        for (std::uint8_t lock : {std::uint8_t{0}, std::uint8_t{1}}) {
            Bench b;
            model::Image sent{};
            std::fill_n(sent.begin() + img::kEnableBitmap, img::kEnableBitmapSize, fill);
            sent[img::kWinLock] = lock;
            model::foldWinLock(sent);
            ASSERT_TRUE(device::writeEnableBitmap(b.link(), sent));
            EXPECT_EQ(b.fw.image()[img::kEnableBitmap], sent[img::kEnableBitmap]);
            model::Image back{};
            back[img::kWinLock] = 7;
            ASSERT_TRUE(device::readEnableBitmap(b.link(), back));
            EXPECT_EQ(back[img::kWinLock], lock) << int(fill);
            EXPECT_TRUE(b.fw.protocolErrors().empty());
        }
    }
}

TEST(KeyEvents, OnlyKeysProgrammedAsHostActionsReport) {
    Bench b;
    model::Image im = b.fw.image();
    const int slot = 20;
    const std::size_t cell = img::kKeyCodeArea + model::cellOffset(slot);
    EXPECT_FALSE(b.fw.pressKey(slot));
    im[cell] = model::codetype::kHostAction;
    im[cell + 2] = 0x2C;
    b.fw.setImage(im);
    EXPECT_TRUE(b.fw.pressKey(slot));
    EXPECT_FALSE(b.fw.pressKey(model::kSlotCount));
    auto ev = b.ch.readEvent(milliseconds{0});
    ASSERT_TRUE(ev && ev.value());
    EXPECT_EQ(*ev.value(), (device::EventReport{4, 1, 0x2C, 0}));
}

TEST(FactoryReset, RestoresFactoryKeyCodesAndEnablesEveryKey) {
    Bench b;
    model::Image junk{};
    junk.fill(0x42);
    b.fw.setImage(junk);
    ASSERT_TRUE(device::runFactoryReset(b.link()));
    const model::Image im = b.fw.image();
    for (int s = 0; s < model::kSlotCount; ++s) {
        const auto& f = model::factoryKeyCodes()[model::slot(s).keyIndex];
        EXPECT_TRUE(
            std::equal(f.begin(), f.end(), im.begin() + img::kKeyCodeArea + model::cellOffset(s)))
            << "slot " << s;
    }
    for (std::size_t i = 0; i < img::kEnableBitmapSize; ++i) {
        EXPECT_EQ(im[img::kEnableBitmap + i], 0xFF);
    }
    EXPECT_EQ(im[img::kMacroArea], 0);
    EXPECT_LE(im[img::kSpeed], 9);
    EXPECT_TRUE(b.fw.protocolErrors().empty());
}

TEST(Faults, GarbageEventsAreDroppedByTheChannel) {
    Bench b;
    b.fw.setFaults({.garbageEvents = true});
    model::Image im = b.fw.image();
    device::sendReportRate(b.link(), im);
    EXPECT_EQ(b.fw.pendingEvents(), 4u);
    auto ev = b.ch.readEvent(milliseconds{0});
    ASSERT_TRUE(ev && ev.value());
    EXPECT_EQ(*ev.value(), (device::EventReport{4, 4, 0, 0}));
    EXPECT_EQ(b.fw.pendingEvents(), 0u);
}

TEST(Faults, NoAcknowledgementsAndUnplugKillOpenChannels) {
    Bench b;
    b.fw.setFaults({.noAcknowledgements = true});
    model::Image im = b.fw.image();
    device::sendReportRate(b.link(), im);
    auto ev = b.ch.readEvent(milliseconds{1});
    ASSERT_TRUE(ev);
    EXPECT_FALSE(ev.value());

    b.fw.unplug();
    EXPECT_FALSE(b.ch.setFeature(device::setGameMode(1)));
    EXPECT_FALSE(b.ch.readEvent(milliseconds{0}));
    EXPECT_EQ(openSimChannel(b.fw, device::ChannelRole::Command).status,
              device::ConnectionState::Absent);
    b.fw.plug();
    EXPECT_FALSE(b.ch.setFeature(device::setGameMode(1)));  // the old node stays dead
    auto fresh = openSimChannel(b.fw, device::ChannelRole::Command);
    ASSERT_EQ(fresh.status, device::ConnectionState::Connected);
    EXPECT_TRUE(fresh.channel->setFeature(device::setGameMode(1)));
}

}  // namespace
}  // namespace tavrik::sim
