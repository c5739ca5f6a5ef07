#include "dialogs/macro_manager/macro_manager_dialog.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include "controls/empty_hint.h"
#include "controls/skin_list_box.h"
#include "dialogs/macro_manager/apply_macros.h"
#include "dialogs/macro_manager/event_menu.h"
#include "dialogs/macro_manager/macro_manager_texts.h"
#include "dialogs/macro_manager/notice_boxes.h"
#include "host/qt/qt_text.h"
#include "keyhook/keyhook.h"
#include "skin/skin_paths.h"
#include "skin/text_style.h"
#include "skin/window_dragger.h"

namespace tavrik::app {
namespace {

using namespace macromanager;

constexpr int kNameCopyPeriodMs = 100;
constexpr QSize kFallbackSize{410, 440};  // the background's size when it cannot be loaded

// Shows `lines` with line `selected` selected (none when -1). Lines whose text is already shown
// are left alone, so that an edit in progress and the scroll position survive.
void showLines(SkinListBox& list, const std::vector<std::string>& lines, int selected) {
    const QSignalBlocker blocker(&list);
    if (list.count() != static_cast<int>(lines.size())) {
        list.clear();
        for (const std::string& line : lines) list.addString(qs(line));
    } else {
        for (int i = 0; i < list.count(); ++i) {
            const QString text = qs(lines[static_cast<std::size_t>(i)]);
            if (list.item(i)->text() != text) list.item(i)->setText(text);
        }
    }
    if (selected >= 0 && selected < list.count()) {
        list.setCurrentRow(selected);
        list.scrollToItem(list.item(selected));
    } else {
        list.clearSelection();
        list.setCurrentItem(nullptr);
    }
    list.viewport()->update();
}

// The label font of at most `height` pixels in which `text` fits into `width`.
void drawLabel(QPainter& painter, const QString& text, const QRect& room, int height, int flags) {
    painter.setFont(
        skin::textFont(skin::fittingTextHeight(text, room.width(), height, kMinLabelHeight)));
    painter.drawText(room, flags | Qt::TextSingleLine, text);
}

int selectedRow(const SkinListBox& list) {
    const QList<QListWidgetItem*> items = list.selectedItems();
    return items.isEmpty() ? -1 : list.row(items.first());
}

}  // namespace

MacroManagerDialog::MacroManagerDialog(const QString& programFolder, int languageCode,
                                       QWidget* parent, const macro::Clock* clock)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      m_lang(languageFromCode(languageCode)),
      m_images(skin::skinFolder(programFolder, languageCode, skin::SkinPart::MacroManagement)),
      m_boxes(std::make_unique<QtNoticeBoxes>()),
      m_hook(m_hookReports),
      m_editor(m_hook, clock ? *clock : m_steadyClock) {
    setWindowTitle(qs(kTitle.text, m_lang));
    if (!skin::fitWindowToImage(*this, m_images, kBackground)) resize(kFallbackSize);
    setMouseTracking(true);
    createControls();
    connect(&m_hookReports, &HookReports::key, this, &MacroManagerDialog::onHookKey);
    new skin::WindowDragger(this, [](QPoint p) { return buttonAt(p) >= 0; });
    m_nameTimer.setInterval(kNameCopyPeriodMs);
    connect(&m_nameTimer, &QTimer::timeout, this, &MacroManagerDialog::copyMacroNames);
    m_blink.setParent(this);  // a member: it leaves its parent before the parent goes
    m_blink.setObjectName(QStringLiteral("recordBlink"));
    m_blink.setInterval(kRecordBlinkMs);
    connect(&m_blink, &QTimer::timeout, this, [this] {
        m_lampLit = !m_lampLit;
        update(kButtons[static_cast<std::size_t>(kRecord)].rect);
    });
}

MacroManagerDialog::~MacroManagerDialog() {
    m_nameTimer.stop();
    m_editor.close();
    // The children outlive this object's members: nothing they do while QWidget deletes them
    // may reach the editor.
    for (QObject* child : {static_cast<QObject*>(m_macroList), static_cast<QObject*>(m_eventList),
                           static_cast<QObject*>(m_loopEdit)})
        child->disconnect(this);
    m_eventList->viewport()->removeEventFilter(this);
    delete m_eventMenu;
}

void MacroManagerDialog::createControls() {
    m_macroList = new SkinListBox(this);
    m_eventList = new SkinListBox(this);
    m_macroList->setObjectName(QStringLiteral("macroList"));
    m_eventList->setObjectName(QStringLiteral("eventList"));
    m_macroList->setGeometry(kMacroListRect);
    m_eventList->setGeometry(kEventListRect);
    for (SkinListBox* list : {m_macroList, m_eventList}) {
        list->configure(kListFontHeight, QStringLiteral("Arial"), kListText, kListSelectedText,
                        true, kListShadow, kListShadowOffset);
    }
    m_macroList->setEditMode(SkinListBox::kPlainRename);
    m_eventList->setEditMode(SkinListBox::kDelayValue);
    for (SkinListBox* list : {m_macroList, m_eventList}) {
        connect(list, &SkinListBox::editStarted, this, &MacroManagerDialog::onEditStarted);
        connect(list, &SkinListBox::itemTextChanged, this, &MacroManagerDialog::copyMacroNames);
    }
    // Only the event list edits delays (edit mode 1).
    connect(m_eventList, &SkinListBox::delayEdited, this, &MacroManagerDialog::onDelayEdited);
    connect(m_macroList, &QListWidget::itemSelectionChanged, this,
            &MacroManagerDialog::onMacroSelectionChanged);
    connect(m_eventList, &QListWidget::itemSelectionChanged, this,
            &MacroManagerDialog::onEventSelectionChanged);
    m_eventList->viewport()->installEventFilter(this);
    m_macroHint = new EmptyHint(m_macroList, qs(kNoMacrosHint, m_lang));
    m_eventHint = new EmptyHint(m_eventList);

    m_loopEdit = new QLineEdit(this);
    m_loopEdit->setObjectName(QStringLiteral("loopEdit"));
    m_loopEdit->setGeometry(kLoopEditRect);
    m_loopEdit->setMaxLength(kLoopEditDigits);
    m_loopEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_loopEdit));
    m_loopEdit->setFont(skin::textFont(kLabelHeight));
    connect(m_loopEdit, &QLineEdit::textChanged, this, &MacroManagerDialog::onLoopTextChanged);

    m_eventMenu = buildEventMenu(this, m_lang, [this](int command) { runMenuCommand(command); });
}

