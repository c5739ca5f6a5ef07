// The lighting preview's figures: the time to paint one preview frame (the keyboard picture
// alone, as the frame timer asks) and a whole repaint, at scale factors 1 and 2 (each in a
// process of its own with QT_SCALE_FACTOR), for a few effects; the frames a second while
// shown; and the wakeups while hidden, against a window whose effect does not move. Prints
// one table.
//   lighting_bench [FRAMES]

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "model/slot_table.h"
#include "skin/skin_paths.h"
#include "windows/main_window.h"

namespace {

using tavrik::app::MainWindow;
namespace img = tavrik::model::image;

constexpr double kFrameTargetMs = 4.0;

struct Times {
    double median = 0;
    double worst = 0;
    double cpu = 0;  // median processor time of this thread: what the paint costs on an idle
                     // machine, however loaded this one is
};

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

Times timesOf(std::vector<double> v, std::vector<double> cpu) {
    std::sort(v.begin(), v.end());
    std::sort(cpu.begin(), cpu.end());
    return {v[v.size() / 2], v.back(), cpu[cpu.size() / 2]};
}

// The window without a keyboard, as the screenshot tool runs it.
std::unique_ptr<MainWindow> makeWindow(const QString& data) {
    tavrik::app::AppContext c;
    c.paths.programFolder = tavrik::skin::programFolder();
    c.paths.dataFolder = data;
    auto w = std::make_unique<MainWindow>(c);
    w->initialise(false);
    return w;
}

void setLighting(MainWindow& w, std::uint8_t effect, std::uint8_t colourChoice) {
    w.configModel().withLock([&](tavrik::model::ConfigState& s) {
        s.image[img::kEffect] = effect;
        s.image[img::kColourChoice] = colourChoice;
        s.image[img::kSpeed] = 6;
        s.image[img::kBrightness] = 50;
        s.image[img::kDirection] = 2;
        // DIY1 with every key painted: the most caps a frame draws.
        for (int slot = 0; slot < tavrik::model::kSlotCount; ++slot) {
            const std::size_t cell = img::diyTable(0) + tavrik::model::diyOffset(slot);
            s.image[cell + 1] = static_cast<std::uint8_t>(slot * 7);
            s.image[cell + 2] = static_cast<std::uint8_t>(255 - slot * 3);
            s.image[cell + 3] = 200;
        }
    });
    w.update();
}

// Milliseconds per paint of `region` (the whole window when empty) at a device pixel ratio,
// the preview's clock moving one frame between paints.
Times paintTimes(MainWindow& w, qreal ratio, const QRect& region, int frames) {
    QImage target(w.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(ratio);
    double clock = 0;
    w.lightingPreview().setClock([&clock] { return clock; });
    std::vector<double> ms, cpu;
    for (int i = 0; i < frames + 5; ++i) {
        clock += tavrik::app::LightingPreview::kFrameMs / 1000.0;
        QElapsedTimer t;
        t.start();
        const double cpuStart = threadCpuMs();
        if (region.isEmpty()) {
            w.render(&target);
        } else {
            w.render(&target, region.topLeft(), QRegion(region));
        }
        if (i >= 5) {  // warmed up
            ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
            cpu.push_back(threadCpuMs() - cpuStart);
        }
    }
    w.lightingPreview().setClock({});
    return timesOf(ms, cpu);
}

// Runs the event loop for `ms` and counts its wakeups and the preview's frames.
struct Wakeups {
    int loop = 0;
    int frames = 0;
    double seconds = 1;
};

Wakeups idle(MainWindow& w, int ms) {
    Wakeups out;
    auto* dispatcher = QAbstractEventDispatcher::instance();
    const auto a =
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [&out] { ++out.loop; });
    const auto b = QObject::connect(&w.lightingPreview(), &tavrik::app::LightingPreview::frame,
                                    [&out] { ++out.frames; });
    QElapsedTimer elapsed;
    elapsed.start();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    out.seconds = static_cast<double>(elapsed.nsecsElapsed()) / 1e9;  // a loaded machine is late
    QObject::disconnect(a);
    QObject::disconnect(b);
    return out;
}

const struct {
    const char* name;
    std::uint8_t effect;
    std::uint8_t colourChoice;
} kEffects[] = {{"no effect: the unlit picture alone", 0, 1},
                {"Wave, spectrum", 3, 8},
                {"Ripple", 6, 8},
                {"Radar", 13, 1},
                {"DIY1 in the key map, every key lit", 51, 1}};
constexpr int kRows = sizeof(kEffects) / sizeof(kEffects[0]) + 1;  // and the whole repaint

// In a process whose screen has the scale factor asked for (QT_SCALE_FACTOR): one line of
// median, worst and processor milliseconds per row.
int measureAtThisScale(int frames) {
    QTemporaryDir data;
    auto w = makeWindow(data.path());
    w->show();
    QCoreApplication::processEvents();
    const QSize picture =
        QImage(tavrik::skin::programFolder() + QStringLiteral("png/english/kb_BK.png")).size();
    const QRect keyboard(QPoint(tavrik::model::kKeyboardOrigin.x, tavrik::model::kKeyboardOrigin.y),
                         picture);
    const qreal ratio = w->devicePixelRatioF();
    for (const auto& e : kEffects) {
        setLighting(*w, e.effect, e.colourChoice);
        const Times t = paintTimes(*w, ratio, keyboard, frames);
        std::printf("%f %f %f\n", t.median, t.worst, t.cpu);
    }
    setLighting(*w, 3, 8);
    const Times whole = paintTimes(*w, ratio, {}, frames / 4);
    std::printf("%f %f %f\n", whole.median, whole.worst, whole.cpu);
    return 0;
}

std::vector<Times> measureAt(int scale, int frames) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--at-this-scale"), QString::number(frames)});
    std::vector<Times> out;
    if (!child.waitForFinished(300000)) return out;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() == 3) out.push_back({f[0].toDouble(), f[1].toDouble(), f[2].toDouble()});
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--at-this-scale") == 0) {
        return measureAtThisScale(std::max(10, std::atoi(argv[2])));
    }
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 200;
    const std::vector<Times> one = measureAt(1, frames);
    const std::vector<Times> two = measureAt(2, frames);
    if (one.size() != kRows || two.size() != kRows) {
        std::fprintf(stderr, "a measuring process failed\n");
        return 1;
    }
    std::printf("%-44s %19s %19s %7s\n", "lighting preview, ms: median / worst / cpu", "100 %",
                "200 %", "target");
    bool withinTarget = true;
    for (int row = 0; row < kRows; ++row) {
        const auto r = static_cast<std::size_t>(row);
        const bool frame = row + 1 < kRows;
        if (frame) {
            withinTarget =
                withinTarget && one[r].cpu <= kFrameTargetMs && two[r].cpu <= kFrameTargetMs;
        }
        std::printf(
            "%-44s %5.2f / %5.2f / %5.2f %5.2f / %5.2f / %5.2f %7s\n",
            frame ? (std::string("frame: ") + kEffects[r].name).c_str() : "whole repaint, Wave",
            one[r].median, one[r].worst, one[r].cpu, two[r].median, two[r].worst, two[r].cpu,
            frame ? "4.0" : "-");
    }

    QTemporaryDir data;
    auto w = makeWindow(data.path());
    w->show();
    setLighting(*w, 3, 8);
    QCoreApplication::processEvents();
    constexpr int kIdleMs = 2000;
    const Wakeups shown = idle(*w, kIdleMs);
    w->hide();
    const Wakeups hiddenMoving = idle(*w, kIdleMs);
    setLighting(*w, 1, 1);
    const Wakeups hiddenStill = idle(*w, kIdleMs);
    const auto rate = [](const Wakeups& x, int count) { return count / x.seconds; };
    const double shownRate = rate(shown, shown.frames);
    std::printf("%-44s %19.1f %19s %7s\n", "preview frames per second, shown (Wave)", shownRate, "",
                "<= 30");
    std::printf("%-44s %19.1f %19s %7s\n", "preview frames per second, hidden (Wave)",
                rate(hiddenMoving, hiddenMoving.frames), "", "0");
    std::printf("%-44s %19.1f %19s %7s\n", "event-loop wakeups per second, hidden, Wave",
                rate(hiddenMoving, hiddenMoving.loop), "", "");
    std::printf("%-44s %19.1f %19s %7s\n", "event-loop wakeups per second, hidden, Static",
                rate(hiddenStill, hiddenStill.loop), "", "");
    std::printf(
        "%-44s %19.1f %19s %7s\n", "wakeups added by the preview while hidden",
        std::max(0.0, rate(hiddenMoving, hiddenMoving.loop) - rate(hiddenStill, hiddenStill.loop)),
        "", "0");
    const bool ok = withinTarget && shownRate <= 30 && hiddenMoving.frames == 0;
    std::printf("%s\n", ok ? "within targets (frames by processor time)" : "OUTSIDE TARGETS");
    return ok ? 0 : 1;
}
