#include "cli/line_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "host/peer_credentials.h"

namespace tavrik::ctl {

LineSocket::~LineSocket() {
    if (m_fd >= 0) ::close(m_fd);
}

bool LineSocket::wait(short events, int timeoutMs) const {
    pollfd p{m_fd, events, 0};
    int n = 0;
    do {
        n = ::poll(&p, 1, timeoutMs);
    } while (n < 0 && errno == EINTR);
    return n > 0 && (p.revents & (events | POLLHUP | POLLERR)) != 0;
}

bool LineSocket::connectOnly(const QString& path, int timeoutMs) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || std::size_t(name.size()) >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    if (m_fd >= 0) ::close(m_fd);
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_fd < 0) return false;
    if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        return true;
    }
    // A full backlog makes a Unix socket wait; anything else is final.
    if (errno != EAGAIN && errno != EINPROGRESS) return false;
    if (!wait(POLLOUT, timeoutMs)) return false;
    int error = 0;
    socklen_t size = sizeof error;
    return ::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

LineSocket::Connect LineSocket::connectTo(const QString& path, int timeoutMs) {
    if (!connectOnly(path, timeoutMs)) return Connect::Absent;
    const auto peer = app::peerCredentials(m_fd);
    if (peer && peer->uid == ::geteuid()) return Connect::Connected;
    ::close(m_fd);
    m_fd = -1;
    return Connect::OtherUser;
}

bool LineSocket::send(const QByteArray& bytes, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n =
            ::send(m_fd, bytes.constData() + sent, std::size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && wait(POLLOUT, int(deadline.remainingTime()))) continue;
        return false;
    }
    return true;
}

std::optional<QByteArray> LineSocket::readLine(int timeoutMs, qsizetype maxBytes) {
    QDeadlineTimer deadline(timeoutMs);
    QByteArray received;
    char buffer[4096];
    while (true) {
        if (const qsizetype end = received.indexOf('\n'); end >= 0) return received.left(end + 1);
        if (received.size() > maxBytes) return std::nullopt;
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            received.append(buffer, n);
            continue;
        }
        if (n == 0) return std::nullopt;  // closed without a whole line
        if (errno == EINTR) continue;
        if (errno != EAGAIN || deadline.hasExpired()) return std::nullopt;
        if (!wait(POLLIN, int(deadline.remainingTime()))) return std::nullopt;
    }
}

}  // namespace tavrik::ctl
