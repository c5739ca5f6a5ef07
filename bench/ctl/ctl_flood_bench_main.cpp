// The running tool's instance socket under clients that misbehave, against tavrik-kbsim: the
// tool's memory (VmRSS) before, during and after 40 connections that each send 15 MiB without
// a newline, and the wall time of a `tavrikctl set` while such a flood runs and after a client
// queued 300 reads and left without reading an answer; first, a forwarded `set effect wave`:
// its wall time against the keyboard's own pauses and the connections it makes to the tool.

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "describe/set_command.h"
#include "host/device_link.h"
#include "host/instance_address.h"
#include "macro/macro_store.h"
#include "model/key_table.h"

#include "floor_pacer.h"
#include "set_floor.h"

namespace {

using tavrik::bench::FloorPacer;

constexpr int kFloodConnections = 40;
constexpr qint64 kFloodBytes = 15 * 1024 * 1024;
constexpr int kQueuedReads = 300;
constexpr int kForwardRounds = 10;
constexpr double kForwardTargetMs = 60.0;

// The keyboard's own pauses of the Save a `set effect NAME` makes, measured before the tool
// holds the socket.
double setEffectFloorMs(const QString& socket, const char* effect) {
    return tavrik::bench::setEffectFloor(socket, effect).saveMs;
}

// Lines of the tool's debug log that announce a connection to its socket.
int connectionsLogged(const QString& log) {
    QFile f(log);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    return int(f.readAll().count("instance socket: connection"));
}

double rssMb(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
    return -1;
}

int connectTo(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, O_NONBLOCK);
    return fd;
}

struct Run {
    double ms = 0;
    int exitCode = -1;
    QByteArray err;
};

Run ctl(const QProcessEnvironment& env, const QStringList& args) {
    QProcess p;
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(TAVRIKCTL_PROGRAM, args);
    Run r;
    if (p.waitForFinished(180000)) r.exitCode = p.exitCode();
    r.ms = double(t.nsecsElapsed()) / 1e6;
    r.err = p.readAllStandardError().trimmed();
    return r;
}

