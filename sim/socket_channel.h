#pragma once
// Channel and hot-plug monitor clients of a tavrik-kbsim socket.

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "common/thread_annotations.h"
#include "device/channel.h"
#include "sim/socket_framing.h"

namespace tavrik::sim {

class SocketChannel final : public device::Channel {
public:
    ~SocketChannel() override;
    SocketChannel(const SocketChannel&) = delete;
    SocketChannel& operator=(const SocketChannel&) = delete;

    // Connects with the role's hello; NotPresent when nothing listens or the keyboard is
    // unplugged.
    static device::OpenedChannel open(const std::string& socketPath, device::ChannelRole role);

    Status setFeature(std::span<const std::uint8_t, device::kFeatureReportSize> report) override;
    Status getFeature(std::span<std::uint8_t, device::kFeatureReportSize> buffer) override;
    Status writeData(std::span<const std::uint8_t, device::kDataReportSize> report) override;
    Status readData(std::span<std::uint8_t, device::kDataReportSize> buffer) override;
    Result<std::optional<device::EventReport>> readEvent(
        std::chrono::milliseconds timeout) override;
    void close() override;
    void cancelReads() override;

private:
    explicit SocketChannel(int fd);
    Result<frame::Frame> request(std::uint8_t type, std::span<const std::uint8_t> payload);
    // Waits at most `timeout` (negative: for ever) for the next frame.
    Result<std::optional<frame::Frame>> receive(std::chrono::milliseconds timeout);

    int m_fd;
    int m_wake;  // eventfd: readable once the event reads are cancelled
    std::atomic<bool> m_closed{false};
    int m_lateAnswers = 0;  // answers to requests that timed out, still to come
    frame::Decoder m_decoder;
};

// True when a kbsim server listens on the socket and its keyboard is plugged in, or when the
// server accepts but does not answer (stopped: its keyboard is silent, not gone).
bool socketKeyboardPresent(const std::string& socketPath);

// Reports the emulator's plug and unplug on its own thread until destroyed. A server that is
// not there yet, or goes away (reported as an unplug), is tried again every half second, and
// the state its answer carries is reported when it differs from the last one, so the tool and
// tavrik-kbsim may be started in either order.
class SocketPlugMonitor {
public:
    SocketPlugMonitor(std::string socketPath, std::function<void(bool plugged)> onChange);
    ~SocketPlugMonitor();
    SocketPlugMonitor(const SocketPlugMonitor&) = delete;
    SocketPlugMonitor& operator=(const SocketPlugMonitor&) = delete;

    // True while connected to a server.
    bool connected() const { return m_connected; }

private:
    void loop(frame::Decoder decoder);
    void report(bool plugged) TAVRIK_REQUIRES(m_monitorThread);
    // True when the destructor asked the thread to end within `timeout`.
    bool waitForStop(std::chrono::milliseconds timeout);

    std::string m_path;
    // The constructor sets the first state before the thread starts; the thread owns it then.
    ThreadRole m_monitorThread;
    int m_fd TAVRIK_GUARDED_BY(m_monitorThread) = -1;
    int m_wake[2] = {-1, -1};
    std::atomic<bool> m_connected{false};
    std::function<void(bool)> m_onChange;
    bool m_plugged TAVRIK_GUARDED_BY(m_monitorThread) = false;  // last reported state
    std::thread m_thread;
};

}  // namespace tavrik::sim