void MacroManagerDialog::setNoticeBoxes(std::unique_ptr<NoticeBoxes> boxes) {
    if (boxes) m_boxes = std::move(boxes);
}

void MacroManagerDialog::beginEditing(macro::MacroStore& store) {
    m_store = &store;
    m_editor.open(store);
    m_hovered = -1;
    refresh();
    m_nameTimer.start();
}

int MacroManagerDialog::runModal(macro::MacroStore& store) {
    beginEditing(store);
    return exec();
}

void MacroManagerDialog::done(int result) {
    m_nameTimer.stop();
    // Cancel drops the working store; the hook never outlives the dialog's showing.
    m_editor.close();
    // The recorder is stopped: the button shows it at once (the dialog may be shown again).
    m_blink.stop();
    m_lampLit = false;
    QDialog::done(result);
}

void MacroManagerDialog::refresh() {
    emit viewChanged();
    m_showing = true;
    showLines(*m_macroList, m_editor.macroNames(), m_editor.selectedMacro());
    showLines(*m_eventList, m_editor.eventLines(), m_editor.selectedEventLine());
    const QString loopText = qs(m_editor.loopText());
    if (m_loopEdit->text() != loopText) {
        const QSignalBlocker blocker(m_loopEdit);
        m_loopEdit->setText(loopText);
    }
    m_loopEdit->setEnabled(m_editor.loopOption());
    m_showing = false;
    followRecording();
    update();
}

