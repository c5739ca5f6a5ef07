// The main window's commands: what a release runs after the view rules have decided.

#include <QApplication>
#include <QMessageBox>

#include "dialogs/key_assign/assign_key.h"
#include "dialogs/macro_manager/macro_manager_dialog.h"
#include "dialogs/profile/profile_dialog.h"
#include "host/qt/log_categories.h"
#include "host/qt/qt_text.h"
#include "macro/macro_store.h"
#include "mainwindow/texts.h"
#include "skin/skin_paths.h"
#include "windows/app_profile_switcher.h"
#include "windows/autostart.h"
#include "windows/main_window.h"

namespace tavrik::app {

using mainwindow::Command;

void MainWindow::runRelease(const mainwindow::ReleaseOutcome& out) {
    if (out.helpRow) runHelpRow(*out.helpRow);
    if (mainwindow::isWindowCommand(out.command.command)) runCommand(out.command);
    if (out.assignKey) assignKey(*out.assignKey);
}

void MainWindow::runCommand(const mainwindow::HitCommand& c) {
    switch (c.command) {
        case Command::Hide:
            hideToTray();
            break;
        case Command::Close:
            close();
            break;
        case Command::Macros:
            macrosCommand();
            break;
        case Command::Profile:
            profileCommand();
            break;
        case Command::FactoryReset:
            factoryResetCommand();
            break;
        case Command::Cancel:
            cancelCommand();
            break;
        case Command::Save:
            saveCommand();
            break;
        case Command::ChooseColour:
            chooseColourCommand();
            break;
        // MainView::release has applied these (isWindowCommand is false for them).
        case Command::None:
        case Command::ToggleHelp:
        case Command::OpenEffectList:
        case Command::Direction:
        case Command::GameModeOn:
        case Command::GameModeOff:
        case Command::OpenResponseList:
        case Command::ToggleLighting:
        case Command::ToggleGame:
        case Command::ToggleResponse:
        case Command::ToggleReport:
        case Command::WinLockOn:
        case Command::WinLockOff:
        case Command::KeymapView:
        case Command::DiyView:
        case Command::PaintSwatch:
        case Command::FillAll:
        case Command::ClearAll:
        case Command::SelectGroup:
            break;
    }
}

void MainWindow::runHelpRow(int row) {
    if (row == 0) {
        openHomePage();
    } else if (row == 1) {
        startUpdater();
    } else if (row == 3) {
        setStartWithSession(!autostartEnabled());
    }
}

void MainWindow::assignKey(int slot) {
    KeyMapContext context;
    context.language = m_context.language;
    context.skinFolder =
        skin::skinFolder(m_context.paths.programFolder, languageCode(), skin::SkinPart::Custom);
    for (const std::string& name : macro::macroNames(*m_macros)) context.macroNames.push_back(name);
    // Reloads the key action table from keymap.bin, runs KeyAssignDialog, encodes an OK and saves.
    const auto outcome = app::assignKey(this, *m_model, slot, context, [this](model::Image& image) {
        macro::buildMacroSlots(*m_macros, image);
    });
    if (!outcome) {
        qCDebug(lcFiles) << "key assignment:" << QString::fromStdString(outcome.error().context);
        noticeFileTrouble(m_context.paths.keymapFile());
    }
    refresh();
}

void MainWindow::hideToTray() {
    // Without a notification area a hidden window could never be brought back: minimise it.
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        hide();
    } else {
        showMinimized();
    }
}

void MainWindow::saveKeymap() {
    if (Status s = m_model->save(); !s) {
        qCDebug(lcFiles) << "keymap.bin:" << QString::fromStdString(s.error().context);
        noticeFileTrouble(m_context.paths.keymapFile());
    }
}

void MainWindow::closeCommand() {
    if (Status s = m_model->saveSynced(); !s) {
        qCWarning(lcFiles) << "keymap.bin:" << QString::fromStdString(s.error().context);
    }
    emit ended();
}

void MainWindow::macrosCommand() {
    // On OK: the macro slots are rebuilt, keymap.bin and MacroDefine.bin saved.
    MacroManagerDialog dialog(m_context.paths.programFolder, languageCode(), this,
                              m_context.macroClock);
    const auto accepted =
        runMacroManager(dialog, *m_macros, *m_model, m_context.paths.macroFile().toStdString());
    if (!accepted) {
        qCDebug(lcFiles) << "macros:" << QString::fromStdString(accepted.error().context);
        noticeDataFileTrouble();
    }
    refresh();
}

void MainWindow::profileCommand() {
    ConfigureDlgSetup setup;
    setup.programFolder = m_context.paths.programFolder;
    setup.dataFolder = m_context.paths.dataFolder.toStdString();
    setup.languageCode = languageCode();
    if (m_appProfiles) {
        setup.apps.rules = &m_appProfiles->rules();
        setup.apps.watcher = m_context.appWatcher;
        setup.apps.gnomeWayland = m_context.watchSupport == WatchSupport::GnomeWayland;
        setup.apps.moved = [this](const std::string& from, const std::string& to) {
            m_appProfiles->profileMoved(from, to);
        };
        setup.apps.edited = [this] { m_appProfiles->rulesChanged(); };
    }
    // The profile window ends by replacing the host copy; while it runs, that asks the session
    // to refresh the host copy (changed-key flags, keymap.bin), which then sends the sync notice
    // for the window's own refresh.
    m_inProfileWindow = true;
    runProfileWindow(this, *m_model, setup, [this] { hostCopyReplaced(); });
    m_inProfileWindow = false;
    noticeAppRulesTrouble();  // a rules file that went bad meanwhile
    if (m_appProfiles) m_appProfiles->rulesChanged();
}

void MainWindow::factoryResetCommand() {
    const Language lang = m_context.language;
    const auto answer =
        QMessageBox::question(this, qs(mainwindow::text::kFactoryCaption, lang),
                              qs(mainwindow::text::kFactoryQuestion, lang),
                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::Ok) return;
    if (!keyboardConnected()) {
        // Nothing could be reset: keep the configuration as it is and say so.
        tell(mainwindow::text::kFactoryCaption, mainwindow::text::kResetNoKeyboard);
        return;
    }
    m_view.factoryReset();
    setBusy(true);
    m_device->session().factoryReset();  // reset, read-all, factory completion, keymap.bin
}

void MainWindow::cancelCommand() {
    hideToTray();
    const std::uint8_t effect = m_model->withLock([](model::ConfigState& s) {
        model::revert(s);
        return s.image[model::image::kEffect];
    });
    m_view.followEffect(effect);
    m_view.clearHistory();
    setSlidersFromImage();
    saveKeymap();
}

void MainWindow::saveCommand() {
    m_view.clearHistory();  // what is saved now is where undo stops
    if (!keyboardConnected()) {
        // Nothing to send to: the edits stay in the host copy and in keymap.bin.
        saveKeymap();
        saveEnded(false);
        if (connectionState() == device::ConnectionState::NoPermission) {
            showPermissionNotice();
        } else {
            tell(mainwindow::text::kSave, mainwindow::text::kSaveNoKeyboard);
        }
        return;
    }
    setBusy(true);
    m_device->session().save();  // write-all, snapshot, keymap.bin on the device worker
}

}  // namespace tavrik::app
