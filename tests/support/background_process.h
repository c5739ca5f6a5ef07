#pragma once
// A forked child in the background, by default as another local user (nobody, when the tests
// run as root): a process that stays alive (its pid in a planted lock file), a listener on a
// local socket that counts what reaches it (a socket planted in a folder the victim might use),
// or a client that floods a server. Plain POSIX in the child, so that forking a threaded test
// process is safe.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>

#include "run_in_child.h"

namespace tavrik::test {

class BackgroundProcess {
public:
    // `body` runs as nobody; it gets a descriptor to write one byte to once it is ready and one
    // that becomes readable (end of file) when it should stop; its result is the exit code.
    explicit BackgroundProcess(const std::function<int(int ready, int stop)>& body,
                               bool asNobody = true) {
        int ready[2], stop[2];
        if (::pipe(ready) != 0 || ::pipe(stop) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            ::close(stop[1]);
            ::alarm(60);
            if (asNobody && ::geteuid() == 0 &&
                (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 ||
                 ::setuid(kNobody) != 0)) {
                ::_exit(125);
            }
            ::_exit(body(ready[1], stop[0]));
        }
        ::close(ready[1]);
        ::close(stop[0]);
        m_ready = ready[0];
        m_stop = stop[1];
    }
    ~BackgroundProcess() {
        if (m_pid > 0 && !m_reaped) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_ready >= 0) ::close(m_ready);
        if (m_stop >= 0) ::close(m_stop);
    }
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    pid_t pid() const { return m_pid; }
    bool waitReady(int timeoutMs = 5000) {
        pollfd p{m_ready, POLLIN, 0};
        char c = 0;
        return m_pid > 0 && ::poll(&p, 1, timeoutMs) == 1 && ::read(m_ready, &c, 1) == 1;
    }
    // Asks the body to stop and returns its exit code (-1 when it died otherwise).
    int stop() {
        if (m_stop >= 0) ::close(m_stop);
        m_stop = -1;
        int status = 0;
        if (m_pid <= 0 || ::waitpid(m_pid, &status, 0) != m_pid) return -1;
        m_reaped = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    int m_ready = -1;
    int m_stop = -1;
    bool m_reaped = false;
};

// A body that only stays alive until it is stopped.
inline int stayAlive(int ready, int stop) {
    char c = 1;
    if (::write(ready, &c, 1) != 1) return 1;
    pollfd p{stop, POLLIN, 0};
    ::poll(&p, 1, -1);
    return 0;
}

// A body that listens on `path` (open to every user) until stopped; its exit code is the number
// of connections it accepted (at most 100) plus 100 when any of them sent a byte. 126: it could
// not listen.
inline std::function<int(int, int)> countingListener(const std::string& path) {
    return [path](int ready, int stop) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (fd < 0 || path.size() >= sizeof address.sun_path) return 126;
        std::memcpy(address.sun_path, path.data(), path.size());
        ::unlink(path.c_str());
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::chmod(path.c_str(), 0777) != 0 || ::listen(fd, 16) != 0) {
            return 126;
        }
        char c = 1;
        if (::write(ready, &c, 1) != 1) return 126;
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
        int connections = 0;
        bool bytes = false;
        for (bool stopping = false; !stopping;) {
            pollfd p[2] = {{stop, POLLIN, 0}, {fd, POLLIN, 0}};
            if (::poll(p, 2, -1) < 0) continue;
            stopping = p[0].revents != 0;  // still take what is queued
            for (int client; (client = ::accept(fd, nullptr, nullptr)) >= 0;) {
                ++connections;
                pollfd q{client, POLLIN, 0};
                char buffer[256];
                if (::poll(&q, 1, 500) == 1 && ::read(client, buffer, sizeof buffer) > 0) {
                    bytes = true;
                }
                ::close(client);
            }
        }
        return (connections > 100 ? 100 : connections) + (bytes ? 100 : 0);
    };
}

}  // namespace tavrik::test