// The record button and the event list's hint show whether the editor records: every command
// that starts or stops recording ends in refresh() or here.
void MacroManagerDialog::followRecording() {
    const bool recording = m_editor.recording();
    if (recording != m_blink.isActive()) {
        m_lampLit = recording;  // lit at once, then blinking
        if (recording) {
            m_blink.start();
        } else {
            m_blink.stop();
        }
        update(kButtons[static_cast<std::size_t>(kRecord)].rect);
    }
    const BiText& hint = m_editor.selectedMacro() < 0 ? kNoMacroSelectedHint
                         : recording                  ? kRecordingEventsHint
                                                      : kNoEventsHint;
    m_eventHint->setText(m_editor.macroNames().empty() ? QString() : qs(hint, m_lang));
}

void MacroManagerDialog::showNotice(const std::optional<macro::Notice>& notice) {
    if (notice) m_boxes->inform(this, *notice, m_lang);
}

void MacroManagerDialog::pressButton(int button) {
    switch (button) {
        case kRecord:
            showNotice(m_editor.toggleRecording());
            break;
        case kDelayOption:
            m_editor.flipDelayOption();
            break;
        case kLoopOption:
            m_editor.flipLoopOption();
            break;
        case kNew:
            m_editor.newMacro();
            break;
        case kDelete:
            if (!m_boxes->confirm(this, macro::text::kConfirmDelete, m_lang)) return;
            showNotice(m_editor.deleteMacro());
            break;
        case kOk:
            copyMacroNames();  // a rename made within the timer's period
            if (m_store) m_editor.ok(*m_store);
            accept();
            return;
        case kCancel:
            reject();
            return;
        default:
            return;
    }
    refresh();
}

void MacroManagerDialog::runMenuCommand(int command) {
    switch (command) {
        case cmd::kInsertBefore:
            m_editor.insertBefore();
            break;
        case cmd::kInsertAfter:
            m_editor.insertAfter();
            break;
        case cmd::kInsertDelay:
            showNotice(m_editor.insertDelay());
            break;
        case cmd::kDeleteEvent:
            m_editor.deleteEvent();
            break;
        default:
            if (const auto mouse = mouseInsertOf(command))
                m_editor.insertMouseButton(mouse->button, mouse->action);
            break;
    }
    refresh();
}

void MacroManagerDialog::onMacroSelectionChanged() {
    // A rename replaces the edited line, which passes through other selections.
    if (m_showing || m_macroList->itemBeingEdited() >= 0) return;
    // The list cannot lose its macro (a Ctrl click would deselect it): show the selection again.
    const int row = selectedRow(*m_macroList);
    if (row >= 0) m_editor.selectMacro(row);
    refresh();
}

void MacroManagerDialog::onEventSelectionChanged() {
    if (m_showing) return;
    m_editor.selectEventLine(selectedRow(*m_eventList));
}

void MacroManagerDialog::onLoopTextChanged(const QString& text) {
    m_editor.setLoopText(text.toStdString());
}

void MacroManagerDialog::onHookKey(int virtualKey, bool released) {
    m_editor.onHookKey(virtualKey, released);
    refresh();
}

void MacroManagerDialog::onEditStarted() {
    m_editor.onEditStart();
    followRecording();
    update();
}

void MacroManagerDialog::onDelayEdited(int line, int ms) {
    m_editor.editDelay(line, static_cast<long>(ms));
    refresh();
}

// A rename in the macro list reaches the working store here (at once when a list item's text
// changed, and from the timer). A refused name (empty, too long, or another macro's) is put back.
void MacroManagerDialog::copyMacroNames() {
    const auto& names = m_editor.macroNames();
    if (m_macroList->count() != static_cast<int>(names.size())) return;
    bool refused = false;
    for (int i = 0; i < m_macroList->count(); ++i) {
        const QString text = m_macroList->item(i)->text();
        if (text == qs(names[static_cast<std::size_t>(i)])) continue;
        if (!m_editor.renameMacro(i, text.toStdString())) refused = true;
    }
    if (refused) refresh();
}

