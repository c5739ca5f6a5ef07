#pragma once
// What the watcher tests share: the reports a watcher made, waiting for them, and a private
// Xvfb server.

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "appwatch/active_app_watcher.h"

extern char** environ;

namespace tavrik::app::test {

using Ids = std::vector<std::string>;

inline Ids toIds(const QStringList& list) {
    Ids out;
    for (const QString& s : list) out.push_back(s.toStdString());
    return out;
}

// Every activeAppChanged report so far, as id lists.
inline std::vector<Ids> reports(const QSignalSpy& spy) {
    std::vector<Ids> out;
    for (const QList<QVariant>& args : spy) out.push_back(toIds(args.at(0).value<ActiveApp>().ids));
    return out;
}

// Processes events until `done` holds, for at most `timeoutMs` (a bound, not a margin: the
// wait ends as soon as it holds).
inline bool waitUntil(QSignalSpy& spy, const std::function<bool()>& done, int timeoutMs = 30000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        spy.wait(static_cast<int>(
            std::max<qint64>(1, std::min<qint64>(deadline.remainingTime(), 1000))));
    }
    return true;
}

// The last report's ids, empty when there was none.
inline Ids lastReport(const QSignalSpy& spy) {
    return spy.isEmpty() ? Ids{} : toIds(spy.last().at(0).value<ActiveApp>().ids);
}

// Forks and runs argv[0] (after `prepare`, which may only make plain system calls), ended when
// the test process ends however it ends, so that a crashed test leaves no server behind.
template <typename Prepare>
pid_t spawnTiedToUs(const std::vector<char*>& argv, Prepare prepare, char* const* envp = environ) {
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    if (!prepare()) ::_exit(125);
    // After prepare: a change of user clears the setting.
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent) ::_exit(125);
    ::execve(argv[0], argv.data(), envp);
    ::_exit(127);
}

// Xvfb on a free display (it picks one and writes its number to a pipe).
class Xvfb {
public:
    bool start() {
        const std::string path = QStandardPaths::findExecutable("Xvfb").toStdString();
        if (path.empty()) return false;
        int fds[2];
        if (::pipe(fds) != 0) return false;
        ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
        std::vector<std::string> args = {path,        "-displayfd", std::to_string(fds[1]),
                                         "-screen",   "0",          "320x240x24",
                                         "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        m_pid = spawnTiedToUs(argv, [] { return true; });
        ::close(fds[1]);
        if (m_pid < 0) {
            ::close(fds[0]);
            return false;
        }
        std::string number;
        char c;
        while (::read(fds[0], &c, 1) == 1 && c != '\n') number.push_back(c);
        ::close(fds[0]);
        if (number.empty()) return false;
        m_display = ":" + number;
        return true;
    }
    void stop() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    ~Xvfb() { stop(); }
    QString display() const { return QString::fromStdString(m_display); }
    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

}  // namespace tavrik::app::test
