// Main window figures: full repaint time, start-up time to the first painted window (splash
// excluded), resident memory after start-up. Prints one table.
//   main_window_bench [REPAINTS]

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include "model/slot_table.h"
#include "skin/skin_paths.h"
#include "windows/main_window.h"

namespace {

using tavrik::app::CVediVezazivaDlg;

double ms(qint64 ns) {
    return static_cast<double>(ns) / 1e6;
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

Timing repaintTiming(CVediVezazivaDlg& w, int count) {
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

// Drag-painting in the DIY view: a press on a key, then one mouse move (button held) to the
// next key and one repaint per sample, so every sample paints a key and redraws the surface.
Timing dragPaintTiming(CVediVezazivaDlg& w, int count) {
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

// Records when the window paints.
class PaintClock : public QObject {
public:
    explicit PaintClock(QWidget* w) { w->installEventFilter(this); }
    void reset() {
        m_last = -1;
        m_longest = 0;
        m_paints = 0;
    }
    double longestGapMs() const { return ms(m_longest); }
    int paints() const { return m_paints; }
    void start() { m_clock.start(); }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_last >= 0) m_longest = std::max(m_longest, now - m_last);
            m_last = now;
            ++m_paints;
        }
        return false;
    }

private:
    QElapsedTimer m_clock;
    qint64 m_last = -1;
    qint64 m_longest = 0;
    int m_paints = 0;
};

struct GapFigures {
    double readAllMs = 0;
    double readGap = 0;
    double writeAllMs = 0;
    double writeGap = 0;
};

// Runs the window against the in-process emulated keyboard with real pauses while the window is
// asked to repaint every 2 ms: the longest gap between two paints during the start-up read-all
// and during a write-all that sends every region.
GapFigures paintGaps(const QString& dataFolder) {
    tavrik::app::AppContext context;
    context.paths.programFolder = tavrik::skin::programFolder();
    context.paths.dataFolder = dataFolder;
    context.options.simulate = true;
    auto window = std::make_unique<CVediVezazivaDlg>(context);
    PaintClock clock(window.get());
    QTimer ticker;
    ticker.setInterval(2);
    QObject::connect(&ticker, &QTimer::timeout, window.get(), [&] { window->update(); });
    clock.start();
    ticker.start();
    GapFigures f;
    QElapsedTimer t;
    const auto runWhileBusy = [&](double& elapsed, double& gap) {
        clock.reset();
        t.start();
        while (window->deviceLink()->session().busy()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        elapsed = ms(t.nsecsElapsed());
        gap = clock.longestGapMs();
    };
    window->initialise(false);
    window->show();
    runWhileBusy(f.readAllMs, f.readGap);
    QCoreApplication::processEvents();
    // Every region differs from the keyboard: colour table, settings, key codes, bitmap, all
    // macro slots and DIY tables, lighting.
    window->configModel().withLock([](tavrik::model::ConfigState& s) {
        for (std::size_t i = 0; i < tavrik::model::kImageSize; ++i) {
            s.image[i] = static_cast<std::uint8_t>(s.image[i] ^ 0x01);
        }
    });
    click(*window, {950, 620});
    runWhileBusy(f.writeAllMs, f.writeGap);
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer startup;
    startup.start();
    QApplication app(argc, argv);
    const int repaints = argc > 1 ? std::max(10, std::atoi(argv[1])) : 300;

    QTemporaryDir data;
    tavrik::app::AppContext context;
    context.options.simulate = true;
    context.paths.programFolder = tavrik::skin::programFolder();
    context.paths.dataFolder = data.path();
    auto window = std::make_unique<CVediVezazivaDlg>(context);
    window->initialise(false);
    window->show();
    // The first paint happens once the window system has exposed the window.
    while (!window->windowHandle() || !window->windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    window->repaint();
    const double startupMs = ms(startup.nsecsElapsed());
    const double rss = residentMiB();

    const Timing folded = repaintTiming(*window, repaints);
    click(*window, {100, 115});
    click(*window, {150, 395});
    click(*window, {100, 450});
    const Timing expanded = repaintTiming(*window, repaints);
    click(*window, {100, 170});
    const Timing list = repaintTiming(*window, repaints);
    click(*window, {100, 173 + 20 * 13 + 5});  // DIY1: the DIY view
    const Timing diy = repaintTiming(*window, repaints);
    const Timing drag = dragPaintTiming(*window, repaints);

    std::printf("%-44s %10s\n", "figure", "value");
    std::printf("%-44s %10.2f\n", "start-up to first painted window (ms)", startupMs);
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

    QTemporaryDir gapData;
    const GapFigures gaps = paintGaps(gapData.path());
    std::printf("%-44s %10.0f\n", "start-up read-all, emulated keyboard (ms)", gaps.readAllMs);
    std::printf("%-44s %10.2f\n", "longest paint gap during read-all (ms)", gaps.readGap);
    std::printf("%-44s %10.0f\n", "write-all of every region (ms)", gaps.writeAllMs);
    std::printf("%-44s %10.2f\n", "longest paint gap during write-all (ms)", gaps.writeGap);
    return 0;
}
