// Renders the main window in its typical states, in both languages, to PNG files, so that the
// drawing can be looked at without a display; some shots also at twice the size:
//   render_main_window [--double] [--lang en|zh] [--only TEXT] OUTPUT_FOLDER
// --double renders every shot at twice the size too; --lang renders one language; --only
// renders the shots whose name contains TEXT. The window runs without a keyboard over a
// temporary data folder holding a sample configuration.

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "model/keymap_file.h"
#include "model/slot_table.h"
#include "settings/effects.h"
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

// The centre of a hit area where the panel places it now.
QPoint at(MainWindow& w, int code) {
    const std::uint8_t effect = w.configModel().withLock(
        [](const tavrik::model::ConfigState& s) { return s.image[img::kEffect]; });
    const tavrik::model::Rect r = *tavrik::mainwindow::hitArea(
        code, tavrik::mainwindow::panelLayout(w.viewState().panel, effect));
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

namespace hit = tavrik::mainwindow::hit;

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
    // The colour table as a keyboard reports it: red, green, blue, yellow, cyan, magenta, white.
    const std::uint8_t table[][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},    {255, 255, 0},
                                     {0, 255, 255}, {255, 0, 255}, {255, 255, 255}};
    for (std::size_t e = 0; e < img::kColourEntryCount; ++e) {
        for (std::size_t c = 0; c < 3; ++c) s->image[img::colourEntry(e) + c] = table[e][c];
    }
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
    bool doubleSize = false;  // also at device pixel ratio 2
};

void setImage(MainWindow& w, std::size_t offset, std::uint8_t value) {
    w.configModel().withLock([&](tavrik::model::ConfigState& s) { s.image[offset] = value; });
}

// The lighting view with one effect: its bytes, and the preview's clock stopped at `seconds`.
std::function<void(MainWindow&)> lightingShot(std::uint8_t effect, std::uint8_t colourChoice,
                                              std::uint8_t direction, double seconds) {
    return [=](MainWindow& w) {
        w.configModel().withLock([&](tavrik::model::ConfigState& s) {
            s.image[img::kEffect] = effect;
            s.image[img::kColourChoice] = colourChoice;
            s.image[img::kDirection] = direction;
            s.image[img::kBrightness] = 50;
            for (int slot : {1, 63}) s.changedKeys[static_cast<std::size_t>(slot)] = 1;
        });
        w.lightingPreview().setClock([seconds] { return seconds; });
        const tavrik::model::Rect r = tavrik::model::windowRect(62);  // Caps Lock
        hover(w, {r.left + 3, r.top + 3});
    };
}

// Every section expanded with one effect (a DIY effect in the key-map or the DIY view).
std::function<void(MainWindow&)> allOpen(std::uint8_t effect, bool diy = false) {
    return [=](MainWindow& w) {
        setImage(w, img::kEffect, effect);
        for (int code :
             {hit::kLightingTitle, hit::kGameTitle, hit::kResponseTitle, hit::kReportTitle}) {
            click(w, at(w, code));
        }
        if (tavrik::settings::offersDiyView(effect)) {
            click(w, at(w, diy ? hit::kDiyView : hit::kKeymapView));
        }
    };
}

