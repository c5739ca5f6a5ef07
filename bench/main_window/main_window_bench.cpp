// Main window figures: full repaint time, start-up time to the first painted window (splash
// excluded) from the exec of the process and from main(), resident memory after start-up, and
// the longest paint gaps while the emulated keyboard is read and written (with the device times
// against the pauses they ask for). Prints one table.
//   main_window_bench [REPAINTS [GAP_RUNS]]

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "device/pacer.h"
#include "floor_pacer.h"
#include "host/device_link.h"
#include "mainwindow/hit_areas.h"
#include "mainwindow/panel_layout.h"
#include "model/image_layout.h"
#include "model/slot_table.h"
#include "settings/panel.h"
#include "skin/skin_paths.h"
#include "windows/main_window.h"

namespace {

using tavrik::app::MainWindow;

double ms(qint64 ns) {
    return static_cast<double>(ns) / 1e6;
}

// Milliseconds since the exec of this process: the kernel's start time of the process against
// the boot clock, both counted from boot. The start time comes in clock ticks (10 ms on most
// systems), which bounds the resolution; -1 when unknown.
double msSinceExec() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    const QByteArray line = stat.readAll();
    // Fields after the command name (which may hold blanks) start after the last ')'.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20) return -1;
    const double startTicks = fields[19].toDouble();  // field 22 of the whole line
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs =
        static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
    return nowMs - startTicks * 1e3 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Resident set size of this process in MiB (Linux /proc), 0 when unknown.
double residentMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
        }
    }
    return 0;
}

