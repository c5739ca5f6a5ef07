// The real keyboard's event channel on a descriptor that, like a hidraw node, hands over one
// report a read (a sequenced-packet socket pair stands in for the node; tests/kernel reads a
// real one).
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <future>
#include <vector>

#include "transport/hid_event_channel.h"

namespace tavrik::hid {
namespace {

using namespace std::chrono_literals;

struct NodePair {
    NodePair() {
        std::array<int, 2> fds{};
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds.data()) == 0) {
            channel = std::make_unique<HidEventChannel>(fds[0]);
            keyboard = fds[1];
        }
    }
    ~NodePair() {
        if (keyboard >= 0) ::close(keyboard);
    }
    void send(std::vector<std::uint8_t> report) const {
        ASSERT_EQ(::write(keyboard, report.data(), report.size()),
                  static_cast<ssize_t>(report.size()));
    }
    std::unique_ptr<HidEventChannel> channel;
    int keyboard = -1;
};

TEST(HidEventChannel, HandsOverEventReportsAndSkipsEveryOtherInputReport) {
    NodePair node;
    ASSERT_TRUE(node.channel);
    node.send({0x01, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00});  // a keyboard report
    node.send({0x04, 0x01, 0x02});                                // an event report cut short
    node.send({0x04, 0x02, 0x3B, 0x00});
    Result<std::optional<device::EventReport>> r = node.channel->readEvent(5s);
    ASSERT_TRUE(r);
    ASSERT_TRUE(r.value());
    EXPECT_EQ(*r.value(), (device::EventReport{0x04, 0x02, 0x3B, 0x00}));
    Result<std::optional<device::EventReport>> none = node.channel->readEvent(0ms);
    ASSERT_TRUE(none);
    EXPECT_FALSE(none.value());
}

TEST(HidEventChannel, CancellingEndsTheReadInProgressAndEveryLaterOne) {
    NodePair node;
    ASSERT_TRUE(node.channel);
    auto reading = std::async(std::launch::async, [&node] { return node.channel->readEvent(60s); });
    node.channel->cancelReads();
    ASSERT_EQ(reading.wait_for(30s), std::future_status::ready);
    Result<std::optional<device::EventReport>> r = reading.get();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r.value());
    auto later = std::async(std::launch::async, [&node] { return node.channel->readEvent(60s); });
    ASSERT_EQ(later.wait_for(30s), std::future_status::ready);
    EXPECT_TRUE(later.get());
}

TEST(HidEventChannel, ANodeThatGoesAwayFailsTheRead) {
    NodePair node;
    ASSERT_TRUE(node.channel);
    ::close(node.keyboard);
    node.keyboard = -1;
    EXPECT_FALSE(node.channel->readEvent(5s));
    node.channel->close();
    EXPECT_FALSE(node.channel->readEvent(0ms));
}

TEST(HidEventChannel, OpeningTellsAMissingNodeFromOneThatMayNotBeRead) {
    EXPECT_EQ(HidEventChannel::open("/nonexistent/hidraw0").status,
              device::ConnectionState::Failed);

    // A node only its owner may read, opened by another user (as without the udev rule).
    char pattern[] = "/tmp/tavrik-hidrawXXXXXX";
    const int fd = ::mkstemp(pattern);
    ASSERT_GE(fd, 0);
    ::close(fd);
    ASSERT_EQ(::chmod(pattern, 0600), 0);
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || nobody == nullptr) {
        std::filesystem::remove(pattern);
        GTEST_SKIP() << "needs root to open the node as another user";
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0) ::_exit(2);
        const device::OpenedChannel c = HidEventChannel::open(pattern);
        ::_exit(c.status == device::ConnectionState::NoPermission ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    std::filesystem::remove(pattern);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace tavrik::hid
