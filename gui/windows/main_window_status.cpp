// The main window's desktop side: the connection state and the profile on the keyboard in the
// bottom bar, the no-permission notice with its fix, the tray's profiles, starting with the
// desktop session, and the help box rows that open the home page or the firmware updater.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QSignalBlocker>
#include <QUrl>

#include "appconfig/permission_notice.h"
#include "appconfig/update_check.h"
#include "build_info.h"
#include "host/qt/qt_text.h"
#include "host/transport_choice.h"
#include "mainwindow/desktop_texts.h"
#include "mainwindow/status_line.h"
#include "mainwindow/texts.h"
#include "skin/text_style.h"
#include "windows/app_profile_switcher.h"
#include "windows/autostart.h"
#include "windows/main_window.h"

namespace tavrik::app {
namespace {

using device::ConnectionState;

// The free stretch of the bottom bar between the profile strip and the buttons.
const QRect kStatusRect{316, 604, 474, 24};
constexpr int kStatusTextX = 334;
constexpr int kStatusTextY = 610;
constexpr int kStatusTextHeight = 15;
constexpr int kStatusDot = 9;
// The help box's extra row under its picture (x 830..991, rows of 25 from y 22).
const QRect kAutostartRow{830, 102, 162, 20};  // under the picture (y 22..101)
// Edits not yet sent: the status line's text and the Save button's dot.
const QColor kPendingColour(240, 170, 30);

QColor connectedColour(device::Transport transport) {
    switch (transport) {
        case device::Transport::Hid:
            return QColor(60, 200, 90);
        case device::Transport::Socket:
        case device::Transport::Emulated:
            break;
    }
    return QColor(0, 214, 224);
}

QColor stateColour(ConnectionState state, device::Transport transport) {
    switch (state) {
        case ConnectionState::Connected:
            return connectedColour(transport);
        case ConnectionState::NoPermission:
            return QColor(240, 170, 30);
        case ConnectionState::Absent:
        case ConnectionState::Failed:
            break;
    }
    return QColor(130, 130, 130);
}

// A check box drawn in box: a rounded frame, filled with the accent and a white tick when on.
void paintCheckBox(QPainter& p, const model::Rect& box, bool on) {
    const QRectF frame(box.left + 0.5, box.top + 0.5, box.right - box.left, box.bottom - box.top);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(on ? QColor(196, 40, 52) : QColor(150, 154, 165), 1));
    p.setBrush(on ? QColor(196, 40, 52) : QColor(28, 29, 33));
    p.drawRoundedRect(frame, 2, 2);
    if (on) {
        QPen tick(Qt::white, 1.6);
        tick.setCapStyle(Qt::RoundCap);
        tick.setJoinStyle(Qt::RoundJoin);
        p.setPen(tick);
        const double w = frame.width();
        const double h = frame.height();
        const QPointF points[] = {{frame.left() + 0.22 * w, frame.top() + 0.52 * h},
                                  {frame.left() + 0.42 * w, frame.top() + 0.72 * h},
                                  {frame.left() + 0.78 * w, frame.top() + 0.28 * h}};
        p.drawPolyline(points, 3);
    }
    p.restore();
}

// The README installed beside <prefix>/bin/ (the build tree mirrors that layout).
QString installedReadme(const QString& programFolder) {
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/doc/tavrik-87rev/README.md"));
}

}  // namespace

ConnectionState MainWindow::connectionState() const {
    return m_device ? m_device->state() : ConnectionState::Absent;
}