// The centre of a hit area where the panel places it now (sections open or folded, the
// effect's own rows).
QPoint panelPoint(MainWindow& w, int code) {
    const std::uint8_t effect = w.configModel().withLock(
        [](const tavrik::model::ConfigState& s) { return s.image[tavrik::model::image::kEffect]; });
    const tavrik::model::Rect r = *tavrik::mainwindow::hitArea(
        code, tavrik::mainwindow::panelLayout(w.viewState().panel, effect));
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void click(QWidget& w, QPoint p) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(p), QPointF(w.mapToGlobal(p)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(p), QPointF(w.mapToGlobal(p)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &press);
    QCoreApplication::sendEvent(&w, &release);
}

// CPU time of this thread in nanoseconds: separates the work of a paint from the time the
// machine gave to other processes meanwhile.
qint64 threadCpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<qint64>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

struct Timing {
    double mean = 0;
    double p99 = 0;
    double max = 0;
    double cpuMean = 0;
    double cpuP99 = 0;
};

// Mean, 99th percentile and maximum of the wall times, mean and 99th percentile of the CPU times
// (nanoseconds in, milliseconds out).
Timing summarise(std::vector<qint64> wall, std::vector<qint64> cpu) {
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    Timing r;
    for (qint64 s : wall) r.mean += ms(s);
    for (qint64 s : cpu) r.cpuMean += ms(s);
    r.mean /= static_cast<double>(wall.size());
    r.cpuMean /= static_cast<double>(cpu.size());
    r.p99 = ms(wall[wall.size() * 99 / 100]);
    r.max = ms(wall.back());
    r.cpuP99 = ms(cpu[cpu.size() * 99 / 100]);
    return r;
}

Timing repaintTiming(MainWindow& w, int count) {
    std::vector<qint64> wall;
    std::vector<qint64> cpu;
    QElapsedTimer t;
    for (int i = 0; i < count; ++i) {
        const qint64 cpu0 = threadCpuNs();
        t.start();
        w.repaint();
        wall.push_back(t.nsecsElapsed());
        cpu.push_back(threadCpuNs() - cpu0);
    }
    return summarise(std::move(wall), std::move(cpu));
}

using tavrik::bench::FloorPacer;

// Drag-painting in the DIY view: a press on a key, then one mouse move (button held) to the
// next key and one repaint per sample, so every sample paints a key and redraws the surface.
Timing dragPaintTiming(MainWindow& w, int count) {
    const auto at = [](int slot) {
        const tavrik::model::Rect r = tavrik::model::windowRect(slot);
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    std::vector<int> keys;
    for (int slot = 0; slot < tavrik::model::kSlotCount; ++slot) {
        if (tavrik::model::slot(slot).drawn()) keys.push_back(slot);
    }
    const auto send = [&](QEvent::Type type, QPoint p, Qt::MouseButton b, Qt::MouseButtons bs) {
        QMouseEvent e(type, QPointF(p), QPointF(w.mapToGlobal(p)), b, bs, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &e);
    };
    send(QEvent::MouseButtonPress, at(keys[0]), Qt::LeftButton, Qt::LeftButton);
    std::vector<qint64> wall;
    std::vector<qint64> cpu;
    QElapsedTimer t;
    for (int i = 0; i < count; ++i) {
        const QPoint p = at(keys[static_cast<std::size_t>(i + 1) % keys.size()]);
        const qint64 cpu0 = threadCpuNs();
        t.start();
        send(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton);
        w.repaint();
        wall.push_back(t.nsecsElapsed());
        cpu.push_back(threadCpuNs() - cpu0);
    }
    send(QEvent::MouseButtonRelease, at(keys[0]), Qt::LeftButton, Qt::NoButton);
    return summarise(std::move(wall), std::move(cpu));
}

// Runs the event loop until `done` holds, at most 60 s; whether it held.
bool waitFor(const std::function<bool()>& done) {
    QElapsedTimer limit;
    limit.start();
    while (!done() && limit.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return done();
}

// The machine's steal time in ms (all processors, 10 ms ticks): time a virtual machine's
// processors wanted to run while the host ran something else. It shows in no thread's CPU time
// and in no context switch.
double stealMs() {
    FILE* f = std::fopen("/proc/stat", "r");
    if (!f) return 0;
    unsigned long long v[8] = {};
    const int n = std::fscanf(f, "cpu %llu %llu %llu %llu %llu %llu %llu %llu", &v[0], &v[1], &v[2],
                              &v[3], &v[4], &v[5], &v[6], &v[7]);
    std::fclose(f);
    return n == 8 ? static_cast<double>(v[7]) * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK))
                  : 0;
}

// The window thread's CPU time and context switches, and the machine's steal time: over a
// paint gap they tell work done by the window (CPU close to the gap), a wait (voluntary
// switches), other processes taking the core (involuntary switches) and the host taking the
// virtual processor (steal).
struct ThreadSample {
    qint64 cpuNs = 0;
    long voluntary = 0;
    long involuntary = 0;
    double stealMs = 0;
    static ThreadSample now() {
        ThreadSample s;
        s.stealMs = ::stealMs();
        timespec t{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        s.cpuNs = qint64{t.tv_sec} * 1000000000 + t.tv_nsec;
        rusage u{};
        ::getrusage(RUSAGE_THREAD, &u);
        s.voluntary = u.ru_nvcsw;
        s.involuntary = u.ru_nivcsw;
        return s;
    }
};

// The longest stretch without a paint: where it began in the job, and what the window thread
// did meanwhile.
struct GapDetail {
    qint64 lengthNs = 0;
    qint64 fromNs = 0;  // since the job's start
    qint64 cpuNs = 0;
    long voluntary = 0;
    long involuntary = 0;
    double stealMs = 0;
};

// Records, during one device job, the longest stretch in which the window did not paint: from
// the job's start to the first paint, between paints, and from the last paint to the job's end
// (a job without any paint is one stretch). Also notes the job's notices to the window.
class PaintClock : public QObject {
public:
    explicit PaintClock(QWidget* w) {
        w->installEventFilter(this);
        m_clock.start();
    }
    // fromFirstPaint: the job starts before the window is shown (the start-up read), and the
    // stretches count from its first paint, since a window cannot paint before it is there.
    void beginJob(bool fromFirstPaint = false) {
        m_start = m_last = m_clock.nsecsElapsed();
        m_lastSample = ThreadSample::now();
        m_waitFirstPaint = fromFirstPaint;
        m_longest = {};
        m_syncedAt = m_finishedAt = -1;
        m_paints = 0;
        m_synced = false;
        m_finished.reset();
    }
    // Notes the link's sync notices and job ends (connected after the window's own slots).
    void follow(const tavrik::app::DeviceLink& link) {
        connect(&link, &tavrik::app::DeviceLink::synced, this, [this] {
            m_synced = true;
            m_syncedAt = m_clock.nsecsElapsed() - m_start;
        });
        connect(&link, &tavrik::app::DeviceLink::jobFinished, this,
                [this](tavrik::device::Job job) {
                    m_finished = job;
                    m_finishedAt = m_clock.nsecsElapsed() - m_start;
                });
    }
    // Ends the job now; returns its length in ms.
    double endJob() {
        stretchEnds(m_clock.nsecsElapsed());
        return ms(m_clock.nsecsElapsed() - m_start);
    }
    double longestGapMs() const { return ms(m_longest.lengthNs); }
    const GapDetail& longestGap() const { return m_longest; }
    // When the window heard the sync notice and the job's end, since the job's start (ms; -1:
    // not heard).
    double syncedAtMs() const { return m_syncedAt < 0 ? -1 : ms(m_syncedAt); }
    double finishedAtMs() const { return m_finishedAt < 0 ? -1 : ms(m_finishedAt); }
    int paints() const { return m_paints; }
    bool synced() const { return m_synced; }
    bool finished(tavrik::device::Job job) const { return m_finished == job; }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            const qint64 now = m_clock.nsecsElapsed();
            if (!std::exchange(m_waitFirstPaint, false)) {
                stretchEnds(now);
            } else {
                m_lastSample = ThreadSample::now();
            }
            m_last = now;
            ++m_paints;
        }
        return false;
    }

private:
    // A stretch without a paint ends at `now`: kept when it is the longest so far.
    void stretchEnds(qint64 now) {
        const ThreadSample sample = ThreadSample::now();
        if (now - m_last > m_longest.lengthNs) {
            m_longest = {now - m_last,
                         m_last - m_start,
                         sample.cpuNs - m_lastSample.cpuNs,
                         sample.voluntary - m_lastSample.voluntary,
                         sample.involuntary - m_lastSample.involuntary,
                         sample.stealMs - m_lastSample.stealMs};
        }
        m_lastSample = sample;
    }

    QElapsedTimer m_clock;
    qint64 m_start = 0;
    qint64 m_last = 0;
    GapDetail m_longest;
    ThreadSample m_lastSample;
    qint64 m_syncedAt = -1;
    qint64 m_finishedAt = -1;
    bool m_waitFirstPaint = false;
    int m_paints = 0;
    bool m_synced = false;
    std::optional<tavrik::device::Job> m_finished;
};

