#include "sim/kbsim_server.h"
#include "sim/socket_io.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <ostream>
#include <vector>

namespace tavrik::sim {

namespace {

bool answer(int fd, std::uint8_t type, std::span<const std::uint8_t> payload = {}) {
    return sendAll(fd, frame::encode(type, payload));
}

bool refuse(int fd, const std::string& why) {
    return answer(fd, frame::kFailed,
                  std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(why.data()),
                                                why.size()));
}

}  // namespace

KbsimServer::KbsimServer(Firmware& firmware, std::string socketPath)
    : m_firmware(firmware), m_path(std::move(socketPath)) {}

KbsimServer::~KbsimServer() {
    for (auto& [fd, client] : m_clients) ::close(fd);
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
        ::unlink(m_path.c_str());
    }
    if (m_wakeRead >= 0) ::close(m_wakeRead);
    if (m_wakeWrite >= 0) ::close(m_wakeWrite);
}

Status KbsimServer::listen() {
    sockaddr_un addr{};
    if (m_path.size() >= sizeof addr.sun_path) return valueError("socket path too long");
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return systemError(std::strerror(errno));
    m_wakeRead = pipeFds[0];
    m_wakeWrite = pipeFds[1];
    m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0) return systemError(std::strerror(errno));
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, m_path.c_str(), m_path.size() + 1);
    ::unlink(m_path.c_str());
    if (::bind(m_listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(m_listenFd, 8) != 0) {
        return systemError("cannot listen on " + m_path + ": " + std::strerror(errno));
    }
    m_lastPlugged = m_firmware.plugged();
    return {};
}

void KbsimServer::stop() {
    const char c = 'q';
    if (m_wakeWrite >= 0) [[maybe_unused]]
        ssize_t n = ::write(m_wakeWrite, &c, 1);
}

void KbsimServer::run(int commandFd, std::ostream& out) {
    std::string pending;
    for (;;) {
        std::vector<pollfd> fds{{m_listenFd, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
        if (commandFd >= 0) fds.push_back({commandFd, POLLIN, 0});
        for (auto& [fd, client] : m_clients) fds.push_back({fd, POLLIN, 0});
        // Events the firmware queues on its own (none today) are flushed at least every 50 ms.
        if (::poll(fds.data(), fds.size(), 50) < 0 && errno != EINTR) return;
        if (fds[1].revents != 0) {
            char c;
            [[maybe_unused]] ssize_t n = ::read(m_wakeRead, &c, 1);  // run() may be called again
            return;
        }
        if (fds[0].revents & POLLIN) accept();
        std::size_t first = 2;
        if (commandFd >= 0) {
            first = 3;
            if (fds[2].revents != 0) {
                char buf[256];
                const ssize_t n = ::read(commandFd, buf, sizeof buf);
                if (n <= 0) return;
                pending.append(buf, static_cast<std::size_t>(n));
                for (std::size_t nl; (nl = pending.find('\n')) != std::string::npos;) {
                    const std::string line = pending.substr(0, nl);
                    pending.erase(0, nl + 1);
                    if (!command(line, out)) return;
                    out.flush();
                }
            }
        }
        for (std::size_t i = first; i < fds.size(); ++i) {
            if (fds[i].revents == 0) continue;
            auto it = m_clients.find(fds[i].fd);
            if (it != m_clients.end() && !serve(it->first, it->second)) closeClient(it->first);
        }
        flushEvents();
        syncPlugState();
    }
}

void KbsimServer::accept() {
    const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0) m_clients.emplace(fd, Client{});
}

void KbsimServer::closeClient(int fd) {
    ::close(fd);
    m_clients.erase(fd);
}

bool KbsimServer::serve(int fd, Client& client) {
    std::uint8_t buf[4096];
    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) return false;
    client.decoder.feed(std::span<const std::uint8_t>(buf, static_cast<std::size_t>(n)));
    while (std::optional<frame::Frame> f = client.decoder.next()) {
        if (!handle(fd, client, *f)) return false;
        syncPlugState();
        if (m_clients.find(fd) == m_clients.end()) return true;  // closed by an unplug
    }
    return !client.decoder.malformed();
}

bool KbsimServer::handle(int fd, Client& client, const frame::Frame& f) {
    if (f.type == frame::kHello) {
        if (f.payload.size() != 1) return false;
        client.role = f.payload[0];
        const bool plugged = m_firmware.plugged();
        if (client.role != frame::kRoleMonitor && !plugged) {
            refuse(fd, "keyboard unplugged");
            return false;
        }
        // Monitors learn the current state from the answer.
        const std::uint8_t state[] = {plugged ? std::uint8_t{1} : std::uint8_t{0}};
        return client.role == frame::kRoleMonitor ? answer(fd, frame::kOk, state)
                                                  : answer(fd, frame::kOk);
    }
    if (client.role != frame::kRoleCommand) return false;
    switch (f.type) {
        case frame::kSetFeature:
            return m_firmware.receiveFeature(f.payload) ? answer(fd, frame::kOk)
                                                        : refuse(fd, "unplugged");
        case frame::kWriteData:
            return m_firmware.receiveData(f.payload) ? answer(fd, frame::kOk)
                                                     : refuse(fd, "unplugged");
        case frame::kGetFeature: {
            const std::optional<FeatureReport> r = m_firmware.replyFeature();
            return r ? answer(fd, frame::kOk, *r) : refuse(fd, "no reply");
        }
        case frame::kReadData: {
            const std::optional<DataReport> r = m_firmware.sendData();
            return r ? answer(fd, frame::kOk, *r) : refuse(fd, "no data");
        }
        default:
            return false;
    }
}

void KbsimServer::broadcast(std::uint8_t role, const std::vector<std::uint8_t>& bytes) {
    std::vector<int> dead;
    for (auto& [fd, client] : m_clients) {
        if (client.role == role && !sendAll(fd, bytes)) dead.push_back(fd);
    }
    for (int fd : dead) closeClient(fd);
}

void KbsimServer::flushEvents() {
    while (std::optional<std::vector<std::uint8_t>> e =
               m_firmware.nextEvent(std::chrono::milliseconds{0})) {
        broadcast(frame::kRoleEvent, frame::encode(frame::kEvent, *e));
    }
}

void KbsimServer::syncPlugState() {
    const bool plugged = m_firmware.plugged();
    if (plugged == m_lastPlugged) return;
    m_lastPlugged = plugged;
    if (!plugged) {
        std::vector<int> channels;
        for (auto& [fd, client] : m_clients) {
            const bool channel =
                client.role == frame::kRoleCommand || client.role == frame::kRoleEvent;
            if (channel) channels.push_back(fd);
        }
        for (int fd : channels) closeClient(fd);
    }
    broadcast(frame::kRoleMonitor, frame::encode(plugged ? frame::kPlugged : frame::kUnplugged));
}

bool KbsimServer::command(const std::string& line, std::ostream& out) {
    const bool more = runOperatorCommand(m_firmware, line, out);
    flushEvents();
    syncPlugState();
    return more;
}

}  // namespace tavrik::sim
