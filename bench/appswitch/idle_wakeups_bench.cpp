// tavrik-idle-wakeups-bench [SECONDS]: how often the tool's process wakes while nothing happens,
// with the emulated keyboard connected (in-process, real pauses) and the window in the
// background: without application watching, with the X11 watcher against Xvfb, and with the
// wlroots watcher under headless Sway (each with one window in front that does not change);
// and without watching against tavrik-kbsim over its socket, the transport of another process.
// A wakeup is a context switch of any of the process's threads (voluntary and involuntary, from
// /proc/self/task/*/status); the event loop's own wakeups are counted apart. Prints a table,
// the threads that woke, and exits 1 when a figure misses: at most 6 a second with a keyboard,
// and a watcher adds none.

#include <dirent.h>
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "appwatch/active_app_watcher.h"
#include "display_servers.h"
#include "sim/firmware.h"
#include "skin/skin_paths.h"
#include "windows/main_window.h"

namespace {

using namespace tavrik;

constexpr double kTargetPerSecond = 6;
// What counts as none: below one wakeup in every two seconds.
constexpr double kNoneAdded = 0.5;

struct ThreadCount {
    std::string name;
    long long switches = 0;
};

// Every thread of this process: its name and its context switches so far.
std::map<int, ThreadCount> threadSwitches() {
    std::map<int, ThreadCount> out;
    DIR* dir = ::opendir("/proc/self/task");
    if (!dir) return out;
    while (const dirent* entry = ::readdir(dir)) {
        const int tid = std::atoi(entry->d_name);
        if (tid <= 0) continue;
        const QString base = QStringLiteral("/proc/self/task/%1/").arg(tid);
        QFile status(base + QStringLiteral("status"));
        if (!status.open(QIODevice::ReadOnly)) continue;  // ended meanwhile
        ThreadCount t;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("voluntary_ctxt_switches:") ||
                line.startsWith("nonvoluntary_ctxt_switches:")) {
                t.switches += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
            }
        }
        QFile comm(base + QStringLiteral("comm"));
        if (comm.open(QIODevice::ReadOnly)) t.name = comm.readAll().trimmed().toStdString();
        out[tid] = t;
    }
    ::closedir(dir);
    return out;
}

struct Figure {
    double perSecond = 0;      // every thread
    double loopPerSecond = 0;  // the event dispatcher's awake()
    std::map<std::string, double> byThread;
};

// Runs the event loop for `ms` and counts what woke meanwhile. Threads that started during the
// run count from zero; those that ended are lost (none should, while idle).
Figure idleFor(int ms) {
    Figure f;
    int awake = 0;
    auto* dispatcher = QAbstractEventDispatcher::instance();
    const auto connection =
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [&awake] { ++awake; });
    const auto before = threadSwitches();
    QElapsedTimer elapsed;
    elapsed.start();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    const double seconds = static_cast<double>(elapsed.nsecsElapsed()) / 1e9;
    const auto after = threadSwitches();
    QObject::disconnect(connection);
    long long total = 0;
    for (const auto& [tid, t] : after) {
        const auto b = before.find(tid);
        const long long n = t.switches - (b == before.end() ? 0 : b->second.switches);
        total += n;
        const std::string who = tid == ::getpid() ? std::string("main thread")
                                                  : "thread " + std::to_string(tid) + " " + t.name;
        if (n > 0) f.byThread[who] += static_cast<double>(n) / seconds;
    }
    f.perSecond = static_cast<double>(total) / seconds;
    f.loopPerSecond = awake / seconds;
    return f;
}

