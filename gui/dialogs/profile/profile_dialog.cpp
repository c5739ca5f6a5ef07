#include "dialogs/profile/profile_dialog.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <array>

#include "controls/skin_list_box.h"
#include "dialogs/profile/profile_dialog_layout.h"
#include "dialogs/profile/profile_file_chooser.h"
#include "host/qt/qt_text.h"
#include "model/config_model.h"
#include "profiles/profile_names.h"
#include "skin/skin_paths.h"
#include "skin/text_style.h"
#include "skin/window_dragger.h"

namespace tavrik::app {
namespace {

using profiles::Command;
namespace layout = profilewindow;

constexpr std::array<Command, 5> kMenuOrder{Command::New, Command::Copy, Command::Save,
                                            Command::Load, Command::Delete};

bool isPictureButton(QPoint p) {
    return layout::kCloseHit.contains(p) || layout::kNewHit.contains(p) ||
           layout::kDeleteHit.contains(p);
}

}  // namespace

ProfileDialog::ProfileDialog(model::ConfigModel& model, const ConfigureDlgSetup& setup,
                             ProfileFileChooser& chooser, QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::FramelessWindowHint),
      m_model(model),
      m_chooser(chooser),
      m_dataFolder(QString::fromStdString(setup.dataFolder.string())),
      m_lang(languageFromCode(setup.languageCode)),
      m_store(profiles::profileFolder(setup.dataFolder)),
      m_images(skin::skinFolder(setup.programFolder, setup.languageCode, skin::SkinPart::Config)) {
    setWindowTitle(qs(profiles::text::kTitle.in(m_lang)));
    if (!skin::fitWindowToImage(*this, m_images, QString::fromLatin1(layout::kBackground))) {
        resize(layout::kFallbackSize);
    }
    if (mainWindow) move(mainWindow->frameGeometry().topLeft() - QPoint(1, 1));
    new skin::WindowDragger(this, isPictureButton);
    createList();
    showRows(std::nullopt);
}

ProfileDialog::~ProfileDialog() = default;

void ProfileDialog::createList() {
    m_list = new SkinListBox(this);
    m_list->setGeometry(layout::kListRect);
    m_list->configure(layout::kListFontHeight, QStringLiteral("Arial"), Qt::white,
                      QColor(0, 255, 255), true, Qt::black, layout::kListShadowOffset);
    m_list->setEditMode(SkinListBox::kNotifyRename);
    connect(m_list, &SkinListBox::renameFinished, this, &ProfileDialog::renameRow);
    m_list->viewport()->installEventFilter(this);
}

std::optional<int> ProfileDialog::selectedRow() const {
    const int row = m_list->currentRow();
    if (row < 0 || !m_list->item(row)->isSelected()) return std::nullopt;
    return row;
}

std::optional<std::string> ProfileDialog::selectedText() const {
    const auto row = selectedRow();
    if (!row || !m_store.isRow(row)) return std::nullopt;
    return m_store.rows()[static_cast<std::size_t>(*row)];
}

void ProfileDialog::showRows(const std::optional<std::string>& select) {
    m_list->clear();
    const auto& rows = m_store.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int index = m_list->addString(qs(rows[i]));
        if (select && rows[i] == *select) m_list->setCurrentRow(index);
    }
}

void ProfileDialog::finishEdit() {
    m_list->endEdit(true);
    showDeferredMessage();
}

void ProfileDialog::runCommand(Command command) {
    finishEdit();
    const std::optional<int> selected = selectedRow();
    if (auto refusal = m_store.refusal(command, selected)) {
        showMessage(*refusal);
        return;
    }
    if (command == Command::Copy && !m_store.canCopy(selected)) return;  // six rows: silent
    if (command == Command::Delete && !confirmDelete()) return;
    const std::optional<std::string> keep = selectedText();
    const profiles::Outcome outcome = runConfirmed(command, selected);
    showRows(keep);
    if (outcome.message) showMessage(*outcome.message);
}

profiles::Outcome ProfileDialog::runConfirmed(Command command, std::optional<int> selected) {
    switch (command) {
        case Command::New:
            return m_store.createNew();
        case Command::Copy:
            return m_store.copy(selected, m_lang);
        case Command::Save: {
            const auto alsoTo = m_chooser.chooseSavePath(this, m_dataFolder);
            return m_model.withLock([&](model::ConfigState& s) {
                return m_store.save(selected, s.image, s.actions, alsoTo);
            });
        }
        case Command::Load: {
            const auto from = m_chooser.chooseOpenPath(this, m_dataFolder);
            return m_model.withLock([&](model::ConfigState& s) {
                return m_store.load(selected, from, s.image, s.actions);
            });
        }
        case Command::Delete:
            return m_store.remove(selected);
    }
    return {};
}

