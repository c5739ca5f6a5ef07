#pragma once
// MacroManagerDialog: the macro manager. A skinned modal dialog over the macro editor: the macro
// list (in-place rename), the event list (in-place delay edit, context menu), the loop edit, the
// seven painted buttons and the labels. It records through the key hook (its HookReports) and
// forwards every click, selection, edit and menu command to the editor, then shows the editor's
// state again. Enter and Escape never close it.

#include <QDialog>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <optional>

#include "common/language.h"
#include "common/result.h"
#include "keyhook/hook_reports.h"
#include "keyhook/window_hook.h"
#include "macro/clock.h"
#include "macro/macro_editor.h"
#include "model/config_model.h"
#include "skin/skin_images.h"

class QLineEdit;
class QMenu;

namespace tavrik::app {

class SkinListBox;
class NoticeBoxes;
class EmptyHint;

class MacroManagerDialog : public QDialog {
    Q_OBJECT
public:
    // Skin from the MacroManagement folder of the language code's skin under programFolder.
    // clock: the counter that recording measures delays with (steady clock when null; it must
    // outlive the dialog).
    MacroManagerDialog(const QString& programFolder, int languageCode, QWidget* parent = nullptr,
                       const macro::Clock* clock = nullptr);
    ~MacroManagerDialog() override;

    // Opens a fresh working copy of `store` and runs the dialog modally. When it returns
    // QDialog::Accepted the working store has been copied over `store`; the caller then applies
    // it (applyMacroStore). `store` must outlive the call.
    int runModal(macro::MacroStore& store);
    // The opening without the modal loop: show() the dialog afterwards. OK writes into `store`,
    // which must outlive the dialog's use.
    void beginEditing(macro::MacroStore& store);

    // Replaces the message boxes (QMessageBox by default).
    void setNoticeBoxes(std::unique_ptr<NoticeBoxes> boxes);

    Language language() const { return m_lang; }
    const macro::MacroEditor& editor() const { return m_editor; }
    SkinListBox* macroList() const { return m_macroList; }
    SkinListBox* eventList() const { return m_eventList; }
    QLineEdit* loopEdit() const { return m_loopEdit; }
    QMenu* eventMenu() const { return m_eventMenu; }
    int hoveredButton() const { return m_hovered; }
    // The hints written over the lists while they are empty.
    EmptyHint* macroListHint() const { return m_macroHint; }
    EmptyHint* eventListHint() const { return m_eventHint; }
    // The record button shows that it records (held down, its lamp blinking); the lamp is lit
    // in the blink's on phase.
    bool showsRecording() const { return m_blink.isActive(); }
    bool recordLampLit() const { return showsRecording() && m_lampLit; }
    skin::SkinImages& images() { return m_images; }
    // Where the key hook's reports arrive (tests and tools post keys here).
    HookReports& hookReports() { return m_hookReports; }

    // Keyboard use and assistive technology (macro_manager_focus.cpp): a click of a painted
    // button as the mouse gives it, and the painted button with the keyboard focus.
    void clickButton(int button) { pressButton(button); }
    std::optional<int> focusButton() const { return m_focusButton; }
    void setFocusButton(int button);

signals:
    // What the painted buttons show may have changed; the focus moved between them.
    void viewChanged();
    void focusButtonChanged();

protected:
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

public slots:
    void done(int result) override;

private:
    void createControls();
    void pressButton(int button);
    void runMenuCommand(int command);
    void onMacroSelectionChanged();
    void onEventSelectionChanged();
    void onLoopTextChanged(const QString& text);
    void onEditStarted();
    void onHookKey(int virtualKey, bool released);
    void onDelayEdited(int line, int ms);
    void copyMacroNames();
    void showNotice(const std::optional<macro::Notice>& notice);
    void refresh();
    void followRecording();
    void paintButtons(QPainter& painter);
    void paintLabels(QPainter& painter);
    bool focusKey(QKeyEvent* event);
    void paintFocusMark(QPainter& painter);

    Language m_lang;
    skin::SkinImages m_images;
    std::unique_ptr<NoticeBoxes> m_boxes;
    macro::SteadyClock m_steadyClock;
    HookReports m_hookReports;  // before m_hook, which refers to it
    WindowHook m_hook;
    macro::MacroEditor m_editor;
    macro::MacroStore* m_store = nullptr;
    SkinListBox* m_macroList = nullptr;
    SkinListBox* m_eventList = nullptr;
    QLineEdit* m_loopEdit = nullptr;
    QMenu* m_eventMenu = nullptr;
    QTimer m_nameTimer;
    QTimer m_blink;  // runs while recording: the record lamp blinks
    bool m_lampLit = false;
    EmptyHint* m_macroHint = nullptr;
    EmptyHint* m_eventHint = nullptr;
    int m_hovered = -1;
    bool m_showing = false;  // refresh() is updating the controls: their signals are not commands
    std::optional<int> m_focusButton;  // the painted button with the keyboard focus
};

// The main window's Macros command: runs `dlg` modally over `store`; on OK the working store
// replaces `store` and applyMacroStore brings the macro slots, keymap.bin and macroFile up to
// date. True after OK, false after Cancel; an error when a file could not be written (memory is
// updated all the same).
Result<bool> runMacroManager(MacroManagerDialog& dlg, macro::MacroStore& store,
                             model::ConfigModel& model, const std::filesystem::path& macroFile);

}  // namespace tavrik::app
