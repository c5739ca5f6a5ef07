// tavrik-kbsim's server and the socket client: framing, round trips, key presses, hot-plug.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <sstream>
#include <thread>

#include "device/command_set.h"
#include "device/commands.h"
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
    ASSERT_EQ(cmd.status, device::ConnectionState::Connected);
    ASSERT_EQ(evt.status, device::ConnectionState::Connected);
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
    ASSERT_EQ(evt.status, device::ConnectionState::Connected);
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
    EXPECT_EQ(open(device::ChannelRole::Command).status, device::ConnectionState::Absent);
    m_firmware.plug();
    for (int i = 0; i < 100 && plugs == 0; ++i) std::this_thread::sleep_for(milliseconds{10});
    EXPECT_EQ(unplugs, 1);
    EXPECT_EQ(plugs, 1);
    EXPECT_EQ(open(device::ChannelRole::Command).status, device::ConnectionState::Connected);
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

// Bad operator lines are refused with a message and change nothing.
TEST(KbsimCommands, MalformedCommandsAreRefused) {
    Firmware fw;
    KbsimServer server(fw, "/tmp/unused.sock");
    for (const char* line :
         {"press abc", "press 3x", "press 999", "fault bogus", "fault remove", "fault remove -4",
          "version 300 -1", "version 2", "version 1 2 3", "frobnicate"}) {
        std::ostringstream out;
        EXPECT_TRUE(server.command(line, out));
        EXPECT_EQ(out.str().rfind("refused: ", 0), 0u) << line << ": " << out.str();
    }
    EXPECT_EQ(fw.versionMajor(), 1);
    EXPECT_EQ(fw.versionMinor(), 1);
    EXPECT_TRUE(fw.plugged());
    std::ostringstream out;
    EXPECT_TRUE(server.command("fault remove 2", out));
    EXPECT_EQ(out.str(), "fault remove\n");
}

TEST(KbsimProgram, HelpListsTheCommandsAndSucceeds) {
    const std::string command = std::string(KBSIM_PROGRAM) + " --help";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string text;
    char buf[256];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, pipe)) text.append(buf, n);
    const int status = ::pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    for (const char* word : {"press", "unplug", "plug", "dump", "version", "fault", "quit"}) {
        EXPECT_NE(text.find(word), std::string::npos) << word;
    }
}

// A server that accepts but never answers: a socket whose owner never serves it, as a stopped
// tavrik-kbsim leaves it.
class SilentServer {
public:
    SilentServer() {
        char dir[] = "/tmp/kbsimXXXXXX";
        m_dir = ::mkdtemp(dir);
        path = m_dir + "/kb.sock";
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
        listening = ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
                    ::listen(m_fd, 1) == 0;
    }
    ~SilentServer() {
        ::close(m_fd);
        ::unlink(path.c_str());
        ::rmdir(m_dir.c_str());
    }
    std::string path;
    bool listening = false;

private:
    std::string m_dir;
    int m_fd = -1;
};

TEST(KbsimBounds, ASilentServerIsNotAKeyboard) {
    SilentServer silent;
    ASSERT_TRUE(silent.listening);
    const auto start = std::chrono::steady_clock::now();
    // More connections than the backlog holds: none may block.
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(SocketChannel::open(silent.path, device::ChannelRole::Command).status,
                  device::ConnectionState::Absent);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
}

TEST_F(KbsimSocket, ARequestTheServerNeverAnswersFailsWithinItsBound) {
    auto cmd = open(device::ChannelRole::Command);
    ASSERT_EQ(cmd.status, device::ConnectionState::Connected);
    // The server stops serving: as if tavrik-kbsim had been stopped.
    m_server->stop();
    m_thread.join();
    const auto start = std::chrono::steady_clock::now();
    const device::FeatureReport report = device::makeFeature(device::cmd::kSetReportRate, {});
    EXPECT_FALSE(cmd.channel->setFeature(report));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    // The server resumes: the late answer is not taken for the next request's.
    m_thread = std::thread([this] { m_server->run(-1, m_out); });
    model::Image host{};
    host[img::kReportRate] = 3;
    device::RecordingPacer pacer;
    device::Link link{*cmd.channel, pacer};
    ASSERT_TRUE(device::sendReportRate(link, host));
    model::Image back{};
    ASSERT_TRUE(device::readReportRate(link, back));
    EXPECT_EQ(back[img::kReportRate], 3);
}

// The monitor finds a server started after it, reports its going as an unplug and finds the
// next one.
TEST(KbsimMonitor, StartOrderDoesNotMatter) {
    char dir[] = "/tmp/kbsimXXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/kb.sock";
    std::mutex mutex;
    std::vector<bool> changes;
    SocketPlugMonitor monitor(path, [&](bool on) {
        std::lock_guard<std::mutex> guard(mutex);
        changes.push_back(on);
    });
    EXPECT_FALSE(monitor.connected());
    const auto waitFor = [&](std::size_t n) {
        for (int i = 0; i < 400; ++i) {
            {
                std::lock_guard<std::mutex> guard(mutex);
                if (changes.size() >= n) return true;
            }
            std::this_thread::sleep_for(milliseconds{10});
        }
        return false;
    };
    for (int round = 0; round < 2; ++round) {
        Firmware fw;
        KbsimServer server(fw, path);
        ASSERT_TRUE(server.listen());
        std::ostringstream out;
        std::thread serving([&] { server.run(-1, out); });
        EXPECT_TRUE(waitFor(static_cast<std::size_t>(2 * round + 1)));
        EXPECT_TRUE(monitor.connected());
        EXPECT_EQ(SocketChannel::open(path, device::ChannelRole::Command).status,
                  device::ConnectionState::Connected);
        server.stop();
        serving.join();
    }
    EXPECT_TRUE(waitFor(4));
    std::lock_guard<std::mutex> guard(mutex);
    EXPECT_EQ(changes, (std::vector<bool>{true, false, true, false}));
    ::rmdir(dir);
}

}  // namespace
}  // namespace tavrik::sim
