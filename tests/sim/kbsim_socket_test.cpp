// tavrik-kbsim's server and the socket client: framing, round trips, key presses, hot-plug.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <sstream>
#include <thread>

#include "device/command_set.h"
#include "model/slot_table.h"
#include "sim/kbsim_server.h"
#include "sim/socket_channel.h"
#include "sim/socket_framing.h"
#include "sim/trace_format.h"

namespace tavrik::sim {
namespace {

namespace img = model::image;
using std::chrono::milliseconds;

TEST(Framing, SplitFeedsAndMalformedLengths) {
    const std::uint8_t payload[] = {1, 2, 3};
    std::vector<std::uint8_t> bytes = frame::encode(frame::kSetFeature, payload);
    const auto second = frame::encode(frame::kOk);
    bytes.insert(bytes.end(), second.begin(), second.end());
    frame::Decoder d;
    d.feed(std::span(bytes).first(2));
    EXPECT_FALSE(d.next());
    d.feed(std::span(bytes).subspan(2));
    auto f = d.next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->type, frame::kSetFeature);
    EXPECT_EQ(f->payload, std::vector<std::uint8_t>({1, 2, 3}));
    f = d.next();
    ASSERT_TRUE(f);
    EXPECT_EQ(f->type, frame::kOk);
    EXPECT_TRUE(f->payload.empty());

    frame::Decoder bad;
    const std::uint8_t huge[] = {'F', 0xFF, 0xFF, 0};
    bad.feed(huge);
    EXPECT_FALSE(bad.next());
    EXPECT_TRUE(bad.malformed());
}

TEST(Trace, OneLineWithMillisecondsDirectionKindAndHex) {
    const std::uint8_t bytes[] = {0x00, 0x0D, 0xEA};
    EXPECT_EQ(traceLine(std::chrono::microseconds{12345}, Direction::HostToKeyboard,
                        ReportKind::Feature, bytes),
              "12.345 in feature 00 0D EA");
    const std::uint8_t ev[] = {4, 4, 0, 0};
    EXPECT_EQ(
        traceLine(std::chrono::microseconds{7}, Direction::KeyboardToHost, ReportKind::Event, ev),
        "0.007 out event 04 04 00 00");
}

class KbsimSocket : public testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/kbsimXXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        m_dir = dir;
        m_path = m_dir + "/kb.sock";
        m_server = std::make_unique<KbsimServer>(m_firmware, m_path);
        ASSERT_TRUE(m_server->listen());
        m_thread = std::thread([this] { m_server->run(-1, m_out); });
    }
    void TearDown() override {
        m_server->stop();
        m_thread.join();
        m_server.reset();
        ::rmdir(m_dir.c_str());
    }

    device::OpenedChannel open(device::ChannelRole role) {
        return SocketChannel::open(m_path, role);
    }

    Firmware m_firmware;
    std::string m_dir, m_path;
    std::ostringstream m_out;
    std::unique_ptr<KbsimServer> m_server;
    std::thread m_thread;
};

TEST_F(KbsimSocket, RoundTripOverTheSocket) {
    auto cmd = open(device::ChannelRole::Command);
    auto evt = open(device::ChannelRole::Event);
    ASSERT_EQ(cmd.status, device::OpenStatus::Opened);
    ASSERT_EQ(evt.status, device::OpenStatus::Opened);
    device::RecordingPacer pacer;
    device::SleepPacer sleeper;
    device::Link fast{*cmd.channel, pacer};
    device::Link paced{*cmd.channel, sleeper};

    model::Image host{};
    host[img::kReportRate] = 2;
    for (std::size_t i = 0; i < img::kDiyTableSize; ++i) {
        host[img::diyTable(1) + i] = static_cast<std::uint8_t>(i * 7);
    }
    ASSERT_TRUE(device::sendReportRate(fast, host));
    ASSERT_TRUE(device::writeDiyTable(paced, 1, host));
    model::Image back{};
    ASSERT_TRUE(device::readReportRate(fast, back));
    ASSERT_TRUE(device::readDiyTable(fast, 1, back));
    EXPECT_EQ(back[img::kReportRate], 2);
    EXPECT_TRUE(std::equal(back.begin() + img::diyTable(1), back.begin() + img::diyTable(2),
                           host.begin() + img::diyTable(1)));
    EXPECT_TRUE(m_firmware.protocolErrors().empty());

    // The two acknowledgements arrive on the event channel.
    for (int i = 0; i < 2; ++i) {
        auto ev = evt.channel->readEvent(milliseconds{1000});
        ASSERT_TRUE(ev && ev.value());
        EXPECT_EQ((*ev.value())[1], 4);
    }
}

TEST_F(KbsimSocket, KeyPressUnplugAndPlug) {
    auto evt = open(device::ChannelRole::Event);
    ASSERT_EQ(evt.status, device::OpenStatus::Opened);
    std::atomic<int> plugs{0}, unplugs{0};
    SocketPlugMonitor monitor(m_path, [&](bool on) { (on ? plugs : unplugs)++; });
    ASSERT_TRUE(monitor.connected());

    model::Image im = m_firmware.image();
    const std::size_t cell = img::kKeyCodeArea + model::cellOffset(3);
    im[cell] = model::codetype::kHostAction;
    im[cell + 2] = 0x41;
    m_firmware.setImage(im);
    // The server flushes events the firmware queued on its own within one poll period.
    ASSERT_TRUE(m_firmware.pressKey(3));
    auto ev = evt.channel->readEvent(milliseconds{1000});
    ASSERT_TRUE(ev && ev.value());
    EXPECT_EQ(*ev.value(), (device::EventReport{4, 1, 0x41, 0}));

    m_firmware.unplug();
    auto gone = evt.channel->readEvent(milliseconds{1000});
    EXPECT_FALSE(gone);
    EXPECT_EQ(open(device::ChannelRole::Command).status, device::OpenStatus::NotPresent);
    m_firmware.plug();
    for (int i = 0; i < 100 && plugs == 0; ++i) std::this_thread::sleep_for(milliseconds{10});
    EXPECT_EQ(unplugs, 1);
    EXPECT_EQ(plugs, 1);
    EXPECT_EQ(open(device::ChannelRole::Command).status, device::OpenStatus::Opened);
}

TEST(KbsimCommands, OperatorCommandsChangeTheFirmware) {
    Firmware fw;
    KbsimServer server(fw, "/tmp/unused.sock");
    std::ostringstream out;
    EXPECT_TRUE(server.command("version 2 5", out));
    EXPECT_EQ(fw.versionMajor(), 2);
    EXPECT_EQ(fw.versionMinor(), 5);
    EXPECT_TRUE(server.command("press 3", out));
    EXPECT_NE(out.str().find("no host action on slot 3"), std::string::npos);
    EXPECT_TRUE(server.command("unplug", out));
    EXPECT_FALSE(fw.plugged());
    EXPECT_TRUE(server.command("plug", out));
    EXPECT_TRUE(fw.plugged());
    EXPECT_TRUE(server.command("dump", out));
    EXPECT_NE(out.str().find("firmware 2.5 plugged"), std::string::npos);
    EXPECT_FALSE(server.command("quit", out));
}

}  // namespace
}  // namespace tavrik::sim
