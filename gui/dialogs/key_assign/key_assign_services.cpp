#include "dialogs/key_assign/key_assign_services.h"

#include <QGuiApplication>
#include <QMessageBox>

#include "keyhook/keyhook.h"
#include "launcher/launch_chooser.h"

namespace tavrik::app {

KeyMapServices KeyMapServices::desktop() {
    KeyMapServices s;
    s.installHook = [](HookReports* reports, int mode) { return installhook(reports, mode); };
    s.removeHook = [] { removehook(); };
    s.chooseLaunchPath = [](QWidget* parent, int row, Language lang) {
        return app::chooseLaunchPath(parent, row, lang);
    };
    s.showMessage = [](QWidget* parent, const QString& text) {
        QMessageBox::information(parent, QGuiApplication::applicationDisplayName(), text);
    };
    return s;
}

}  // namespace tavrik::app
