// Renders the colour chooser in a few states, in both languages, to PNG files:
//   tavrik-render-colour-chooser OUTPUT_FOLDER
// Run with QT_SCALE_FACTOR=2 for the pictures at 200 %.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <cstdio>
#include <functional>

#include "dialogs/colour_chooser/colour_chooser_dialog.h"
#include "dialogs/colour_chooser/colour_fields.h"
#include "skin/app_style.h"

namespace {

using tavrik::Language;
using tavrik::app::ColourChooserDialog;
using tavrik::settings::Rgb;

struct Shot {
    const char* name;
    Rgb start;
    std::vector<Rgb> recent;
    std::function<void(ColourChooserDialog&)> prepare;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tavrik::skin::applyDarkStyle(app);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavrik-render-colour-chooser OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    const Shot shots[] = {
        {"first", {0, 0, 255}, {}, [](ColourChooserDialog& d) { d.svField()->setFocus(); }},
        {"recent",
         {255, 128, 0},
         {{255, 128, 0}, {12, 200, 90}, {255, 255, 255}, {90, 30, 200}, {0, 255, 255}},
         [](ColourChooserDialog& d) { d.recentRow()->setFocus(); }},
        {"hex_typed",
         {255, 0, 0},
         {{40, 40, 40}},
         [](ColourChooserDialog& d) {
             d.hexField()->setFocus();
             d.hexField()->setText(QStringLiteral("7F3FBF"));
             d.setColour({0x7F, 0x3F, 0xBF});
         }},
    };
    for (Language lang : {Language::English, Language::Chinese}) {
        for (const Shot& shot : shots) {
            ColourChooserDialog dialog(shot.start, shot.recent, lang);
            dialog.show();
            QApplication::setActiveWindow(&dialog);
            shot.prepare(dialog);
            QApplication::processEvents();
            const QString file =
                QStringLiteral("%1/colour_chooser_%2_%3.png")
                    .arg(out, QLatin1String(shot.name), lang == Language::Chinese ? "zh" : "en");
            if (!dialog.grab().save(file)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                return 1;
            }
            std::printf("%s\n", qPrintable(file));
        }
    }
    return 0;
}
