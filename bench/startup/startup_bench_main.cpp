// Start-up of tavrik-87rev against its in-process emulated keyboard, splash included: the time
// from starting the process to the window's handling of the keyboard read (the configuration
// is on screen when the window appears) and to the window being shown, over several starts.
// Prints one table.
//   tavrik-startup-bench [STARTS]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

// The window's debug lines the bench waits for (category tavrik.ui).
constexpr QByteArrayView kSyncedLine = "window: keyboard read handled";
constexpr QByteArrayView kShownLine = "window: shown";

struct Start {
    std::optional<double> syncedMs;
    std::optional<double> shownMs;
};

// One start in its own runtime and data folders; stops the tool once both lines came, or after
// 20 s.
Start startOnce(const QString& root, int index) {
    const QString run = root + QStringLiteral("/run%1").arg(index);
    const QString data = root + QStringLiteral("/data%1").arg(index);
    QDir().mkpath(run);
    QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), run);
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM"))) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tavrik.ui.debug=true"));
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.setReadChannel(QProcess::StandardError);
    Start s;
    QByteArray err;
    QElapsedTimer clock;
    clock.start();
    tool.start(QStringLiteral(TOOL_PROGRAM),
               {QStringLiteral("--simulate"), QStringLiteral("--data-dir"), data});
    while ((!s.syncedMs || !s.shownMs) && clock.elapsed() < 20000 &&
           tool.state() != QProcess::NotRunning) {
        tool.waitForReadyRead(100);
        err += tool.readAllStandardError();
        const double now = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (!s.syncedMs && err.contains(kSyncedLine)) s.syncedMs = now;
        if (!s.shownMs && err.contains(kShownLine)) s.shownMs = now;
    }
    tool.terminate();
    if (!tool.waitForFinished(5000)) tool.kill();
    tool.waitForFinished(5000);
    return s;
}

struct Spread {
    double min = 0;
    double median = 0;
    double max = 0;
};

Spread spread(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2], v.back()};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int starts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    QTemporaryDir root;
    if (!root.isValid()) return 1;
    std::vector<double> synced;
    std::vector<double> shown;
    for (int i = 0; i < starts; ++i) {
        const Start s = startOnce(root.path(), i);
        if (!s.syncedMs || !s.shownMs) {
            std::fprintf(stderr, "start %d: the window did not report %s within 20 s\n", i,
                         s.syncedMs ? "being shown" : "the keyboard read");
            return 1;
        }
        synced.push_back(*s.syncedMs);
        shown.push_back(*s.shownMs);
    }
    std::printf("%-44s %8s %8s %8s\n", "figure (ms, over starts)", "min", "median", "max");
    const struct {
        const char* name;
        Spread s;
    } rows[] = {{"exec to the keyboard read handled", spread(synced)},
                {"exec to the window shown", spread(shown)}};
    for (const auto& r : rows) {
        std::printf("%-44s %8.0f %8.0f %8.0f\n", r.name, r.s.min, r.s.median, r.s.max);
    }
    std::printf("%-44s %8d\n", "starts", starts);
    return 0;
}