void MainWindow::paintStatusLine(QPainter& p) {
    const ConnectionState state = connectionState();
    const device::Transport transport =
        m_device ? m_device->transport() : transportFor(m_context.options);
    appconfig::Version firmware;
    if (m_device) {
        if (const auto v = m_device->session().firmwareVersion()) firmware = {(*v)[0], (*v)[1]};
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(stateColour(state, transport));
    p.drawEllipse(QRect(kStatusRect.left() + 4, kStatusRect.center().y() - kStatusDot / 2,
                        kStatusDot, kStatusDot));
    p.restore();
    const QColor colour =
        state == ConnectionState::NoPermission ? stateColour(state, transport) : Qt::white;
    const QString connection =
        qs(mainwindow::statusLineText(state, transport, firmware, m_context.language));
    drawText(p, connection, kStatusTextX, kStatusTextY, kStatusTextHeight, colour);
    const QFontMetrics metrics(skin::textFont(kStatusTextHeight));
    int x = kStatusTextX + metrics.horizontalAdvance(connection) + 3 * kStatusDot;
    // Edits not yet on the keyboard, or the confirmation that a Save reached it, after a gap.
    const mainwindow::EditMark mark = editMark();
    const QString markText = qs(mainwindow::editMarkText(mark, m_context.language));
    if (!markText.isEmpty() && x < kStatusRect.right()) {
        const QColor markColour =
            mark == mainwindow::EditMark::Pending ? kPendingColour : QColor(60, 200, 90);
        const QString shown = metrics.elidedText(markText, Qt::ElideRight, kStatusRect.right() - x);
        drawText(p, shown, x, kStatusTextY, kStatusTextHeight, markColour);
        x += metrics.horizontalAdvance(shown) + 3 * kStatusDot;
    }
    // The profile on the keyboard, and whether it was chosen automatically, after a gap.
    const QString profile = statusLineProfileText();
    if (profile.isEmpty()) return;
    const int room = kStatusRect.right() - x;
    if (room <= 0) return;
    drawText(p, metrics.elidedText(profile, Qt::ElideRight, room), x, kStatusTextY,
             kStatusTextHeight, QColor(200, 200, 200));
}

mainwindow::EditMark MainWindow::editMark() const {
    const bool pending = m_model && m_model->withLock([](const model::ConfigState& s) {
        return mainwindow::pendingEdits(s);
    });
    return m_saveConfirmation.mark(pending, mainwindow::SaveConfirmation::Clock::now());
}

void MainWindow::saveEnded(bool reachedKeyboard) {
    m_saveConfirmation.saveFinished(reachedKeyboard, mainwindow::SaveConfirmation::Clock::now());
    if (!m_saveConfirmationEnd) {
        m_saveConfirmationEnd = new QTimer(this);
        m_saveConfirmationEnd->setSingleShot(true);
        connect(m_saveConfirmationEnd, &QTimer::timeout, this, [this] { update(); });
    }
    if (reachedKeyboard) {
        m_saveConfirmationEnd->start(mainwindow::SaveConfirmation::kShown);
    } else {
        m_saveConfirmationEnd->stop();
    }
    update();
}

QString MainWindow::statusLineProfileText() const {
    return m_appProfiles ? m_appProfiles->statusText(m_context.language) : QString();
}

void MainWindow::addProfileActions(QMenu& menu) {
    // Listed afresh each time the menu opens: the profile folder changes behind the window.
    auto* group = new QActionGroup(&menu);
    group->setExclusive(false);
    QAction* end = menu.addSeparator();
    connect(&menu, &QMenu::aboutToShow, this, [this, &menu, group, end] {
        for (QAction* a : group->actions()) {
            menu.removeAction(a);
            delete a;
        }
        if (!m_appProfiles) return;
        const auto& active = m_appProfiles->planner().active();
        for (const std::string& name : m_appProfiles->profiles()) {
            auto* a = new QAction(QString::fromStdString(name), group);
            a->setCheckable(true);
            a->setChecked(active && active->name == name);
            connect(a, &QAction::triggered, this, [this, name] {
                if (m_appProfiles) m_appProfiles->chooseByHand(name);
            });
            menu.insertAction(end, a);
        }
    });
}

bool MainWindow::statusLineClicked(QPoint pos) {
    if (!kStatusRect.contains(pos) || connectionState() != ConnectionState::NoPermission) {
        return false;
    }
    showPermissionNotice();
    return true;
}

QString MainWindow::permissionNoticeText() const {
    const QString shipped = m_context.paths.shippedFile(qs(appconfig::kUdevRuleName));
    const auto fix = appconfig::permissionFix(shipped.toStdString(), [](const std::string& p) {
        return QFileInfo(QString::fromStdString(p)).isFile();
    });
    return qs(appconfig::permissionNotice(fix, m_context.language));
}

void MainWindow::showPermissionNotice() {
    // Several hidraw nodes arrive at once: one notice is enough.
    if (m_permissionBox && m_permissionBox->isVisible()) {
        m_permissionBox->raise();
        return;
    }
    const Language lang = m_context.language;
    auto* box =
        new QMessageBox(QMessageBox::Information, qs(mainwindow::text::kNoticeCaption.in(lang)),
                        permissionNoticeText(), QMessageBox::Ok, this);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    m_permissionBox = box;
    box->show();
}

void MainWindow::addAutostartAction(QMenu& menu) {
    QAction* item = menu.addAction(qs(mainwindow::text::kStartWithSession.in(m_context.language)));
    item->setCheckable(true);
    item->setChecked(autostartEnabled());
    connect(item, &QAction::toggled, this, [this](bool on) { setStartWithSession(on); });
    // The entry may change behind the tool's back (the help box, the user).
    connect(&menu, &QMenu::aboutToShow, item, [item] {
        const QSignalBlocker quiet(item);
        item->setChecked(autostartEnabled());
    });
}

void MainWindow::setStartWithSession(bool on) {
    QString error;
    if (!setAutostart(on, QCoreApplication::applicationFilePath(), &error)) {
        const Language lang = m_context.language;
        QMessageBox::warning(this, qs(mainwindow::text::kNoticeCaption.in(lang)),
                             qs(mainwindow::text::kAutostartFailed.in(lang)).arg(error));
    }
    update();
}

void MainWindow::paintAutostartRow(QPainter& p) {
    // The row continues the help box's picture: its rounded bottom is painted over, the row
    // ends in the same rounded border, with the same separator above it.
    const QColor panel(40, 42, 48);
    const QColor accent(196, 40, 52);
    const QColor edge(86, 90, 101);
    const QRectF row(kAutostartRow.left(), kAutostartRow.top() - 7, kAutostartRow.width(),
                     kAutostartRow.height() + 7);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(panel);
    p.drawRoundedRect(row, 5, 5);
    p.fillRect(QRectF(row.left(), row.top(), row.width(), 6), panel);
    p.setClipRect(row.adjusted(0, 2, 0, 1));
    p.setPen(QPen(accent, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(row.adjusted(0.5, -20.5, -0.5, -0.5), 5, 5);
    p.setClipping(false);
    p.setPen(QPen(edge, 1));
    const double lineY = row.top() + 4.5;
    p.drawLine(QPointF(row.left() + 14, lineY), QPointF(row.right() - 14, lineY));
    p.restore();
    namespace sf = mainwindow::surface;
    paintCheckBox(p, sf::kAutostartCheckBox, autostartEnabled());
    const model::Rect box = sf::kAutostartCaption;
    skin::drawCaption(p, QRect(QPoint(box.left, box.top), QPoint(box.right, box.bottom)),
                      qs(mainwindow::text::kStartWithSession.in(m_context.language)),
                      sf::kAutostartCaptionHeight, Qt::white, Qt::AlignLeft);
}

QString MainWindow::homePageShown() const {
    const QUrl url(QStringLiteral(TAVRIK_HOME_PAGE));
    if (!url.isEmpty() && !url.isLocalFile() && !url.host().isEmpty()) return url.host();
    return qs(mainwindow::text::kReadMe.in(m_context.language));
}

void MainWindow::openHomePage() {
    QUrl url(QStringLiteral(TAVRIK_HOME_PAGE));
    if (url.isEmpty()) {
        const QString readme = installedReadme(m_context.paths.programFolder);
        if (!QFileInfo(readme).isFile()) {
            tell(mainwindow::text::kNoticeCaption, mainwindow::text::kReadMeMissing, readme);
            return;
        }
        url = QUrl::fromLocalFile(readme);
    }
    QDesktopServices::openUrl(url);
}

void MainWindow::tell(const BiText& caption, const BiText& text, const QString& arg) {
    const Language lang = m_context.language;
    auto* box = new QMessageBox(QMessageBox::Information, qs(caption.in(lang)),
                                qs(text.in(lang)).arg(arg), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

bool MainWindow::updaterInstalled() {
    const QString updater = m_context.paths.updaterProgram();
    if (QFileInfo(updater).isExecutable()) return true;
    tell(appconfig::kUpdateCaption, mainwindow::text::kNoUpdater, QFileInfo(updater).fileName());
    return false;
}

}  // namespace tavrik::app
