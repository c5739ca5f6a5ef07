#include "dialogs/key_assign/key_assign_dialog.h"

#include <QAction>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QSignalBlocker>
#include <QStyle>

#include "controls/empty_hint.h"
#include "controls/skin_tree.h"
#include "dialogs/key_assign/key_assign_painter.h"
#include "host/qt/qt_text.h"
#include "model/virtual_keys.h"
#include "skin/text_style.h"
#include "skin/window_dragger.h"

namespace tavrik::app {
namespace {

namespace ka = keyassign;

// The dialog's size when its background picture is missing.
constexpr QSize kDefaultSize{325, 280};
constexpr QRect kTreeGeometry{10, 60, 295, 160};
constexpr QRect kSingleGeometry{20, 89, 280, 15};
constexpr QRect kCombineGeometry{20, 139, 280, 15};
constexpr QRect kMacroListGeometry{20, 79, 280, 150};
const QColor kControlBackground{109, 109, 109};
// A hint on that grey: lighter than the skin's muted text, darker than the white item text.
const QColor kHintOnControl{212, 214, 220};
constexpr int kItemIconSize = 16;
// Rows tall enough for the descenders of the tree's text.
constexpr int kTreeRowHeight = 17;

// A guard that marks changes the dialog makes itself, so that the focus and selection handlers
// do not mistake them for the user's.
class Updating {
public:
    explicit Updating(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~Updating() { m_flag = m_old; }
    Updating(const Updating&) = delete;
    Updating& operator=(const Updating&) = delete;

private:
    bool& m_flag;
    bool m_old;
};

void setTextKeepingCaret(QLineEdit* edit, const std::string& utf8) {
    const QString text = qs(utf8);
    if (edit->text() == text) return;
    edit->setText(text);
    edit->end(false);
}

}  // namespace

KeyAssignDialog::KeyAssignDialog(const ka::KeyMapInput& input, const QString& skinFolder,
                                 KeyMapServices services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      m_state(input),
      m_services(std::move(services)),
      m_images(skinFolder) {
    setWindowTitle(text(ka::kDialogTitle));
    if (!skin::fitWindowToImage(*this, m_images, QString::fromLatin1(kKeyMapBackground))) {
        resize(kDefaultSize);
    }
    setFixedSize(size());
    setMouseTracking(true);
    createControls();
    fillTree();
    fillMacroList();
    new skin::WindowDragger(this, [](QPoint p) {
        return !ka::KeyMapState::isBackground({p.x(), p.y()});
    });
    connect(&m_hookReports, &HookReports::key, this, &KeyAssignDialog::hookKey);
    m_hookInstalled = m_services.installHook && m_services.installHook(&m_hookReports, 0);
    m_state.setHookInstalled(m_hookInstalled);
    // Without the hook nothing is captured: typing into an edit would show keys that are not
    // assigned, so the edits stay empty.
    m_single->setReadOnly(!m_hookInstalled);
    m_combine->setReadOnly(!m_hookInstalled);
    applyView();
}

KeyAssignDialog::~KeyAssignDialog() {
    if (m_hookInstalled && m_services.removeHook) m_services.removeHook();
}

QString KeyAssignDialog::text(BiText t) const {
    return qs(t.in(m_state.language()));
}

void KeyAssignDialog::styleControl(QWidget* control) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::Base, kControlBackground);
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::Window, kControlBackground);
    palette.setColor(QPalette::WindowText, Qt::white);
    control->setPalette(palette);
    control->setFont(skin::textFont());
    control->installEventFilter(this);
}

