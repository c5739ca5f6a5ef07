#include "sim/socket_channel.h"
#include "sim/socket_io.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace tavrik::sim {

namespace {

using std::chrono::milliseconds;

// The emulator answers each request at once; one that stays silent this long (stopped, hung)
// is treated as a keyboard that does not answer, as hidapi's bounded reads do.
constexpr milliseconds kAnswerBound{1000};
// How often the plug monitor tries to reach an emulator that is not (or no longer) there.
constexpr milliseconds kMonitorRetry{500};

int connectTo(const std::string& path) {
    sockaddr_un addr{};
    if (path.size() >= sizeof addr.sun_path) return -1;
    // Non-blocking while connecting: a server that has stopped accepting (its backlog full)
    // refuses at once instead of holding the caller.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads frames from fd into the decoder until one is whole or the wait ends; a readable
// `wake` descriptor ends the wait too.
Result<std::optional<frame::Frame>> receiveFrom(int fd, frame::Decoder& decoder,
                                                milliseconds timeout, int wake = -1) {
    using Out = std::optional<frame::Frame>;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (Out f = decoder.next()) return f;
        if (decoder.malformed()) return deviceError("malformed frame from the emulator");
        int wait = -1;
        if (timeout.count() >= 0) {
            const auto left = std::chrono::duration_cast<milliseconds>(
                deadline - std::chrono::steady_clock::now());
            wait = static_cast<int>(std::max<long long>(0, left.count()));
        }
        std::array<pollfd, 2> p{{{fd, POLLIN, 0}, {wake, POLLIN, 0}}};
        const int r = ::poll(p.data(), wake >= 0 ? 2 : 1, wait);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return deviceError(std::strerror(errno));
        if (r == 0 || (p[1].revents & POLLIN) != 0) return Out{};
        std::uint8_t buf[1024];
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return deviceError("emulator connection closed");
        decoder.feed(std::span<const std::uint8_t>(buf, static_cast<std::size_t>(n)));
    }
}

}  // namespace

SocketChannel::SocketChannel(int fd) : m_fd(fd), m_wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

SocketChannel::~SocketChannel() {
    ::close(m_fd);
    if (m_wake >= 0) ::close(m_wake);
}

device::OpenedChannel SocketChannel::open(const std::string& socketPath, device::ChannelRole role) {
    device::OpenedChannel out;
    const int fd = connectTo(socketPath);
    if (fd < 0) return out;
    std::unique_ptr<SocketChannel> ch(new SocketChannel(fd));
    const std::uint8_t r[] = {role == device::ChannelRole::Command ? frame::kRoleCommand
                                                                   : frame::kRoleEvent};
    Result<frame::Frame> hello = ch->request(frame::kHello, r);
    if (!hello || hello->type != frame::kOk) return out;
    out.status = device::ConnectionState::Connected;
    out.channel = std::move(ch);
    out.path = socketPath;
    return out;
}

Result<std::optional<frame::Frame>> SocketChannel::receive(milliseconds timeout) {
    return receiveFrom(m_fd, m_decoder, timeout);
}

void SocketChannel::cancelReads() {
    // The eventfd stays readable, so every later event read also returns at once.
    const std::uint64_t one = 1;
    if (m_wake >= 0) (void)!::write(m_wake, &one, sizeof one);
}

Result<frame::Frame> SocketChannel::request(std::uint8_t type,
                                            std::span<const std::uint8_t> payload) {
    if (m_closed) return deviceError("channel closed");
    if (!sendAll(m_fd, frame::encode(type, payload))) return deviceError("emulator gone");
    const auto deadline = std::chrono::steady_clock::now() + kAnswerBound;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
        Result<std::optional<frame::Frame>> f = receive(std::max(left, milliseconds{0}));
        if (!f) return f.error();
        if (!f.value()) {
            // The server answers every request once, in order: a late answer is skipped when
            // it comes, so a server that resumes (SIGCONT) is usable again.
            ++m_lateAnswers;
            return deviceError("the emulator did not answer within " +
                               std::to_string(kAnswerBound.count()) + " ms");
        }
        if (f.value()->type == frame::kEvent) continue;
        if (m_lateAnswers > 0) {
            --m_lateAnswers;
            continue;
        }
        return std::move(*f.value());
    }
}

namespace {
Status okOrError(const Result<frame::Frame>& f) {
    if (!f) return f.error();
    if (f->type != frame::kOk) {
        return deviceError(std::string(f->payload.begin(), f->payload.end()));
    }
    return {};
}
}  // namespace

Status SocketChannel::setFeature(std::span<const std::uint8_t, device::kFeatureReportSize> report) {
    return okOrError(request(frame::kSetFeature, report));
}

Status SocketChannel::getFeature(std::span<std::uint8_t, device::kFeatureReportSize> buffer) {
    Result<frame::Frame> f = request(frame::kGetFeature, buffer);
    if (Status s = okOrError(f); !s) return s;
    if (f->payload.size() != buffer.size()) return deviceError("short feature reply");
    std::copy(f->payload.begin(), f->payload.end(), buffer.begin());
    return {};
}

Status SocketChannel::writeData(std::span<const std::uint8_t, device::kDataReportSize> report) {
    return okOrError(request(frame::kWriteData, report));
}