// The window with the emulated keyboard, the watcher given (or none), idle for `ms` after the
// start-up read and a second to calm down.
// `socket`: a running tavrik-kbsim's; empty: the emulator in-process.
std::optional<Figure> measure(app::ActiveAppWatcher* watcher, int ms, const QString& socket = {}) {
    QTemporaryDir data;
    app::AppContext context;
    if (socket.isEmpty()) {
        context.options.simulate = true;
        context.device.firmware = std::make_shared<sim::Firmware>();
    } else {
        context.options.simSocket = socket.toStdString();
    }
    context.paths.programFolder = skin::programFolder();
    context.paths.dataFolder = data.path();
    context.appWatcher = watcher;
    auto window = std::make_unique<app::MainWindow>(context);
    window->initialise(false);
    window->hide();  // in the background, as when it waits in the notification area
    if (watcher && !watcher->start()) return std::nullopt;
    QElapsedTimer limit;
    limit.start();
    while (window->deviceLink()->session().busy() || !window->deviceLink()->connected()) {
        if (limit.elapsed() > 60000) return std::nullopt;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    idleFor(1000);
    return idleFor(ms);
}

void printRow(const char* name, const std::optional<Figure>& f, const Figure& base, bool watcher,
              bool& allOk) {
    if (!f) {
        std::printf("%-50s %10s %10s %10s %6s\n", name, "-", "-", "-", "NO");
        allOk = false;
        return;
    }
    const double added = f->perSecond - base.perSecond;
    const bool ok = f->perSecond <= kTargetPerSecond && (!watcher || added < kNoneAdded);
    allOk = allOk && ok;
    char addedText[32] = "";
    if (watcher) std::snprintf(addedText, sizeof addedText, "%+.1f", added);
    std::printf("%-50s %10.1f %10.1f %10s %6s\n", name, f->perSecond, f->loopPerSecond, addedText,
                ok ? "yes" : "NO");
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10;
    const int ms = seconds * 1000;

    const std::optional<Figure> none = measure(nullptr, ms);
    if (!none) {
        std::fprintf(stderr, "the emulated keyboard did not come up\n");
        return 1;
    }

    std::optional<Figure> overSocket;
    {
        QTemporaryDir dir;
        QProcess kbsim;
        const QString socket = dir.filePath(QStringLiteral("kbsim.sock"));
        kbsim.start(QStringLiteral(TAVRIK_KBSIM), {socket});
        while (kbsim.waitForReadyRead(30000) && !kbsim.readAll().contains("listening")) {
        }
        if (kbsim.state() == QProcess::Running) {
            overSocket = measure(nullptr, ms, socket);
        } else {
            std::fprintf(stderr, "tavrik-kbsim did not start\n");
        }
        kbsim.write("quit\n");
        kbsim.closeWriteChannel();
        if (!kbsim.waitForFinished(30000)) kbsim.kill();
    }

    std::optional<Figure> x11;
    {
        app::test::Xvfb server;
        if (server.start()) {
            app::test::X11Desktop desktop(server.display());
            desktop.activate(desktop.window(QByteArray("editor\0Editor\0", 14)));
            auto watcher = app::createActiveAppWatcher({"x11", {}, server.display(), {}});
            if (watcher && watcher->backendName() == QLatin1StringView("X11")) {
                x11 = measure(watcher.get(), ms);
            }
        } else {
            std::fprintf(stderr, "Xvfb did not start\n");
        }
    }

    std::optional<Figure> sway;
    {
        app::test::Sway compositor;
        const QString why = compositor.start();
        if (why.isEmpty()) {
#ifdef TAVRIK_WAYLAND_CLIENT
            app::test::WaylandWindow window(QStringLiteral(TAVRIK_WAYLAND_CLIENT),
                                            compositor.display(), QStringLiteral("editor"));
            if (!window.mapped()) std::fprintf(stderr, "the Wayland window did not map\n");
#endif
            auto watcher =
                app::createActiveAppWatcher({"wayland", compositor.display(), {}, "sway"});
            if (watcher && watcher->backendName() == QLatin1StringView("wlroots")) {
                sway = measure(watcher.get(), ms);
            }
        } else {
            std::fprintf(stderr, "Sway: %s\n", why.toLocal8Bit().constData());
        }
    }

    std::printf("idle for %d s each, the emulated keyboard connected, the window hidden\n",
                seconds);
    std::printf("%-50s %10s %10s %10s %6s\n", "", "wakeups/s", "loop/s", "added", "ok");
    bool allOk = true;
    printRow("no application watching", none, *none, false, allOk);
    printRow("no application watching, tavrik-kbsim's socket", overSocket, *none, false, allOk);
    printRow("X11 watcher, Xvfb, nothing changing", x11, *none, true, allOk);
    printRow("wlroots watcher, Sway headless, nothing changing", sway, *none, true, allOk);
    std::printf("target: <= %.0f wakeups a second with a keyboard; a watcher adds none (< %.1f)\n",
                kTargetPerSecond, kNoneAdded);
    std::printf("\nthreads that woke (per second)\n");
    const auto threads = [](const char* name, const std::optional<Figure>& f) {
        if (!f) return;
        for (const auto& [thread, rate] : f->byThread) {
            std::printf("  %-10s %-40s %6.1f\n", name, thread.c_str(), rate);
        }
    };
    threads("none", none);
    threads("socket", overSocket);
    threads("X11", x11);
    threads("wlroots", sway);
    return allOk ? 0 : 1;
}
