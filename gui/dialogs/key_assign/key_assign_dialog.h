#pragma once
// KeyAssignDialog: the skinned modal dialog in which the user gives one key a function. It forwards
// clicks, pointer moves, focus changes, captured keys (the key hook) and tree and list selections
// to keyassign::KeyMapState and paints from its view. It encodes nothing: after OK the caller
// reads result() and applies it.

#include <QDialog>
#include <QPoint>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "dialogs/key_assign/key_assign_services.h"
#include "keyassign/key_map_state.h"
#include "keyhook/hook_reports.h"
#include "skin/skin_images.h"

class QLineEdit;
class QListWidget;
class QMenu;
class QPainter;
class QTreeWidgetItem;

namespace tavrik::app {

class SkinTree;
class EmptyHint;

class KeyAssignDialog : public QDialog {
    Q_OBJECT
public:
    // The control identifiers of the dialog's children.
    static constexpr int kTreeId = 1003;
    static constexpr int kCombineEditId = 1012;
    static constexpr int kSingleEditId = 1013;
    static constexpr int kMacroListId = 1015;

    // `skinFolder` holds the dialog's pictures ("Custom_BK.png", ...), ending with '/'. The hook
    // is installed in mode 0 here and removed when the dialog is destroyed.
    KeyAssignDialog(const keyassign::KeyMapInput& input, const QString& skinFolder,
                    KeyMapServices services, QWidget* parent = nullptr);
    ~KeyAssignDialog() override;

    // Meaningful after the dialog ended with Accepted.
    keyassign::AssignmentResult result() const { return m_state.result(); }
    const keyassign::KeyMapState& state() const { return m_state; }

    QLineEdit* singleEdit() const { return m_single; }
    QLineEdit* combineEdit() const { return m_combine; }
    SkinTree* tree() const { return m_tree; }
    QListWidget* macroList() const { return m_macros; }
    // Written over the macro list while no macro is defined.
    EmptyHint* macroListHint() const { return m_macroHint; }
    // The "Combine" edit's context menu with its "Delete All" command.
    QMenu* combineMenu() const { return m_combineMenu; }
    // The pictures, with every file name the dialog asked for.
    const skin::SkinImages& images() const { return m_images; }
    // Where the key hook's reports arrive (tests and tools post keys here).
    HookReports& hookReports() { return m_hookReports; }

    void setVisible(bool visible) override;

    // Keyboard use and assistive technology (key_assign_focus.cpp). Spots are the painted places
    // they reach: buttons 0..9 but the tab strip, and on the "Advance" tab each row's indicator
    // and browse region (kRegionSpot + region index). A click at a spot is a release at its
    // centre, as the mouse gives it.
    static constexpr int kRegionSpot = 100;
    static std::vector<int> paintedSpots(keyassign::Tab tab);
    static QRect spotRect(int spot);
    void clickSpot(int spot);
    std::optional<int> focusSpot() const { return m_focusSpot; }
    void setFocusSpot(int spot);

signals:
    // What the painted spots show may have changed; the focus moved between spots.
    void viewChanged();
    void focusSpotChanged();

protected:
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void createCombineMenu();
    void fillTree();
    void fillMacroList();
    void styleControl(QWidget* control);
    void handleClick(QPoint p);
    void runChooser(int row);
    void showMessage(BiText text);
    void applyView();
    void applyFocusRequest();
    void hookKey(int virtualKey, bool released);
    bool filterKey(QObject* watched, QEvent* event);
    bool isCaptureEdit(const QObject* o) const;
    struct FocusStop {
        std::optional<int> spot;
        QWidget* widget = nullptr;
    };
    std::vector<FocusStop> focusRing() const;
    bool focusKey(QKeyEvent* event);
    void paintFocusMark(QPainter& painter);
    void filterFocus(QObject* watched, QEvent* event);
    void treeSelectionChanged();
    void macroRowChanged(int row);
    QString text(BiText t) const;

    keyassign::KeyMapState m_state;
    KeyMapServices m_services;
    HookReports m_hookReports;
    skin::SkinImages m_images;
    QLineEdit* m_single = nullptr;
    QLineEdit* m_combine = nullptr;
    SkinTree* m_tree = nullptr;
    QListWidget* m_macros = nullptr;
    QMenu* m_combineMenu = nullptr;
    EmptyHint* m_macroHint = nullptr;
    std::vector<QTreeWidgetItem*> m_treeItems;  // by catalogue tree node
    bool m_hookInstalled = false;
    bool m_updating = false;         // focus and selection changes made by the dialog itself
    QPoint m_pressWindowPos;         // window position at the last left press (drags end no click)
    std::optional<int> m_focusSpot;  // the painted spot with the keyboard focus
};

}  // namespace tavrik::app