bool MacroManagerDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_eventList->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::RightButton) m_eventMenu->popup(me->globalPosition().toPoint());
    }
    return QDialog::eventFilter(watched, event);  // the release goes on unchanged
}

void MacroManagerDialog::mouseMoveEvent(QMouseEvent* event) {
    const int button = buttonAt(event->position().toPoint());
    if (button != m_hovered) {
        m_hovered = button;
        update();
    }
    QDialog::mouseMoveEvent(event);
}

void MacroManagerDialog::leaveEvent(QEvent* event) {
    if (m_hovered >= 0) {
        m_hovered = -1;
        update();
    }
    QDialog::leaveEvent(event);
}

void MacroManagerDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const int button = buttonAt(event->position().toPoint());
        if (button >= 0) {
            pressButton(button);
            return;
        }
    }
    QDialog::mouseReleaseEvent(event);
}

void MacroManagerDialog::keyPressEvent(QKeyEvent* event) {
    if (focusKey(event)) return;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();  // never closes the dialog
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void MacroManagerDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_images.draw(painter, 0, 0, kBackground)) painter.fillRect(rect(), QColor(40, 42, 48));
    paintButtons(painter);
    paintLabels(painter);
    paintFocusMark(painter);
}

void MacroManagerDialog::paintButtons(QPainter& painter) {
    for (int i = 0; i < kButtonCount; ++i) {
        const ButtonPlace& place = kButtons[static_cast<std::size_t>(i)];
        bool second = m_hovered == i;
        if (i == kDelayOption) second = m_editor.delayOption();
        if (i == kLoopOption) second = m_editor.loopOption();
        const char* name = second ? place.over : place.normal;
        if (i == kRecord && showsRecording()) name = kRecordOn;
        m_images.draw(painter, place.rect.topLeft(), QString::fromLatin1(name));
    }
    if (recordLampLit()) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        QColor glow = kRecordLampLit;
        glow.setAlpha(90);
        painter.setBrush(glow);
        painter.drawEllipse(QPointF(kRecordLampCentre), kRecordLampRadius + 2.5,
                            kRecordLampRadius + 2.5);
        painter.setBrush(kRecordLampLit);
        painter.drawEllipse(QPointF(kRecordLampCentre), kRecordLampRadius, kRecordLampRadius);
        painter.restore();
    }
}

void MacroManagerDialog::paintLabels(QPainter& painter) {
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(kTitleColour);
    drawLabel(painter, qs(kTitle.text, m_lang), labelRoom(kTitle), kTitle.height,
              Qt::AlignLeft | Qt::AlignTop);
    painter.setPen(kLabelColour);
    for (const LabelPlace& label : kLabels) {
        drawLabel(painter, qs(label.text, m_lang), labelRoom(label), label.height,
                  Qt::AlignLeft | Qt::AlignTop);
    }
    drawLabel(painter, qs(m_editor.recordButtonLabel(), m_lang), buttonLabelBox(kRecord),
              kButtonLabelHeight, Qt::AlignCenter);
    for (int i = kNew; i < kButtonCount; ++i) {
        drawLabel(painter, qs(kButtonLabels[static_cast<std::size_t>(i)], m_lang),
                  buttonLabelBox(i), kButtonLabelHeight, Qt::AlignCenter);
    }
    if (m_editor.recording() && !hookCapturesDesktop()) {
        const LabelPlace& note = kOwnWindowKeysOnly;
        drawLabel(painter, qs(note.text, m_lang), labelRoom(note), note.height,
                  Qt::AlignLeft | Qt::AlignTop);
    }
    painter.restore();
}

Result<bool> runMacroManager(MacroManagerDialog& dlg, macro::MacroStore& store,
                             model::ConfigModel& model, const std::filesystem::path& macroFile) {
    if (dlg.runModal(store) != QDialog::Accepted) return false;
    if (Status saved = applyMacroStore(model, store, macroFile); !saved) return saved.error();
    return true;
}

}  // namespace tavrik::app
