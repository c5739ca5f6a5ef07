#include "transport/hid_event_channel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace tavrik::hid {

namespace {

using std::chrono::milliseconds;

Error notCommandChannel() {
    return deviceError("the event channel carries event reports only");
}

}  // namespace

HidEventChannel::HidEventChannel(int fd)
    : m_fd(fd), m_wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

HidEventChannel::~HidEventChannel() {
    close();
    if (m_wake >= 0) ::close(m_wake);
}

device::OpenedChannel HidEventChannel::open(const std::string& path) {
    device::OpenedChannel out;
    out.path = path;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        out.status = errno == EACCES || errno == EPERM ? device::ConnectionState::NoPermission
                                                       : device::ConnectionState::Failed;
        return out;
    }
    out.status = device::ConnectionState::Connected;
    out.channel = std::make_unique<HidEventChannel>(fd);
    return out;
}

Status HidEventChannel::setFeature(std::span<const std::uint8_t, device::kFeatureReportSize>) {
    return notCommandChannel();
}

Status HidEventChannel::getFeature(std::span<std::uint8_t, device::kFeatureReportSize>) {
    return notCommandChannel();
}

Status HidEventChannel::writeData(std::span<const std::uint8_t, device::kDataReportSize>) {
    return notCommandChannel();
}

Status HidEventChannel::readData(std::span<std::uint8_t, device::kDataReportSize>) {
    return notCommandChannel();
}

Result<std::optional<device::EventReport>> HidEventChannel::readEvent(milliseconds timeout) {
    using Out = std::optional<device::EventReport>;
    if (m_fd < 0) return deviceError("read event: channel closed");
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
        std::array<pollfd, 2> p{{{m_fd, POLLIN, 0}, {m_wake, POLLIN, 0}}};
        const int r = ::poll(p.data(), m_wake >= 0 ? 2 : 1,
                             static_cast<int>(std::max<long long>(0, left.count())));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return deviceError(std::string("read event: ") + std::strerror(errno));
        if (r == 0 || (p[1].revents & POLLIN) != 0) return Out{};
        // A node that went away reports POLLHUP or POLLERR, and its read fails.
        std::array<std::uint8_t, device::kDataReportSize> buf{};
        const ssize_t n = ::read(m_fd, buf.data(), buf.size());
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) {
            return deviceError(std::string("read event: ") +
                               (n < 0 ? std::strerror(errno) : "the node went away"));
        }
        const std::span<const std::uint8_t> got(buf.data(), static_cast<std::size_t>(n));
        if (device::isEventReport(got)) {
            device::EventReport e{};
            std::copy_n(got.begin(), e.size(), e.begin());
            return Out{e};
        }
        if (left.count() <= 0) return Out{};
    }
}

void HidEventChannel::cancelReads() {
    // The eventfd stays readable, so every later read also returns at once.
    const std::uint64_t one = 1;
    if (m_wake >= 0) (void)!::write(m_wake, &one, sizeof one);
}

void HidEventChannel::close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

}  // namespace tavrik::hid
