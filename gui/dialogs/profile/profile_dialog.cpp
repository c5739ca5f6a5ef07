#include "dialogs/profile/profile_dialog.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <array>

#include "appprofiles/app_profile_texts.h"
#include "appwatch/active_app_watcher.h"
#include "controls/empty_hint.h"
#include "controls/skin_list_box.h"
#include "dialogs/profile/profile_dialog_layout.h"
#include "dialogs/profile/profile_file_chooser.h"
#include "host/app_rules_file.h"
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

// The desktop's input dialog: an editable list of the open applications.
std::optional<QString> askWithInputDialog(QWidget* parent, const QStringList& open, Language lang) {
    bool ok = false;
    const QString id = QInputDialog::getItem(
        parent, qs(appprofiles::text::kAddApplication.in(lang)),
        qs(appprofiles::text::kChooseApplication.in(lang)), open, 0, true, &ok);
    if (!ok) return std::nullopt;
    return id.trimmed();
}

QString joined(std::span<const std::string> names) {
    QStringList out;
    for (const std::string& n : names) out << QString::fromStdString(n);
    return out.join(QStringLiteral(", "));
}

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
      m_images(skin::skinFolder(setup.programFolder, setup.languageCode, skin::SkinPart::Config)),
      m_apps(setup.apps) {
    // A rules file fixed or removed since is taken up when the window opens.
    if (m_apps.rules) m_apps.rules->load();
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
    m_list->setGeometry(m_apps.rules ? layout::kAppsListRect : layout::kListRect);
    connect(m_list, &QListWidget::itemSelectionChanged, this, qOverload<>(&QWidget::update));
    m_list->configure(layout::kListFontHeight, QStringLiteral("Arial"), Qt::white,
                      QColor(0, 255, 255), true, Qt::black, layout::kListShadowOffset);
    m_list->setEditMode(SkinListBox::kNotifyRename);
    new EmptyHint(m_list, qs(profiles::text::kNoProfilesHint.in(m_lang)));
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
    if (command == Command::Delete && outcome.changed && keep) rulesMoved(*keep, {});
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
    const std::string before =
        m_store.isRow(oldRow) ? m_store.rows()[std::size_t(oldRow)] : std::string();
    const profiles::Outcome outcome = m_store.rename(oldRow, name);
    if (outcome.changed) rulesMoved(before, profiles::rowText(profiles::renamedFileName(name)));
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
    addAppsItems(menu);
    const QAction* chosen = menu.exec(globalPos);
    if (!chosen) return;
    const int id = chosen->data().toInt();
    if (auto command = profiles::commandFromId(id)) {
        runCommand(*command);
    } else {
        runAppsCommand(id);
    }
}

void ProfileDialog::addAppsItems(QMenu& menu) {
    const auto profile = selectedText();
    if (!m_apps.rules || !profile) return;
    menu.addSeparator();
    QAction* add = menu.addAction(qs(appprofiles::text::kAddApplication.in(m_lang)));
    add->setData(int(AppsCommand::Add));
    QAction* fallback = menu.addAction(qs(appprofiles::text::kMakeDefault.in(m_lang)));
    fallback->setData(int(AppsCommand::MakeDefault));
    fallback->setCheckable(true);
    fallback->setChecked(m_apps.rules->rules().defaultProfile == *profile);
    const auto apps = appprofiles::appsOf(m_apps.rules->rules(), *profile);
    for (std::size_t i = 0; i < apps.size(); ++i) {
        QAction* remove = menu.addAction(qs(appprofiles::text::kRemoveApplication.in(m_lang)) +
                                         QStringLiteral(" ") + QString::fromStdString(apps[i]));
        remove->setData(int(AppsCommand::RemoveFirst) + int(i));
    }
}