Status SocketChannel::readData(std::span<std::uint8_t, device::kDataReportSize> buffer) {
    Result<frame::Frame> f = request(frame::kReadData, {});
    if (Status s = okOrError(f); !s) return s;
    if (f->payload.size() != buffer.size()) return deviceError("short data report");
    std::copy(f->payload.begin(), f->payload.end(), buffer.begin());
    return {};
}

Result<std::optional<device::EventReport>> SocketChannel::readEvent(milliseconds timeout) {
    using Out = std::optional<device::EventReport>;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (m_closed) return deviceError("channel closed");
        const auto left =
            std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
        Result<std::optional<frame::Frame>> f =
            receiveFrom(m_fd, m_decoder, std::max(left, milliseconds{0}), m_wake);
        if (!f) return f.error();
        if (!f.value()) return Out{};
        const frame::Frame& fr = *f.value();
        if (fr.type == frame::kEvent && device::isEventReport(fr.payload)) {
            device::EventReport r{};
            std::copy(fr.payload.begin(), fr.payload.end(), r.begin());
            return Out{r};
        }
    }
}

void SocketChannel::close() {
    m_closed = true;
    ::shutdown(m_fd, SHUT_RDWR);
}

namespace {

// Connects as a monitor; the open socket and whether the keyboard is plugged in, or -1 when
// no server answers.
std::pair<int, bool> connectMonitor(const std::string& socketPath, frame::Decoder& decoder) {
    const int fd = connectTo(socketPath);
    if (fd < 0) return {-1, false};
    const std::uint8_t role[] = {frame::kRoleMonitor};
    if (sendAll(fd, frame::encode(frame::kHello, role))) {
        Result<std::optional<frame::Frame>> answer = receiveFrom(fd, decoder, kAnswerBound);
        if (answer && answer.value() && answer.value()->type == frame::kOk) {
            const std::vector<std::uint8_t>& state = answer.value()->payload;
            return {fd, state.size() == 1 && state[0] == 1};
        }
    }
    ::close(fd);
    return {-1, false};
}

}  // namespace

bool socketKeyboardPresent(const std::string& socketPath) {
    const int fd = connectTo(socketPath);
    if (fd < 0) return false;
    const std::uint8_t role[] = {frame::kRoleMonitor};
    bool present = false;
    if (sendAll(fd, frame::encode(frame::kHello, role))) {
        frame::Decoder decoder;
        Result<std::optional<frame::Frame>> answer = receiveFrom(fd, decoder, kAnswerBound);
        // A server that accepts but does not answer (stopped) still has its keyboard: it is
        // silent, not gone.
        present = answer && (!answer.value() || (answer.value()->type == frame::kOk &&
                                                 answer.value()->payload.size() == 1 &&
                                                 answer.value()->payload[0] == 1));
    }
    ::close(fd);
    return present;
}

SocketPlugMonitor::SocketPlugMonitor(std::string socketPath, std::function<void(bool)> onChange)
    : m_path(std::move(socketPath)), m_onChange(std::move(onChange)) {
    if (::pipe2(m_wake, O_CLOEXEC) != 0) return;
    // The first attempt is made here, so that a running server is watched from the start; the
    // state it answers is the one the session found when it opened.
    frame::Decoder decoder;
    const auto [fd, on] = connectMonitor(m_path, decoder);
    m_fd = fd;
    m_plugged = on;
    m_connected = fd >= 0;
    m_thread = std::thread([this, d = std::move(decoder)]() mutable { loop(std::move(d)); });
}

SocketPlugMonitor::~SocketPlugMonitor() {
    if (m_thread.joinable()) {
        const char c = 'q';
        [[maybe_unused]] ssize_t n = ::write(m_wake[1], &c, 1);
        m_thread.join();
    }
    for (int fd : {m_fd, m_wake[0], m_wake[1]}) {
        if (fd >= 0) ::close(fd);
    }
}

void SocketPlugMonitor::report(bool plugged) {
    if (plugged == m_plugged) return;
    m_plugged = plugged;
    m_onChange(plugged);
}

bool SocketPlugMonitor::waitForStop(std::chrono::milliseconds timeout) {
    pollfd p{m_wake[0], POLLIN, 0};
    return ::poll(&p, 1, static_cast<int>(timeout.count())) > 0;
}

void SocketPlugMonitor::loop(frame::Decoder decoder) {
    m_monitorThread.bindToThisThread();
    m_monitorThread.assertHeld();
    for (;;) {
        if (m_fd < 0) {
            // No server (yet, or any more): try again, so that the start order does not matter.
            if (waitForStop(kMonitorRetry)) return;
            decoder = frame::Decoder{};
            const auto [fd, on] = connectMonitor(m_path, decoder);
            if (fd < 0) continue;
            m_fd = fd;
            m_connected = true;
            report(on);
        }
        while (std::optional<frame::Frame> f = decoder.next()) {
            if (f->type == frame::kPlugged) report(true);
            if (f->type == frame::kUnplugged) report(false);
        }
        pollfd p[2] = {{m_fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (p[1].revents != 0) return;
        std::uint8_t buf[256];
        const ssize_t n = ::recv(m_fd, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || decoder.malformed()) {
            // The server went away: its keyboard went with it.
            ::close(m_fd);
            m_fd = -1;
            m_connected = false;
            report(false);
            continue;
        }
        decoder.feed(std::span<const std::uint8_t>(buf, static_cast<std::size_t>(n)));
    }
}

}  // namespace tavrik::sim