void KeyAssignDialog::createControls() {
    m_tree = new SkinTree(this);
    m_tree->setObjectName(QStringLiteral("tree"));
    m_tree->setGeometry(kTreeGeometry);
    m_tree->setHeaderHidden(true);
    m_tree->setFont(skin::textFont());
    m_tree->loadPictures();
    m_tree->setBackgroundMode(SkinTree::kSolidBackground);
    // The preselected function stays visible while another control has the focus.
    m_tree->setShowSelectionAlways(true);
    m_tree->setItemIcon(
        QIcon(style()->standardIcon(QStyle::SP_FileIcon).pixmap(kItemIconSize, kItemIconSize)));
    m_tree->installEventFilter(this);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this,
            &KeyAssignDialog::treeSelectionChanged);

    m_single = new QLineEdit(this);
    m_single->setObjectName(QStringLiteral("single"));
    m_single->setGeometry(kSingleGeometry);
    m_combine = new QLineEdit(this);
    m_combine->setObjectName(QStringLiteral("combine"));
    m_combine->setGeometry(kCombineGeometry);
    for (QLineEdit* edit : {m_single, m_combine}) {
        edit->setFrame(false);
        // Only a click or the dialog itself focuses an edit: a caret that Qt puts into an edit
        // on activation would not switch the capture to it.
        edit->setFocusPolicy(Qt::ClickFocus);
        styleControl(edit);
    }
    createCombineMenu();

    m_macros = new QListWidget(this);
    m_macros->setObjectName(QStringLiteral("macros"));
    m_macros->setGeometry(kMacroListGeometry);
    m_macros->setFrameShape(QFrame::NoFrame);
    styleControl(m_macros);
    connect(m_macros, &QListWidget::currentRowChanged, this, &KeyAssignDialog::macroRowChanged);
    m_macroHint = new EmptyHint(m_macros, text(ka::kNoMacrosHint));
    m_macroHint->setColour(kHintOnControl);
}

void KeyAssignDialog::createCombineMenu() {
    m_combineMenu = new QMenu(this);
    QAction* deleteAll = m_combineMenu->addAction(text(ka::kDeleteAllText));
    deleteAll->setData(ka::kDeleteAllCommand);
    connect(deleteAll, &QAction::triggered, this, [this] {
        m_state.deleteAll();
        applyView();
    });
    m_combine->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_combine, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { m_combineMenu->exec(m_combine->mapToGlobal(at)); });
}

void KeyAssignDialog::fillTree() {
    const Updating updating(m_updating);
    const auto nodes = ka::catalogueTree();
    m_treeItems.reserve(nodes.size());
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const ka::TreeNode& node = nodes[i];
        const QStringList columns{text(node.name)};
        QTreeWidgetItem* item =
            node.parent < 0
                ? new QTreeWidgetItem(m_tree, columns)
                : new QTreeWidgetItem(m_treeItems[static_cast<std::size_t>(node.parent)], columns);
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        item->setSizeHint(0, QSize(0, kTreeRowHeight));
        m_treeItems.push_back(item);
    }
    if (const auto expanded = m_state.view().expandedNode) {
        m_treeItems[static_cast<std::size_t>(*expanded)]->setExpanded(true);
    }
}

void KeyAssignDialog::fillMacroList() {
    const Updating updating(m_updating);
    for (const std::string& name : m_state.view().macroNames) m_macros->addItem(qs(name));
}

// Puts the controls in line with the state's view: visibility by tab, edit texts, tree and list
// selections, the focus the state asks for; then repaints.
void KeyAssignDialog::applyView() {
    const Updating updating(m_updating);
    const ka::KeyMapView& v = m_state.view();
    m_single->setVisible(v.tab == ka::Tab::SingleCombine);
    m_combine->setVisible(v.tab == ka::Tab::SingleCombine);
    m_macros->setVisible(v.tab == ka::Tab::Macro);
    m_tree->setVisible(v.tab == ka::Tab::Basic);
    setTextKeepingCaret(m_single, v.singleText);
    setTextKeepingCaret(m_combine, v.combineText);
    if (m_macros->currentRow() != v.macroRow) m_macros->setCurrentRow(v.macroRow);
    QTreeWidgetItem* item =
        v.treeNode ? m_treeItems[static_cast<std::size_t>(*v.treeNode)] : nullptr;
    if (m_tree->currentItem() != item) {
        if (item) {
            m_tree->setCurrentItem(item);
            m_tree->scrollToItem(item);
        } else {
            m_tree->clearSelection();
        }
    }
    applyFocusRequest();
    update();
    emit viewChanged();
}

void KeyAssignDialog::applyFocusRequest() {
    const auto request = m_state.takeFocusRequest();
    if (!request) return;
    switch (*request) {
        case ka::FocusTarget::MacroList:
            m_macros->setFocus(Qt::OtherFocusReason);
            return;
        case ka::FocusTarget::SingleEdit:
        case ka::FocusTarget::CombineEdit: {
            const bool single = *request == ka::FocusTarget::SingleEdit;
            QLineEdit* edit = single ? m_single : m_combine;
            if (edit->hasFocus()) return;
            edit->setFocus(Qt::OtherFocusReason);
            // The dialog focusing an edit counts as that edit gaining the focus.
            m_state.focusGained(single ? ka::Edit::Single : ka::Edit::Combine);
            setTextKeepingCaret(m_single, m_state.view().singleText);
            setTextKeepingCaret(m_combine, m_state.view().combineText);
            return;
        }
    }
}