// Sends `bytes` without a newline on each connection until done, refused or `seconds` passed;
// samples the tool's memory meanwhile. Returns the highest sample.
double flood(std::vector<int>& fds, qint64 bytes, qint64 toolPid, int seconds) {
    std::vector<qint64> left(fds.size(), bytes);
    const QByteArray chunk(64 * 1024, 'x');
    double most = 0;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < seconds * 1000) {
        bool any = false;
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i] < 0 || left[i] <= 0) continue;
            const ssize_t n = ::send(fds[i], chunk.constData(),
                                     std::size_t(std::min<qint64>(left[i], chunk.size())),
                                     MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) left[i] -= n;
            if (n < 0 && errno != EAGAIN) {
                ::close(fds[i]);
                fds[i] = -1;
            }
            any = any || (fds[i] >= 0 && left[i] > 0);
        }
        most = std::max(most, rssMb(toolPid));
        if (!any) break;
        QThread::msleep(1);
    }
    return most;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString run = dir.filePath("run");
    QDir().mkpath(run);
    QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", run);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run));
    const auto place = tavrik::app::instancePlace();
    if (!place) return 1;
    const QString kb = dir.filePath("kb.sock");
    const QString data = dir.filePath("data");
    const QStringList common{"--sim-socket", kb, "--data-dir", data};

    QProcess kbsim;
    kbsim.setProcessEnvironment(env);
    kbsim.start(KBSIM_PROGRAM, {kb});
    QProcess tool;
    tool.setProcessEnvironment(env);
    // Its log counts the connections a command makes.
    const QString toolLog = dir.filePath("tool.log");
    QProcessEnvironment toolEnv = env;
    toolEnv.insert("QT_LOGGING_RULES", "tavrik.ctl.debug=true");
    tool.setProcessEnvironment(toolEnv);
    tool.setStandardErrorFile(toolLog);
    if (!kbsim.waitForReadyRead(5000)) return 1;
    const double floorMs =
        std::max(setEffectFloorMs(kb, "breathing"), setEffectFloorMs(kb, "wave"));
    tool.start(TOOL_PROGRAM, common);
    if (!tool.waitForStarted()) return 1;
    for (int i = 0; i < 100; ++i) {
        const Run s = ctl(env, common + QStringList{"status"});
        if (s.exitCode == 0) break;
        QThread::msleep(100);
    }
    QThread::sleep(2);  // the tool's start-up read
    const qint64 pid = tool.processId();

    // Forwarded `set effect wave` (breathing in between, so that each one sends its report).
    std::vector<double> forwardMs;
    int connections = 0;
    bool forwardOk = true;
    for (int i = 0; i < kForwardRounds; ++i) {
        const int before = connectionsLogged(toolLog);
        const Run wave = ctl(env, common + QStringList{"set", "effect", "wave"});
        connections = std::max(connections, connectionsLogged(toolLog) - before);
        forwardMs.push_back(wave.ms);
        forwardOk = forwardOk && wave.exitCode == 0;
        forwardOk =
            forwardOk && ctl(env, common + QStringList{"set", "effect", "breathing"}).exitCode == 0;
    }
    std::sort(forwardMs.begin(), forwardMs.end());
    const double forwardMedian = forwardMs[forwardMs.size() / 2];

    const Run quiet = ctl(env, common + QStringList{"set", "effect", "wave"});
    const double idle = rssMb(pid);

    // 40 connections, 15 MiB each, no newline; a `set` while they send.
    std::vector<int> fds;
    for (int i = 0; i < kFloodConnections; ++i) fds.push_back(connectTo(place->socketPath));
    Run during;
    std::thread setter([&] {
        QThread::msleep(200);
        during = ctl(env, common + QStringList{"set", "effect", "breathing"});
    });
    const double peak = flood(fds, kFloodBytes, pid, 20);
    setter.join();
    const double held = rssMb(pid);
    for (int& fd : fds) {
        if (fd >= 0) ::close(fd);
    }
    QThread::sleep(1);
    const double after = rssMb(pid);

    // 300 read requests, never read, then the client leaves; a `set` right after.
    std::vector<int> readers;
    const QByteArray read = "{\"version\":1,\"command\":\"read\"}\n";
    int sent = 0;
    for (int i = 0; i < kQueuedReads; ++i) {
        const int fd = connectTo(place->socketPath);
        if (fd < 0) continue;
        if (::send(fd, read.constData(), std::size_t(read.size()), MSG_NOSIGNAL) == read.size()) {
            ++sent;
        }
        readers.push_back(fd);
    }
    QThread::msleep(500);
    for (int fd : readers) ::close(fd);
    const Run afterLeaving = ctl(env, common + QStringList{"set", "effect", "wave"});

    // The same client staying connected and never reading.
    readers.clear();
    for (int i = 0; i < kQueuedReads; ++i) {
        const int fd = connectTo(place->socketPath);
        if (fd >= 0 && ::send(fd, read.constData(), std::size_t(read.size()), MSG_NOSIGNAL) > 0) {
            readers.push_back(fd);
        }
    }
    const Run whileStaying = ctl(env, common + QStringList{"set", "effect", "breathing"});
    for (int fd : readers) ::close(fd);

    std::printf("%-58s %10s %10s %10s %6s\n", "forwarded tavrikctl set effect wave", "median ms",
                "pauses ms", "over ms", "conns");
    std::printf("%-58s %10.1f %10.1f %10.1f %6d %s\n",
                QStringLiteral("%1 rounds (min %2, max %3 ms)")
                    .arg(kForwardRounds)
                    .arg(forwardMs.front(), 0, 'f', 1)
                    .arg(forwardMs.back(), 0, 'f', 1)
                    .toUtf8()
                    .constData(),
                forwardMedian, floorMs, forwardMedian - floorMs, connections,
                !forwardOk                                                        ? "FAILED"
                : connections == 1 && forwardMedian - floorMs <= kForwardTargetMs ? "ok"
                                                                                  : "over target");
    std::printf("(target: one connection and at most %.0f ms over the keyboard's pauses)\n\n",
                kForwardTargetMs);
    std::printf("%-58s %10s\n", "tool memory (VmRSS)", "MB");
    std::printf("%-58s %10.1f\n", "idle", idle);
    std::printf("%-58s %10.1f\n", "peak while 40 connections send 15 MiB without newline", peak);
    std::printf("%-58s %10.1f\n", "when the flood has been sent", held);
    std::printf("%-58s %10.1f\n", "1 s after the flood closed", after);
    std::printf("\n%-58s %10s %5s\n", "tavrikctl set effect", "wall ms", "exit");
    const struct {
        const char* name;
        const Run& r;
    } rows[] = {
        {"quiet", quiet},
        {"during the 40 x 15 MiB flood", during},
        {"after 300 queued reads whose client left", afterLeaving},
        {"while 300 reads wait for a client that never reads", whileStaying},
    };
    for (const auto& row : rows) {
        std::printf("%-58s %10.1f %5d %s\n", row.name, row.r.ms, row.r.exitCode,
                    row.r.err.constData());
    }
    std::printf("(%d of %d reads were sent before the client left)\n", sent, kQueuedReads);
    tool.terminate();
    tool.waitForFinished(5000);
    kbsim.write("quit\n");
    kbsim.waitForFinished(3000);
    return 0;
}
