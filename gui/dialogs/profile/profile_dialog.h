#pragma once
// ProfileDialog: the modal profile window. It lists the profiles of the profile folder in a
// SkinListBox (in-place rename, edit mode 3), and runs New, Copy, Save, Load and Delete
// from its right-button menu and its New and Delete picture buttons. Save and Load ask the file
// chooser; Load replaces the configuration image and key action table under the model's lock.
// Every message and the Delete question are message boxes in the window's language. Enter never
// closes the window; closing changes no profile file (a rename still being typed is finished
// first).

#include <QDialog>
#include <QRect>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "common/language.h"
#include "common/result.h"
#include "profiles/profile_store.h"
#include "skin/skin_images.h"

class QMenu;

namespace tavrik::model {
class ConfigModel;
}

namespace tavrik::app {

class SkinListBox;
class ProfileFileChooser;
class AppRulesFile;
class ActiveAppWatcher;

// The applications of each profile: shown under the list, edited from the right-button menu.
struct ProfileAppsSetup {
    AppRulesFile* rules = nullptr;        // null: no applications shown
    ActiveAppWatcher* watcher = nullptr;  // offers the open applications when it can list them
    bool gnomeWayland = false;            // says that the application in front cannot be followed
    // A profile was renamed here (to is the new name) or deleted (to is empty); the rules have
    // followed it already.
    std::function<void(const std::string& from, const std::string& to)> moved;
    // The rules changed here.
    std::function<void()> edited;
    // Asks for an application id, offering the open ones; none when cancelled. The desktop's
    // input dialog when empty.
    std::function<std::optional<QString>(QWidget* parent, const QStringList& open)> askAppId;
};

struct ConfigureDlgSetup {
    QString programFolder;             // the executable's folder: skin, chooser start folder
    std::filesystem::path dataFolder;  // holds the profile folder "Configure"
    int languageCode = 0;              // 4 Chinese, anything else English
    ProfileAppsSetup apps{};
};

// The right-button menu's items for applications (action data beside the store's commands).
enum class AppsCommand : int { Add = 1, MakeDefault = 2, RemoveFirst = 100 };

class ProfileDialog : public QDialog {
    Q_OBJECT
public:
    // Placed at mainWindow's top-left corner (one pixel up and left of it).
    ProfileDialog(model::ConfigModel& model, const ConfigureDlgSetup& setup,
                  ProfileFileChooser& chooser, QWidget* mainWindow = nullptr);
    ~ProfileDialog() override;

    SkinListBox* listBox() const { return m_list; }
    const profiles::ProfileStore& store() const { return m_store; }
    Language language() const { return m_lang; }
    const skin::SkinImages& images() const { return m_images; }

    // Runs a command of the right-button menu on the selected row.
    void runCommand(profiles::Command command);
    // The applications' items of the menu on the selected row: Add asks for an id, MakeDefault
    // toggles the default, RemoveFirst + i removes the row's i-th application.
    void runAppsCommand(int id);
    // The lines under the list: the selected profile's applications (or that it is the default),
    // the rules that are inactive, and why the application in front cannot be followed.
    QStringList appsLines() const;

    void done(int result) override;

    // Keyboard use and assistive technology (profile_focus.cpp): the painted buttons, a click
    // of one as the mouse gives it, and the one with the keyboard focus.
    enum PaintedButton { kCloseButton, kNewButton, kDeleteButton, kPaintedButtonCount };
    static QRect buttonRect(int button);
    void clickButton(int button);
    std::optional<int> focusButton() const { return m_focusButton; }
    void setFocusButton(int button);

signals:
    void focusButtonChanged();

protected:
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool focusKey(QKeyEvent* event);
    void paintFocusMark(QPainter& painter);
    void createList();
    void openContextMenu(const QPoint& globalPos);
    std::optional<int> selectedRow() const;
    std::optional<std::string> selectedText() const;
    // Shows the store's rows, selecting the row with text `select` when there is one.
    void showRows(const std::optional<std::string>& select);
    void finishEdit();
    void renameRow(int oldRow, int row);
    profiles::Outcome runConfirmed(profiles::Command command, std::optional<int> selected);

    void showMessage(const profiles::Message& message);
    bool confirmDelete();
    // Messages that arise while the list is ending an edit are shown once it has finished.
    void deferMessage(const profiles::Message& message);
    void showDeferredMessage();
    void addAppsItems(QMenu& menu);
    void rulesMoved(const std::string& from, const std::string& to);
    void showRulesFailure(const Error& error);

    model::ConfigModel& m_model;
    ProfileFileChooser& m_chooser;
    QString m_dataFolder;  // where the Save and Load choosers start
    Language m_lang;
    profiles::ProfileStore m_store;
    skin::SkinImages m_images;
    SkinListBox* m_list = nullptr;
    std::optional<int> m_focusButton;  // the painted button with the keyboard focus
    std::optional<profiles::Message> m_deferred;
    ProfileAppsSetup m_apps;
};

// Runs the profile window modally over mainWindow. When it closes, closed runs, so that the main
// window refreshes from the configuration in memory. Without a chooser the desktop's file
// choosers are used.
void runProfileWindow(QWidget* mainWindow, model::ConfigModel& model,
                      const ConfigureDlgSetup& setup, const std::function<void()>& closed,
                      ProfileFileChooser* chooser = nullptr);

}  // namespace tavrik::app