void KeyAssignDialog::hookKey(int virtualKey, bool released) {
    // Keys count only while a capture edit has the focus; Tab moves the focus out of it.
    if (!isCaptureEdit(focusWidget()) || virtualKey == model::vk::kTab) return;
    m_state.hookKey(virtualKey, released);
    applyView();
}

bool KeyAssignDialog::eventFilter(QObject* watched, QEvent* event) {
    if (filterKey(watched, event)) return true;
    if (event->type() == QEvent::FocusIn) filterFocus(watched, event);
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) update();
    return QDialog::eventFilter(watched, event);
}

// With the hook installed keys for the capture edits arrive only through the hook: their key
// presses are swallowed (the hook sees them before this filter), but Tab and Shift+Tab, which
// leave the edit. The other controls take keys as usual.
bool KeyAssignDialog::filterKey(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !isCaptureEdit(watched)) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) return false;
    return m_hookInstalled;
}

void KeyAssignDialog::filterFocus(QObject* watched, QEvent* event) {
    if (m_updating || (watched != m_single && watched != m_combine)) return;
    // Showing the dialog sends its focus widget a focus event before it really has the focus;
    // the dialog focused that edit itself, so it is no change.
    if (!static_cast<QWidget*>(watched)->hasFocus()) return;
    // Re-activating the window or closing a popup menu returns the focus; that is no change.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
    m_state.focusGained(watched == m_single ? ka::Edit::Single : ka::Edit::Combine);
    applyView();
}

void KeyAssignDialog::setVisible(bool visible) {
    QDialog::setVisible(visible);
    if (!visible) return;
    // Showing a dialog selects the text of the edit it focuses; the caret belongs at the end.
    for (QLineEdit* edit : {m_single, m_combine}) edit->end(false);
}

void KeyAssignDialog::keyPressEvent(QKeyEvent* event) {
    if (focusKey(event)) return;
    if (m_hookInstalled) return;
    // Enter and Esc in a capture edit belong to it; they never end the dialog.
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Enter:
        case Qt::Key_Return:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void KeyAssignDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintKeyMap(painter, m_images, m_state);
    paintFocusMark(painter);
}

void KeyAssignDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_pressWindowPos = pos();
    QDialog::mousePressEvent(event);
}

void KeyAssignDialog::mouseReleaseEvent(QMouseEvent* event) {
    // A release that ends a drag of the window is no click.
    if (event->button() == Qt::LeftButton && pos() == m_pressWindowPos) {
        handleClick(event->position().toPoint());
    }
    QDialog::mouseReleaseEvent(event);
}

void KeyAssignDialog::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    m_state.pointerMoved({p.x(), p.y()});
    update();
    QDialog::mouseMoveEvent(event);
}

void KeyAssignDialog::leaveEvent(QEvent* event) {
    m_state.pointerMoved({-1, -1});
    update();
    QDialog::leaveEvent(event);
}

void KeyAssignDialog::handleClick(QPoint p) {
    const ka::ClickOutcome outcome = m_state.click({p.x(), p.y()});
    applyView();
    if (outcome.message) showMessage(*outcome.message);
    if (outcome.chooseRow) runChooser(*outcome.chooseRow);
    if (outcome.end == ka::DialogEnd::Accept) accept();
    if (outcome.end == ka::DialogEnd::Reject) reject();
}

void KeyAssignDialog::runChooser(int row) {
    if (!m_services.chooseLaunchPath) return;
    const auto path = m_services.chooseLaunchPath(this, row, m_state.language());
    const auto refusal = m_state.chosen(row, path);
    applyView();
    if (refusal) showMessage(*refusal);
}

void KeyAssignDialog::showMessage(BiText message) {
    if (m_services.showMessage) m_services.showMessage(this, text(message));
}

void KeyAssignDialog::treeSelectionChanged() {
    if (m_updating) return;
    const QTreeWidgetItem* item = m_tree->currentItem();
    const bool selected = item && item->isSelected();
    m_state.selectTreeNode(selected ? std::optional<int>(item->data(0, Qt::UserRole).toInt())
                                    : std::nullopt);
}

void KeyAssignDialog::macroRowChanged(int row) {
    if (m_updating) return;
    m_state.selectMacroRow(row);
}

}  // namespace tavrik::app
