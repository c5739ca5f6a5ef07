// Renders the main window in its typical states, in both languages, to PNG files, so that the
// drawing can be looked at without a display:
//   render_main_window OUTPUT_FOLDER
// The window runs without a keyboard over a temporary data folder holding a sample
// configuration.

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <memory>

#include "model/keymap_file.h"
#include "model/slot_table.h"
#include "settings/panel.h"
#include "skin/app_style.h"
#include "skin/skin_paths.h"
#include "windows/main_window.h"

namespace {

using tavrik::Language;
using tavrik::app::MainWindow;
namespace img = tavrik::model::image;

void click(QWidget& w, QPoint p) {
    const QPointF local(p);
    const QPointF global(w.mapToGlobal(p));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &press);
    QCoreApplication::sendEvent(&w, &release);
}

void press(QWidget& w, QPoint p, Qt::KeyboardModifiers mods) {
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(p), QPointF(w.mapToGlobal(p)), Qt::LeftButton,
                  Qt::LeftButton, mods);
    QCoreApplication::sendEvent(&w, &e);
}

void release(QWidget& w, QPoint p) {
    QMouseEvent e(QEvent::MouseButtonRelease, QPointF(p), QPointF(w.mapToGlobal(p)), Qt::LeftButton,
                  Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

void drag(QWidget& w, QPoint p) {
    QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(w.mapToGlobal(p)), Qt::NoButton,
                  Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

void hover(QWidget& w, QPoint p) {
    QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(w.mapToGlobal(p)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &move);
}

// A configuration worth looking at: Wave going right, game mode on, a few changed keys and a
// DIY1 table with a coloured row.
void writeSample(const QString& folder) {
    auto s = std::make_unique<tavrik::model::ConfigState>();
    s->image[img::kEffect] = 3;
    s->image[img::kDirection] = 2;
    s->image[img::kSpeed] = 6;
    s->image[img::kBrightness] = 30;
    s->image[img::kReportRate] = 2;
    s->image[img::kResponseTime] = 3;
    s->image[img::kGameMode] = 1;
    const std::uint8_t colours[][3] = {{0, 0, 255},   {0, 255, 0},   {255, 0, 0},    {0, 255, 255},
                                       {255, 255, 0}, {255, 0, 255}, {255, 255, 255}};
    int i = 0;
    for (int slot = 21; slot <= 32; ++slot, ++i) {
        const std::size_t cell = tavrik::settings::diyCellOffset(0, slot);
        for (int c = 0; c < 3; ++c) s->image[cell + 1 + c] = colours[i % 7][c];
    }
    tavrik::model::saveConfigFile((folder + "/keymap.bin").toStdString(), s->image, s->actions);
}

struct Shot {
    const char* name;
    std::function<void(MainWindow&)> prepare;
};

void setImage(MainWindow& w, std::size_t offset, std::uint8_t value) {
    w.configModel().withLock([&](tavrik::model::ConfigState& s) { s.image[offset] = value; });
}

const Shot kShots[] = {
    {"keymap",
     [](MainWindow& w) {
         w.configModel().withLock([](tavrik::model::ConfigState& s) {
             for (int slot : {1, 2, 63, 96}) s.changedKeys[static_cast<std::size_t>(slot)] = 1;
         });
         click(w, {100, 115});  // lighting
         click(w, {150, 395});  // game
         hover(w, {950, 620});  // Save hovered
     }},
    {"diy",
     [](MainWindow& w) {
         setImage(w, img::kEffect, 51);
         click(w, {100, 115});
         click(w, {135, 205});
         const tavrik::model::Rect r = tavrik::model::windowRect(25);
         hover(w, {r.left + 3, r.top + 3});
     }},
    {"diy_editing",
     [](MainWindow& w) {
         // WASD selected with Ctrl-clicks, a Ctrl box being dragged over the number row.
         setImage(w, img::kEffect, 51);
         click(w, {100, 115});
         click(w, {135, 205});
         for (int slot : {43, 63, 64, 65}) {
             const tavrik::model::Rect r = tavrik::model::windowRect(slot);
             press(w, {r.left + 5, r.top + 5}, Qt::ControlModifier);
             release(w, {r.left + 5, r.top + 5});
         }
         const tavrik::model::Rect from = tavrik::model::windowRect(20);
         const tavrik::model::Rect to = tavrik::model::windowRect(25);
         press(w, {from.left - 1, from.top - 3}, Qt::ControlModifier);
         drag(w, {to.right - 4, to.bottom - 6});
     }},
    {"effect_list",
     [](MainWindow& w) {
         click(w, {100, 115});
         click(w, {100, 170});
         hover(w, {100, 250});
     }},
    {"response_list",
     [](MainWindow& w) {
         click(w, {100, 255});
         click(w, {100, 280});
         hover(w, {100, 130});
     }},
    {"response_list_over_sliders",
     [](MainWindow& w) {
         click(w, {100, 115});  // lighting: its sliders lie under the list
         click(w, {100, 450});
         click(w, {100, 480});
     }},
    {"help",
     [](MainWindow& w) {
         click(w, {940, 10});
         hover(w, {990, 10});
     }},
    {"all_open",
     [](MainWindow& w) {
         click(w, {100, 115});
         click(w, {150, 395});
         click(w, {100, 450});
         click(w, {100, 525});
     }},
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tavrik::skin::applyDarkStyle(app);
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_main_window OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    for (Language lang : {Language::English, Language::Chinese}) {
        for (const Shot& shot : kShots) {
            QTemporaryDir data;
            writeSample(data.path());
            tavrik::app::AppContext context;
            context.language = lang;
            context.paths.programFolder = tavrik::skin::programFolder();
            context.paths.dataFolder = data.path();
            MainWindow window(context);
            window.initialise(false);
            window.show();
            shot.prepare(window);
            const QString file =
                QStringLiteral("%1/main_%2_%3.png")
                    .arg(out, QLatin1String(shot.name), lang == Language::Chinese ? "zh" : "en");
            if (!window.renderSurface().save(file)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                return 1;
            }
            std::printf("%s\n", qPrintable(file));
        }
    }
    return 0;
}
