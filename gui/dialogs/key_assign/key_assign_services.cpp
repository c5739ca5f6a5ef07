#include "dialogs/key_assign/key_assign_services.h"

#include <QMessageBox>
#include <QWidget>

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
        // Captioned with the dialog's title.
        QMessageBox::information(parent, parent ? parent->window()->windowTitle() : QString(),
                                 text);
    };
    return s;
}

}  // namespace tavrik::app