void ProfileDialog::renameRow(int oldRow, int row) {
    const QListWidgetItem* item = m_list->item(row);
    if (!item) {
        m_store.relist();
        showRows(std::nullopt);
        return;
    }
    const std::string name = item->text().toStdString();
    const profiles::Outcome outcome = m_store.rename(oldRow, name);
    // The row keeps its selection under its new name, or under the old one when nothing moved.
    showRows(outcome.changed         ? profiles::rowText(profiles::renamedFileName(name))
             : m_store.isRow(oldRow) ? std::optional(m_store.rows()[std::size_t(oldRow)])
                                     : std::nullopt);
    if (outcome.message) deferMessage(*outcome.message);
}

void ProfileDialog::openContextMenu(const QPoint& globalPos) {
    finishEdit();
    QMenu menu(this);
    for (Command command : kMenuOrder) {
        QAction* action = menu.addAction(qs(profiles::commandText(command).in(m_lang)));
        action->setData(static_cast<int>(command));
    }
    const QAction* chosen = menu.exec(globalPos);
    if (!chosen) return;
    if (auto command = profiles::commandFromId(chosen->data().toInt())) runCommand(*command);
}

void ProfileDialog::showMessage(const profiles::Message& message) {
    const QString caption = message.captioned ? qs(profiles::text::kCaption.in(m_lang)) : QString();
    QMessageBox box(QMessageBox::NoIcon, caption, qs(message.text.in(m_lang)), QMessageBox::Ok,
                    this);
    box.exec();
}

bool ProfileDialog::confirmDelete() {
    QMessageBox box(QMessageBox::NoIcon, qs(profiles::text::kCaption.in(m_lang)),
                    qs(profiles::text::kConfirmDelete.in(m_lang)),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    return box.exec() == QMessageBox::Ok;
}

void ProfileDialog::deferMessage(const profiles::Message& message) {
    m_deferred = message;
    QTimer::singleShot(0, this, &ProfileDialog::showDeferredMessage);
}

void ProfileDialog::showDeferredMessage() {
    if (!m_deferred) return;
    const profiles::Message message = *m_deferred;
    m_deferred.reset();
    showMessage(message);
}

void ProfileDialog::done(int result) {
    finishEdit();
    QDialog::done(result);
}

bool ProfileDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* me = static_cast<const QMouseEvent*>(event);
        if (me->button() == Qt::RightButton) {
            openContextMenu(me->globalPosition().toPoint());
            return true;  // the right button leaves the selection as it is
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ProfileDialog::paintEvent(QPaintEvent*) {
    QPainter p(this);
    m_images.draw(p, 0, 0, QString::fromLatin1(layout::kBackground));
    skin::drawText(p, layout::kTitleAt.x(), layout::kTitleAt.y(),
                   qs(profiles::text::kTitle.in(m_lang)), layout::kTitleHeight);
    m_images.draw(p, layout::kClosePictureAt, QString::fromLatin1(layout::kClosePicture));
    m_images.draw(p, layout::kNewPictureAt, QString::fromLatin1(layout::kNewPicture));
    skin::drawText(p, layout::kNewLabelAt.x(), layout::kNewLabelAt.y(),
                   qs(profiles::text::kNewButton.in(m_lang)), layout::kLabelHeight);
    m_images.draw(p, layout::kDeletePictureAt, QString::fromLatin1(layout::kDeletePicture));
    skin::drawText(p, layout::kDeleteLabelAt.x(), layout::kDeleteLabelAt.y(),
                   qs(profiles::text::kDeleteButton.in(m_lang)), layout::kLabelHeight);
    paintFocusMark(p);
}

void ProfileDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QDialog::mouseReleaseEvent(event);
    const QPoint p = event->position().toPoint();
    if (layout::kCloseHit.contains(p)) {
        accept();
    } else if (layout::kNewHit.contains(p)) {
        runCommand(Command::New);
    } else if (layout::kDeleteHit.contains(p)) {
        runCommand(Command::Delete);
    }
}

void ProfileDialog::keyPressEvent(QKeyEvent* event) {
    if (focusKey(event)) return;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();  // Enter never ends the profile window
        return;
    }
    QDialog::keyPressEvent(event);
}

void runProfileWindow(QWidget* mainWindow, model::ConfigModel& model,
                      const ConfigureDlgSetup& setup, const std::function<void()>& closed,
                      ProfileFileChooser* chooser) {
    QtProfileFileChooser desktop;
    ProfileDialog dialog(model, setup, chooser ? *chooser : desktop, mainWindow);
    dialog.exec();
    if (closed) closed();
}

}  // namespace tavrik::app