struct JobFigures {
    double ms = 0;       // from the job's start to its last notice handled by the window
    double floorMs = 0;  // the pauses the session asked for meanwhile
    double gap = 0;      // longest stretch without a paint
    GapDetail gapDetail;
    double syncedAt = -1;  // ms from the job's start; -1 when not heard
    double finishedAt = -1;
    int paints = 0;
    bool complete = false;  // the notices arrived within the time allowed
};

struct GapFigures {
    JobFigures read;
    JobFigures write;
};

// Runs the window against the in-process emulated keyboard with real pauses while the window is
// asked to repaint every 2 ms: the longest stretch without a paint during the start-up read-all
// (until the window has handled its sync notice) and during a Save whose write-all sends every
// region, each against the pauses the session asked for.
GapFigures paintGaps(const QString& dataFolder) {
    tavrik::app::AppContext context;
    context.paths.programFolder = tavrik::skin::programFolder();
    context.paths.dataFolder = dataFolder;
    context.options.simulate = true;
    auto pacer = std::make_shared<FloorPacer>();
    context.device.pacer = pacer;
    auto window = std::make_unique<MainWindow>(context);
    PaintClock clock(window.get());
    QTimer ticker;
    ticker.setInterval(2);
    QObject::connect(&ticker, &QTimer::timeout, window.get(), [&] { window->update(); });
    ticker.start();
    GapFigures f;
    // Runs the window's event loop until `done` holds (at most 60 s), then ends the job.
    const auto runJob = [&](JobFigures& job, const std::function<bool()>& done) {
        QElapsedTimer limit;
        limit.start();
        while (!done() && limit.elapsed() < 60000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        job.complete = done();
        job.ms = clock.endJob();
        job.floorMs = pacer->take();
        job.gap = clock.longestGapMs();
        job.gapDetail = clock.longestGap();
        job.syncedAt = clock.syncedAtMs();
        job.finishedAt = clock.finishedAtMs();
        job.paints = clock.paints();
    };
    using tavrik::device::Job;
    clock.beginJob(true);
    pacer->take();
    window->initialise(false);
    clock.follow(*window->deviceLink());
    window->show();
    // The read is over for the window once it has handled the sync notice and the job's end.
    runJob(f.read, [&] { return clock.synced() && clock.finished(Job::StartupRead); });
    // Every region differs from the keyboard: colour table, settings, key codes, bitmap, all
    // macro slots and DIY tables, lighting.
    window->configModel().withLock([](tavrik::model::ConfigState& s) {
        for (std::size_t i = 0; i < tavrik::model::kImageSize; ++i) {
            s.image[i] = static_cast<std::uint8_t>(s.image[i] ^ 0x01);
        }
    });
    clock.beginJob();
    pacer->take();
    click(*window, {950, 620});
    runJob(f.write, [&] { return clock.finished(Job::Save); });
    return f;
}

// Every run's gap over 20 ms, with what the window thread did meanwhile.
template <typename Kinds>
void printLongGaps(const std::vector<GapFigures>& runs, const Kinds& kinds) {
    for (const auto& k : kinds) {
        for (std::size_t i = 0; i < runs.size(); ++i) {
            const JobFigures& j = runs[i].*k.job;
            if (j.gap <= 20) continue;
            const GapDetail& d = j.gapDetail;
            std::printf(
                "  %s, run %zu: gap %.1f ms from +%.1f ms; window thread CPU %.1f ms, "
                "%ld waits, %ld preemptions; machine steal %.0f ms; sync heard at %+.1f ms, "
                "end at %+.1f ms\n",
                k.name, i + 1, j.gap, ms(d.fromNs), ms(d.cpuNs), d.voluntary, d.involuntary,
                d.stealMs, j.syncedAt, j.finishedAt);
        }
    }
}

// Per job kind over all runs: mean time against the pause floor, and the longest paint gaps
// (the worst run, the 99th percentile of the runs' longest gaps, and how many runs had one over
// 20 ms).
void printGapTable(const std::vector<GapFigures>& runs) {
    const struct {
        const char* name;
        JobFigures GapFigures::*job;
    } kinds[] = {{"start-up read-all", &GapFigures::read},
                 {"Save, write-all of every region", &GapFigures::write}};
    std::printf("%-32s %6s %8s %8s %9s %8s %8s %8s\n", "paint gaps during", "runs", "ms", "floor",
                "over 20ms", "longest", "p99", "paints");
    for (const auto& k : kinds) {
        std::vector<double> gaps;
        double total = 0;
        double floor = 0;
        double paints = 0;
        int incomplete = 0;
        for (const GapFigures& r : runs) {
            const JobFigures& j = r.*k.job;
            gaps.push_back(j.gap);
            total += j.ms;
            floor += j.floorMs;
            paints += j.paints;
            incomplete += j.complete ? 0 : 1;
        }
        std::sort(gaps.begin(), gaps.end());
        const auto n = static_cast<double>(runs.size());
        const auto over = std::count_if(gaps.begin(), gaps.end(), [](double g) { return g > 20; });
        std::printf("%-32s %6zu %8.0f %8.0f %9td %8.2f %8.2f %8.0f%s\n", k.name, runs.size(),
                    total / n, floor / n, over, gaps.back(), gaps[gaps.size() * 99 / 100],
                    paints / n, incomplete ? "   (some timed out)" : "");
    }
    printLongGaps(runs, kinds);
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer startup;
    startup.start();
    const double execToMain = msSinceExec();
    QApplication app(argc, argv);
    const int repaints = argc > 1 ? std::max(10, std::atoi(argv[1])) : 300;
    const int gapRuns = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;

    QTemporaryDir data;
    tavrik::app::AppContext context;
    context.options.simulate = true;
    context.paths.programFolder = tavrik::skin::programFolder();
    context.paths.dataFolder = data.path();
    auto window = std::make_unique<MainWindow>(context);
    PaintClock readClock(window.get());
    readClock.beginJob();
    window->initialise(false);
    readClock.follow(*window->deviceLink());
    window->show();
    // The first paint happens once the window system has exposed the window.
    while (!window->windowHandle() || !window->windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    window->repaint();
    const double startupMs = ms(startup.nsecsElapsed());
    const double startupFromExecMs = msSinceExec();
    const double rss = residentMiB();
    // The start-up read replaces the image when it ends: the clicks below must come after it,
    // or the chosen effect is lost and a click on a key opens the key dialog instead of painting.
    if (!waitFor([&] {
            return readClock.synced() && readClock.finished(tavrik::device::Job::StartupRead);
        })) {
        std::fprintf(stderr, "the start-up read did not finish within 60 s\n");
        return 1;
    }

    const Timing folded = repaintTiming(*window, repaints);
    namespace hit = tavrik::mainwindow::hit;
    for (int title : {hit::kLightingTitle, hit::kGameTitle, hit::kResponseTitle}) {
        click(*window, panelPoint(*window, title));
    }
    const Timing expanded = repaintTiming(*window, repaints);
    click(*window, panelPoint(*window, hit::kEffectBox));
    const Timing list = repaintTiming(*window, repaints);
    namespace panel = tavrik::settings;
    click(*window, {panel::kEffectListLeft + 60,  // DIY1, the fourteenth row: the DIY view
                    panel::kEffectListTop + panel::kListRowHeight * 13 + 5});
    if (!window->viewState().panel.diyView) {
        std::fprintf(stderr, "the DIY view did not open; no drag-painting figures\n");
        return 1;
    }
    const Timing diy = repaintTiming(*window, repaints);
    const Timing drag = dragPaintTiming(*window, repaints);

    std::printf("%-44s %10s\n", "figure", "value");
    std::printf("%-44s %10.0f\n", "exec to first painted window (ms, 10 ms ticks)",
                startupFromExecMs);
    std::printf("%-44s %10.0f\n", "  of which exec to main() (ms, 10 ms ticks)", execToMain);
    std::printf("%-44s %10.2f\n", "main() to first painted window (ms)", startupMs);
    std::printf("%-44s %10.1f\n", "resident memory after start-up (MiB)", rss);
    std::printf("%-44s %10.2f\n", "device pixel ratio (QT_SCALE_FACTOR)",
                window->devicePixelRatioF());
    const struct {
        const char* name;
        Timing t;
    } rows[] = {{"sections collapsed", folded},
                {"sections expanded", expanded},
                {"effect list open", list},
                {"DIY view", diy},
                {"while drag-painting keys", drag}};
    for (const auto& r : rows) {
        std::printf("repaint, %-26s mean (ms) %10.3f\n", r.name, r.t.mean);
        std::printf("repaint, %-26s p99  (ms) %10.3f\n", r.name, r.t.p99);
        std::printf("repaint, %-26s max  (ms) %10.3f\n", r.name, r.t.max);
        std::printf("repaint, %-26s cpu mean (ms) %6.3f\n", r.name, r.t.cpuMean);
        std::printf("repaint, %-26s cpu p99  (ms) %6.3f\n", r.name, r.t.cpuP99);
    }
    window.reset();

    // Each run: a new window over a new data folder, its start-up read, then a Save.
    std::vector<GapFigures> runs;
    for (int i = 0; i < gapRuns; ++i) {
        QTemporaryDir gapData;
        runs.push_back(paintGaps(gapData.path()));
    }
    printGapTable(runs);
    const bool complete = std::all_of(runs.begin(), runs.end(), [](const GapFigures& g) {
        return g.read.complete && g.write.complete;
    });
    return complete ? 0 : 1;
}
