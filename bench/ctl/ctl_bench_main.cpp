// tavrikctl as a process against tavrik-kbsim: wall time of `apply` of a profile that differs
// in one key and of `dump`, each against its pause floor (the pauses its session asks for:
// opening read, Save, closing) and against the same session run in-process over the same
// socket (pauses plus the emulator's round trips). The difference to the latter is the process's
// own overhead (start-up, files, JSON, the request runner), which should stay under 50 ms.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "host/device_link.h"
#include "model/key_table.h"
#include "model/keymap_file.h"
#include "sim/firmware.h"

#include "floor_pacer.h"
#include "set_floor.h"

namespace {

using tavrik::bench::FloorPacer;

using namespace tavrik;

constexpr int kRounds = 5;
constexpr int kSlot = 30;
constexpr double kTargetMs = 50.0;

struct InProcess {
    double wallMs = 0;
    double floorMs = 0;
};

// tavrikctl's own session run in-process over the same socket: open (start-up read), `edit` +
// Save when given, close.
InProcess sameSession(const QString& socket, const std::function<void(model::ConfigState&)>& edit) {
    QTemporaryDir dir;
    auto pacer = std::make_shared<FloorPacer>();
    QElapsedTimer t;
    t.start();
    {
        model::ConfigModel model(dir.filePath("keymap.bin").toStdString());
        [[maybe_unused]] Status s = model.startup();
        appconfig::Options options;
        options.simSocket = socket.toStdString();
        app::DeviceLink link(options, app::DeviceSetup{nullptr, pacer}, model);
        link.open();
        link.session().waitIdle();
        if (edit) {
            model.withLock(edit);
            link.session().save();
            link.session().waitIdle();
        }
    }
    return {double(t.nsecsElapsed()) / 1e6, pacer->floorMs()};
}

double runMs(const QStringList& args, bool& ok) {
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(TAVRIKCTL_PROGRAM, args);
    ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (!ok) std::fprintf(stderr, "%s", p.readAllStandardError().constData());
    return ms;
}

// Wall time of one tavrikctl run that must end with `exitCode`.
double runExpecting(const QStringList& args, int exitCode, bool& ok) {
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(TAVRIKCTL_PROGRAM, args);
    ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit &&
         p.exitCode() == exitCode;
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (!ok) std::fprintf(stderr, "%s", p.readAllStandardError().constData());
    return ms;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The standalone command line's own targets: a usage error within 50 ms, `status` within
// 150 ms, `set effect` within 100 ms of its session's pauses (opening read and Save).
bool standaloneTargets(const QStringList& common, const QString& socket) {
    std::vector<double> usage, status, set;
    bool ok = true;
    for (int i = 0; i < kRounds && ok; ++i) {
        usage.push_back(runExpecting(common + QStringList{"frobnicate"}, 2, ok));
        if (ok) status.push_back(runExpecting(common + QStringList{"status"}, 0, ok));
        if (ok) {
            const QStringList args{"set", "effect", i % 2 ? "breathing" : "wave"};
            set.push_back(runExpecting(common + args, 0, ok));
        }
    }
    if (!ok) return false;
    const bench::SetFloor floor = bench::setEffectFloor(socket, "breathing");
    const double setFloor = floor.openingMs + floor.saveMs;
    std::printf("%-26s %9s %9s %9s %8s\n", "standalone (median of 5)", "wall ms", "floor ms",
                "target ms", "within");
    const struct {
        const char* name;
        double wall;
        double floor;
        double target;
    } rows[] = {
        {"usage error", median(usage), 0, 50},
        {"status", median(status), 0, 150},
        {"set effect", median(set), setFloor, setFloor + 100},
    };
    bool within = true;
    for (const auto& r : rows) {
        within = within && r.wall <= r.target;
        std::printf("%-26s %9.1f %9.1f %9.1f %8s\n", r.name, r.wall, r.floor, r.target,
                    r.wall <= r.target ? "yes" : "NO");
    }
    return within;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    model::keyTable();
    QTemporaryDir dir;
    const QString socket = dir.filePath("kb.sock");
    const QString data = dir.filePath("data");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QDir().mkpath(dir.filePath("run"));
    env.insert("XDG_RUNTIME_DIR", dir.filePath("run"));  // no running tool to forward to

    QProcess kbsim;
    kbsim.setProcessEnvironment(env);
    kbsim.start(KBSIM_PROGRAM, {socket});
    if (!kbsim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "tavrik-kbsim did not start\n");
        return 1;
    }
    qputenv("XDG_RUNTIME_DIR", dir.filePath("run").toLocal8Bit());
    const QStringList common{"--sim-socket", socket, "--data-dir", data};

    // Two profiles one key apart, so that every apply changes exactly one key.
    bool ok = false;
    runMs(common + QStringList{"profiles", "save", "A"}, ok);
    if (!ok) return 1;
    QFile a(data + "/Configure/A.bin");
    if (!a.open(QIODevice::ReadOnly)) return 1;
    QByteArray bytes = a.readAll();
    model::Image probe{};
    const auto at = qsizetype(model::keyCodeCell(probe, kSlot).data() - probe.data() + 1);
    bytes[at] = char(bytes[at] ^ 0x01);
    QFile b(dir.filePath("B.bin"));
    if (!b.open(QIODevice::WriteOnly) || b.write(bytes) != bytes.size()) return 1;
    b.close();

    std::vector<double> apply, dump;
    for (int i = 0; i < kRounds; ++i) {
        apply.push_back(
            runMs(common + QStringList{"apply", i % 2 ? a.fileName() : b.fileName()}, ok));
        if (!ok) return 1;
        dump.push_back(runMs(common + QStringList{"dump"}, ok));
        if (!ok) return 1;
    }
    // Alternate edits, as the applies above alternate profiles.
    std::vector<InProcess> applyIn, dumpIn;
    for (int i = 0; i < kRounds; ++i) {
        applyIn.push_back(sameSession(socket, [](model::ConfigState& s) {
            auto cell = model::keyCodeCell(s.image, kSlot);
            cell[1] = std::uint8_t(cell[1] ^ 0x01);
        }));
        dumpIn.push_back(sameSession(socket, {}));
    }
    const auto wallOf = [](const std::vector<InProcess>& v) {
        std::vector<double> w;
        for (const InProcess& p : v) w.push_back(p.wallMs);
        return median(w);
    };

    std::printf("%-26s %9s %9s %9s %11s %10s %8s\n", "command (median of 5)", "wall ms", "floor ms",
                "over ms", "in-proc ms", "process ms", "< 50 ms");
    bool allWithin = true;
    const struct {
        const char* name;
        double wall;
        double floor;
        double inProcess;
    } rows[] = {
        {"tavrikctl apply (one key)", median(apply), applyIn[0].floorMs, wallOf(applyIn)},
        {"tavrikctl dump", median(dump), dumpIn[0].floorMs, wallOf(dumpIn)},
    };
    for (const auto& r : rows) {
        const double process = r.wall - r.inProcess;
        allWithin = allWithin && process < kTargetMs;
        std::printf("%-26s %9.1f %9.1f %9.1f %11.1f %10.1f %8s\n", r.name, r.wall, r.floor,
                    r.wall - r.floor, r.inProcess, process, process < kTargetMs ? "yes" : "NO");
    }
    std::printf(
        "over: beyond the pause floor; process: beyond the same session in-process over "
        "the same socket\n\n");
    allWithin = standaloneTargets(common, socket) && allWithin;
    kbsim.write("quit\n");
    kbsim.waitForFinished(3000);
    return allWithin ? 0 : 1;
}