void ProfileDialog::runAppsCommand(int id) {
    finishEdit();
    const auto profile = selectedText();
    if (!m_apps.rules || !profile) return;
    AppRulesFile& rules = *m_apps.rules;
    std::function<appprofiles::Edit(appprofiles::AppRules&)> edit;
    if (id == int(AppsCommand::Add)) {
        QStringList open;
        if (m_apps.watcher && m_apps.watcher->canListOpenApps()) open = m_apps.watcher->openApps();
        const auto typed =
            m_apps.askAppId ? m_apps.askAppId(this, open) : askWithInputDialog(this, open, m_lang);
        if (!typed) return;
        const std::string app = typed->trimmed().toStdString();
        if (appprofiles::appIdProblem(app)) {
            showMessage({appprofiles::text::kBadAppId});
            return;
        }
        edit = [profile, app](appprofiles::AppRules& r) {
            return appprofiles::bind(r, *profile, app);
        };
    } else if (id == int(AppsCommand::MakeDefault)) {
        const bool isDefault = rules.rules().defaultProfile == *profile;
        edit = [profile, isDefault](appprofiles::AppRules& r) {
            return appprofiles::setDefault(
                r, isDefault ? std::nullopt : std::optional<std::string_view>(*profile));
        };
    } else {
        const auto apps = appprofiles::appsOf(rules.rules(), *profile);
        const std::size_t index = std::size_t(id - int(AppsCommand::RemoveFirst));
        if (id < int(AppsCommand::RemoveFirst) || index >= apps.size()) return;
        const std::string app = apps[index];
        edit = [profile, app](appprofiles::AppRules& r) {
            return appprofiles::unbind(r, *profile, app);
        };
    }
    const auto done = rules.edit(edit);
    if (!done) return showRulesFailure(done.error());
    if (*done == appprofiles::Edit::TooMany) return showMessage({appprofiles::text::kTooManyApps});
    update();
    if (*done == appprofiles::Edit::Changed && m_apps.edited) m_apps.edited();
}

void ProfileDialog::rulesMoved(const std::string& from, const std::string& to) {
    if (!m_apps.rules || from.empty()) return;
    const auto done = m_apps.rules->edit([&](appprofiles::AppRules& r) {
        return to.empty() ? appprofiles::removeProfile(r, from)
                          : appprofiles::renameProfile(r, from, to);
    });
    if (!done) {
        // A rename may still be ending its edit: the box comes once it has.
        const Error error = done.error();
        QTimer::singleShot(0, this, [this, error] { showRulesFailure(error); });
    }
    if (m_apps.moved) m_apps.moved(from, to);
    update();
}

void ProfileDialog::showRulesFailure(const Error& error) {
    const QString text = qs(appprofiles::text::kRulesUnusable.in(m_lang))
                             .arg(QString::fromStdString(m_apps.rules->path().string()),
                                  QString::fromStdString(error.context));
    QMessageBox box(QMessageBox::NoIcon, qs(profiles::text::kCaption.in(m_lang)), text,
                    QMessageBox::Ok, this);
    box.exec();
}

QStringList ProfileDialog::appsLines() const {
    QStringList lines;
    if (!m_apps.rules) return lines;
    const appprofiles::AppRules& rules = m_apps.rules->rules();
    if (const auto profile = selectedText()) {
        const auto apps = appprofiles::appsOf(rules, *profile);
        lines << (apps.empty() ? qs(appprofiles::text::kNoApplications.in(m_lang))
                               : qs(appprofiles::text::kApplications.in(m_lang)).arg(joined(apps)));
        if (rules.defaultProfile == *profile) {
            lines << qs(appprofiles::text::kDefaultProfile.in(m_lang));
        }
    }
    const auto missing = appprofiles::missingProfiles(rules, m_store.rows());
    if (!missing.empty()) lines << qs(appprofiles::text::kInactive.in(m_lang)).arg(joined(missing));
    if (m_apps.gnomeWayland) lines << qs(appprofiles::text::kGnomeWayland.in(m_lang));
    return lines;
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
    if (m_apps.rules) {
        p.setFont(skin::textFont(layout::kAppsTextHeight));
        p.setPen(QColor(220, 220, 220));
        p.drawText(layout::kAppsRect, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                   appsLines().join(u'\n'));
    }
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
