// Renders the profile window to PNG files for a visual check, in English and Chinese: with no
// profiles, with a list of profiles and one selected, with a rename being typed, with the
// right-button menu open, and with the applications of each profile. Usage:
// tavrik-render-dialogs-config [output folder] (default: render-out); the skin is read from
// beside this executable, the profiles live in a temporary folder.

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <vector>

#include "appprofiles/app_rules.h"
#include "controls/skin_list_box.h"
#include "dialogs/profile/profile_dialog.h"
#include "dialogs/profile/profile_file_chooser.h"
#include "host/app_rules_file.h"
#include "model/config_model.h"
#include "skin/app_style.h"
#include "skin/skin_paths.h"

using namespace tavrik;
namespace fs = std::filesystem;

namespace {

bool save(const QImage& image, const QString& outDir, const QString& name) {
    const QString path = outDir + "/" + name;
    const bool ok = image.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

void writeProfile(const fs::path& folder, const char* name) {
    fs::create_directories(folder);
    const std::vector<char> bytes(model::kKeymapFileSize, 0);
    std::ofstream(folder / (std::string(name) + ".bin"), std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The dialog with its right-button menu open over `row`, composed into one picture.
QImage withMenu(app::ProfileDialog& dialog, int row) {
    QImage shot = dialog.grab().toImage();
    app::SkinListBox& list = *dialog.listBox();
    const QPoint at = list.itemRect(row).center() + QPoint(30, 0);
    QTimer::singleShot(50, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            QPainter p(&shot);
            p.drawPixmap(list.viewport()->mapTo(&dialog, at), menu->grab());
            menu->close();
        }
    });
    QMouseEvent press(QEvent::MouseButtonPress, at, list.viewport()->mapToGlobal(at),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &press);
    return shot;
}

// With the applications of each profile under the list: FPS bound to two, Office the default.
bool renderApps(model::ConfigModel& model, app::ConfigureDlgSetup setup,
                app::ProfileFileChooser& chooser, const QString& outDir, const QString& tag) {
    app::AppRulesFile rules(setup.dataFolder);
    const auto edited = rules.edit([](appprofiles::AppRules& r) {
        appprofiles::bind(r, "FPS", "cs2");
        appprofiles::bind(r, "FPS", "steam_app_730");
        return appprofiles::setDefault(r, "Office");
    });
    if (!edited) return false;
    setup.apps.rules = &rules;
    app::ProfileDialog dialog(model, setup, chooser);
    dialog.show();
    dialog.listBox()->setCurrentRow(1);
    bool ok = save(dialog.grab().toImage(), outDir, "config-" + tag + "-apps.png");
    dialog.listBox()->setCurrentRow(3);
    return save(dialog.grab().toImage(), outDir, "config-" + tag + "-apps-default.png") && ok;
}

bool renderLanguage(const QString& program, const QString& outDir, int languageCode) {
    const QString tag = languageCode == kChineseLanguageCode ? "chinese" : "english";
    QTemporaryDir data;
    const fs::path dataFolder = data.path().toStdString();
    model::ConfigModel model(dataFolder / "keymap.bin");
    app::QtProfileFileChooser chooser;  // never asked: no command that opens one is run
    const app::ConfigureDlgSetup setup{program, dataFolder, languageCode};
    bool ok = true;
    {
        app::ProfileDialog empty(model, setup, chooser);
        empty.show();
        ok = save(empty.grab().toImage(), outDir, "config-" + tag + "-empty.png") && ok;
    }
    const fs::path folder = dataFolder / "Configure";
    for (const char* name : {"Profile_1", "FPS", "MOBA", "Office", "Racing"}) {
        writeProfile(folder, name);
    }
    writeProfile(folder, languageCode == kChineseLanguageCode ? "复制 Profile_1" : "Copy of ? FPS");

    app::ProfileDialog dialog(model, setup, chooser);
    dialog.show();
    dialog.listBox()->setCurrentRow(2);
    ok = save(dialog.grab().toImage(), outDir, "config-" + tag + "-rows.png") && ok;
    ok = save(withMenu(dialog, 2), outDir, "config-" + tag + "-menu.png") && ok;
    dialog.listBox()->beginEdit(2);
    if (auto* edit = dialog.listBox()->editControl()) {
        edit->setText(languageCode == kChineseLanguageCode ? "比赛" : "Tournament");
    }
    ok = save(dialog.grab().toImage(), outDir, "config-" + tag + "-renaming.png") && ok;
    dialog.listBox()->endEdit(false);
    return renderApps(model, setup, chooser, outDir, tag) && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tavrik::skin::applyDarkStyle(app);
    const QString outDir =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("render-out");
    QDir().mkpath(outDir);
    const QString program = skin::programFolder();
    bool ok = renderLanguage(program, outDir, 0);
    ok = renderLanguage(program, outDir, kChineseLanguageCode) && ok;
    return ok ? 0 : 1;
}
