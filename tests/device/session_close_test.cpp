// Closing a session wakes its event reader instead of waiting for the read to end.
#include <gtest/gtest.h>

#include <future>

#include "session_fixture.h"

namespace tavrik::device {
namespace {

using namespace std::chrono_literals;
using testing_support::RecordingListener;
using testing_support::TempFolder;

// The emulator's event channel, with reads that last a minute whatever the session asks for,
// unless they are cancelled. Events and acknowledgements pass through as they come.
class MinuteReadChannel final : public Channel {
public:
    MinuteReadChannel(std::unique_ptr<Channel> inner, std::atomic<int>& cancels)
        : m_inner(std::move(inner)), m_cancels(cancels) {}
    Status setFeature(std::span<const std::uint8_t, kFeatureReportSize> r) override {
        return m_inner->setFeature(r);
    }
    Status getFeature(std::span<std::uint8_t, kFeatureReportSize> b) override {
        return m_inner->getFeature(b);
    }
    Status writeData(std::span<const std::uint8_t, kDataReportSize> r) override {
        return m_inner->writeData(r);
    }
    Status readData(std::span<std::uint8_t, kDataReportSize> b) override {
        return m_inner->readData(b);
    }
    Result<std::optional<EventReport>> readEvent(std::chrono::milliseconds) override {
        const auto end = std::chrono::steady_clock::now() + 60s;
        while (!m_cancelled && std::chrono::steady_clock::now() < end) {
            Result<std::optional<EventReport>> r = m_inner->readEvent(20ms);
            if (!r || r.value()) return r;
        }
        return std::optional<EventReport>{};
    }
    void cancelReads() override {
        m_cancelled = true;
        ++m_cancels;
        m_inner->cancelReads();
    }
    void close() override { m_inner->close(); }

private:
    std::unique_ptr<Channel> m_inner;
    std::atomic<bool> m_cancelled{false};
    std::atomic<int>& m_cancels;  // outlives the channel, which the session drops on closing
};

class MinuteReadOpener final : public ChannelOpener {
public:
    explicit MinuteReadOpener(sim::Firmware& firmware) : m_sim(firmware) {}
    OpenedChannel open(ChannelRole role) override {
        OpenedChannel c = m_sim.open(role);
        if (role == ChannelRole::Event && c.channel) {
            c.channel = std::make_unique<MinuteReadChannel>(std::move(c.channel), cancels);
        }
        return c;
    }
    bool keyboardPresent() override { return m_sim.keyboardPresent(); }

    std::atomic<int> cancels{0};  // cancelReads calls on the event channels opened

private:
    sim::SimOpener m_sim;
};

TEST(SessionClose, WakesTheEventReadAndReturnsWithoutWaitingItOut) {
    TempFolder folder;
    model::ConfigModel model(folder.path() / "keymap.bin");
    model.startup();
    RecordingPacer pacer;
    sim::Firmware firmware([&pacer] { return pacer.elapsed(); });
    MinuteReadOpener opener(firmware);
    RecordingListener listener;
    Session session(opener, pacer, model, listener);
    ASSERT_EQ(session.open(), ConnectionState::Connected);
    ASSERT_TRUE(listener.waitFinished(Job::StartupRead));
    session.waitIdle();

    auto closing = std::async(std::launch::async, [&session] { session.close(); });
    // Without the wake-up the close would last the read's whole minute.
    ASSERT_EQ(closing.wait_for(30s), std::future_status::ready);
    EXPECT_EQ(opener.cancels, 1);
    EXPECT_FALSE(session.eventChannelOpen());
}

// The emulator's own channel: a read in progress ends at once, and every later read too.
TEST(SessionClose, ACancelledSimChannelReadEndsAtOnce) {
    RecordingPacer pacer;
    sim::Firmware firmware([&pacer] { return pacer.elapsed(); });
    sim::SimOpener opener(firmware);
    OpenedChannel events = opener.open(ChannelRole::Event);
    ASSERT_TRUE(events.channel);
    auto reading =
        std::async(std::launch::async, [&events] { return events.channel->readEvent(60s); });
    events.channel->cancelReads();
    ASSERT_EQ(reading.wait_for(30s), std::future_status::ready);
    Result<std::optional<EventReport>> r = reading.get();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r.value());
    Result<std::optional<EventReport>> later = events.channel->readEvent(60s);
    ASSERT_TRUE(later);
    EXPECT_FALSE(later.value());
}

}  // namespace
}  // namespace tavrik::device