const Shot kShots[] = {
    {"light_static_red", lightingShot(1, 1, 0, 0), true},
    {"light_static_yellow", lightingShot(1, 4, 0, 0), false},
    {"light_wave_spectrum", lightingShot(3, 8, 2, 1.3), true},
    {"light_wave_red_up", lightingShot(3, 1, 3, 1.3), false},
    {"light_breathing", lightingShot(2, 3, 0, 1.5), false},
    {"light_ripple", lightingShot(6, 8, 0, 2.1), false},
    {"light_radar", lightingShot(13, 2, 2, 0.8), false},
    {"light_sidewinder", lightingShot(5, 8, 0, 3.0), false},
    {"light_gradient", lightingShot(16, 8, 3, 0.4), false},
    {"light_diy1_keymap", lightingShot(51, 8, 0, 0), true},
    {"keymap",
     [](MainWindow& w) {
         w.configModel().withLock([](tavrik::model::ConfigState& s) {
             for (int slot : {1, 2, 63, 96}) s.changedKeys[static_cast<std::size_t>(slot)] = 1;
         });
         click(w, at(w, hit::kLightingTitle));
         click(w, at(w, hit::kGameTitle));
         hover(w, {950, 620});  // Save hovered
     }},
    {"diy",
     [](MainWindow& w) {
         setImage(w, img::kEffect, 51);
         click(w, at(w, hit::kLightingTitle));
         click(w, at(w, hit::kDiyView));
         const tavrik::model::Rect r = tavrik::model::windowRect(25);
         hover(w, {r.left + 3, r.top + 3});
     },
     true},
    {"diy_editing",
     [](MainWindow& w) {
         // WASD selected with Ctrl-clicks, a Ctrl box being dragged over the number row.
         setImage(w, img::kEffect, 51);
         click(w, at(w, hit::kLightingTitle));
         click(w, at(w, hit::kDiyView));
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
         click(w, at(w, hit::kResponseTitle));
         click(w, at(w, hit::kResponseBox));
         hover(w, at(w, hit::kResponseBox) + QPoint(0, 60));
     }},
    {"response_list_over_sliders",
     [](MainWindow& w) {
         click(w, at(w, hit::kLightingTitle));  // lighting: its sliders lie under the list
         click(w, at(w, hit::kResponseTitle));
         click(w, at(w, hit::kReportTitle));
         click(w, at(w, hit::kResponseBox));
     }},
    {"help",
     [](MainWindow& w) {
         click(w, {940, 10});
         hover(w, {990, 10});
     }},
    {"all_open", allOpen(3)},
    {"all_open_static", allOpen(1)},
    {"all_open_radar", allOpen(13)},
    {"all_open_gradient", allOpen(16)},
    {"all_open_diy_keymap", allOpen(52, false)},
    {"all_open_diy", allOpen(52, true)},
    {"all_folded", [](MainWindow&) {}},
    {"lighting_only_static",
     [](MainWindow& w) {
         setImage(w, img::kEffect, 1);
         click(w, at(w, hit::kLightingTitle));
     }},
    {"effect_list_diy",
     [](MainWindow& w) {
         allOpen(54, true)(w);
         click(w, at(w, hit::kEffectBox));
         hover(w, {100, 173 + 20 * 15 + 5});
     }},
    {"response_list_up",
     [](MainWindow& w) {
         allOpen(3)(w);
         click(w, at(w, hit::kResponseBox));
     }},
    {"report_only",
     [](MainWindow& w) {
         setImage(w, img::kEffect, 1);
         click(w, at(w, hit::kReportTitle));
     }},
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tavrik::skin::applyDarkStyle(app);
    bool everyDouble = false;
    bool usage = false;
    QString only;
    QString out;
    std::vector<Language> languages{Language::English, Language::Chinese};
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size() && !usage; ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--double")) {
            everyDouble = true;
        } else if (a == QLatin1String("--lang") && i + 1 < args.size()) {
            const QString l = args[++i];
            usage = l != QLatin1String("en") && l != QLatin1String("zh");
            languages = {l == QLatin1String("zh") ? Language::Chinese : Language::English};
        } else if (a == QLatin1String("--only") && i + 1 < args.size()) {
            only = args[++i];
        } else if (out.isEmpty() && !a.startsWith(QLatin1Char('-'))) {
            out = a;
        } else {
            usage = true;  // --help and anything unknown
        }
    }
    if (usage || out.isEmpty()) {
        std::fprintf(stderr,
                     "usage: render_main_window [--double] [--lang en|zh] [--only TEXT] "
                     "OUTPUT_FOLDER\n");
        return 2;
    }
    QDir().mkpath(out);
    for (Language lang : languages) {
        for (const Shot& shot : kShots) {
            if (!only.isEmpty() && !QString::fromLatin1(shot.name).contains(only)) continue;
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
            if (!shot.doubleSize && !everyDouble) continue;
            QImage twice(window.size() * 2, QImage::Format_ARGB32_Premultiplied);
            twice.setDevicePixelRatio(2);
            window.render(&twice);
            const QString file2 =
                QString(file).replace(QStringLiteral(".png"), QStringLiteral("@2x.png"));
            if (!twice.save(file2)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file2));
                return 1;
            }
            std::printf("%s\n", qPrintable(file2));
        }
    }
    return 0;
}
