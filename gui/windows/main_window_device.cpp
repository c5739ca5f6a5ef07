// The main window's side of the device session: opening it, the messages it sends, the sliders
// that follow the image, the tray icon and the firmware update check.

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>
#include <utility>

#include "device/session_texts.h"
#include "host/qt/log_categories.h"
#include "host/qt/qt_text.h"
#include "mainwindow/job_messages.h"
#include "mainwindow/panel_layout.h"
#include "mainwindow/surface_layout.h"
#include "mainwindow/texts.h"
#include "settings/panel.h"
#include "settings/sliders.h"
#include "windows/app_profile_switcher.h"
#include "windows/main_window.h"

namespace tavrik::app {
namespace {

constexpr int kBalloonMs = 10000;

}  // namespace

device::ConnectionState MainWindow::openDeviceSession() {
    m_device = std::make_unique<DeviceLink>(m_context.options, m_context.device, *m_model);
    connect(m_device.get(), &DeviceLink::synced, this, &MainWindow::deviceSynced);
    connect(m_device.get(), &DeviceLink::jobFinished, this, &MainWindow::jobFinished);
    connect(m_device.get(), &DeviceLink::keyEvent, this, &MainWindow::deviceEvent);
    return m_device->open();
}

void MainWindow::hostCopyReplaced() {
    deviceSynced(device::SyncReason::HostCopyReplaced);
}

bool MainWindow::keyboardConnected() const {
    return m_device && m_device->connected();
}

void MainWindow::deviceSynced(device::SyncReason reason) {
    if (reason == device::SyncReason::HostCopyReplaced && m_inProfileWindow) {
        m_device->session().profileReplaced();
        return;
    }
    // The session has recomputed the changed-key flags and saved keymap.bin.
    m_view.clearHistory();  // the configuration was read or replaced: nothing to undo
    setSlidersFromImage();
    refresh();
    if (reason == device::SyncReason::KeyboardRead) {
        qCDebug(lcUi) << "window: keyboard read handled";
        whenPresented([this] { checkFirmwareUpdate(); });
    }
}

void MainWindow::jobFinished(device::Job job, const Status& status) {
    // A profile switch's failure is told in the status line, not in a box.
    const bool quiet = job == device::Job::Save && m_appProfiles && m_appProfiles->takeOwnSaveEnd();
    if (!status && !quiet) {
        qCDebug(lcDevice) << "device job:" << QString::fromStdString(status.error().context);
        whenPresented([this, job, status] { tellJobFailure(job, status); });
    }
    switch (job) {
        case device::Job::Save:
            setBusy(false);
            // A profile switch's own Save is no Save of the user's to confirm.
            if (!quiet) saveEnded(static_cast<bool>(status));
            break;
        case device::Job::FactoryReset:
            setBusy(false);
            setSlidersFromImage();
            break;
        case device::Job::Arrival:
            // A keyboard came that this user may not open: say how to fix it.
            if (connectionState() == device::ConnectionState::NoPermission) {
                whenPresented([this] { showPermissionNotice(); });
            }
            break;
        case device::Job::Open:
        case device::Job::StartupRead:
        case device::Job::ProfileRefresh:
        case device::Job::ReadCopy:
        case device::Job::Removal:
        case device::Job::Close:
        case device::Job::FactoryReadBack:
            break;
    }
    refresh();
}

// The one place where a failed device job becomes a message.
void MainWindow::tellJobFailure(device::Job job, const Status& status) {
    const auto notice = mainwindow::jobFailureNotice(job, status.error().kind);
    if (!notice) return;
    QString text = qs(notice->text, m_context.language);
    switch (notice->fill) {
        case mainwindow::NoticeFill::ErrorContext:
            text = text.arg(QString::fromStdString(status.error().context));
            break;
        case mainwindow::NoticeFill::UdevCommand:
            showPermissionNotice();  // the notice with its fix
            return;
        case mainwindow::NoticeFill::None:
            break;
    }
    tell(notice->caption, text);
}

void MainWindow::tell(const BiText& caption, const BiText& text) {
    tell(caption, qs(text, m_context.language));
}

void MainWindow::tell(const BiText& caption, const QString& text) {
    const Language lang = m_context.language;
    auto* box =
        new QMessageBox(QMessageBox::Information, qs(caption, lang), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

BitmapSlider* MainWindow::slider(settings::SliderId id) const {
    return m_sliders[settings::sliderIndex(id)];
}

void MainWindow::deviceEvent(std::uint8_t code) {
    const auto actions = m_model->withLock([](const model::ConfigState& s) {
        return std::make_unique<model::KeyActionTable>(s.actions);
    });
    keyassign::launchForCode(*actions, code, m_launcher);
    showKeyPress(code);
}

void MainWindow::createSliders() {
    // Placed with the panel's layout whenever they are shown (placeShownSliders).
    for (settings::SliderId id : settings::kSliders) {
        const settings::SliderRange& range = settings::sliderRange(id);
        auto* s = new BitmapSlider(static_cast<int>(id), this);
        connect(s, &BitmapSlider::moved, this, [this, s] { sliderMoved(s->controlId()); });
        m_sliders[settings::sliderIndex(id)] = s;
        s->setRange(range.min, range.max);
        s->setSingleStep(range.lineStep);
        s->setPageStep(range.lineStep);
        s->setValue(range.initial);
        s->setUp(m_skin);
        s->hide();
    }
}

QPoint MainWindow::sliderPlace(settings::SliderId id, const mainwindow::PanelLayout& layout) {
    namespace sf = mainwindow::surface;
    model::Point at{};
    switch (id) {
        case settings::SliderId::Brightness:
            at = sf::below(sf::kBrightnessSlider, layout.sliderTop);
            break;
        case settings::SliderId::Speed:
            at = sf::below(sf::kSpeedSlider, layout.sliderTop);
            break;
        case settings::SliderId::ReportRate:
            at = sf::below(sf::kReportSlider, layout.reportTop);
            break;
    }
    return QPoint(at.x, at.y);
}

void MainWindow::setSlidersFromImage() {
    const settings::SliderPositions positions = m_model->withLock(
        [](const model::ConfigState& s) { return settings::sliderPositionsFromImage(s.image); });
    for (settings::SliderId id : settings::kSliders) {
        slider(id)->setValue(positions[settings::sliderIndex(id)]);
    }
    storeShownSliders();
}

void MainWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    fitToScreen();
    qCDebug(lcUi) << "window: shown";
    storeShownSliders();
    followPreview();
}

void MainWindow::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    followPreview();  // hidden: the preview's timer stops
}

void MainWindow::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange) return;
    if (!isMinimized()) storeShownSliders();
    followPreview();
}

void MainWindow::refresh() {
    storeShownSliders();
    update();
    emit surfaceChanged();
}

void MainWindow::storeShownSliders() {
    const settings::PanelView& panel = m_view.state().panel;
    // Showing a slider may call back into the window (sliderMoved): no lock is held meanwhile.
    std::array<bool, settings::kSliders.size()> shown{};
    const std::uint8_t effect = m_model->withLock([&](const model::ConfigState& s) {
        for (settings::SliderId id : settings::kSliders) {
            shown[settings::sliderIndex(id)] = settings::sliderShown(s.image, panel, id);
        }
        return s.image[model::image::kEffect];
    });
    // Each slider sits where the layout puts it (moved only when that changed), and one that an
    // open list lies over is hidden with the texts beneath the list.
    const mainwindow::PanelLayout layout = mainwindow::panelLayout(panel, effect);
    const auto list = mainwindow::openListArea(panel, layout);
    settings::SliderPositions positions{};
    for (settings::SliderId id : settings::kSliders) {
        const std::size_t i = settings::sliderIndex(id);
        const QPoint at = sliderPlace(id, layout);
        if (shown[i] && at != m_sliderPlaces[i]) {
            m_sliderPlaces[i] = at;
            slider(id)->placeAt(at);
        }
        const model::Rect area{at.x(), at.y(), at.x() + mainwindow::surface::kSliderWidth - 1,
                               at.y() + mainwindow::surface::kSliderHeight - 1};
        if (list && mainwindow::overlaps(*list, area)) shown[i] = false;
        slider(id)->setVisible(shown[i]);
        positions[settings::sliderIndex(id)] = slider(id)->value();
    }
    // Only a window on screen shows its sliders (a hidden or minimised one stores on showing).
    if (!isVisible() || isMinimized()) return;
    // Colour-choice clamp, and every shown slider stores its position into its byte.
    m_model->withLock(
        [&](model::ConfigState& s) { settings::applyPanelPaint(s.image, panel, positions); });
}

void MainWindow::sliderMoved(int controlId) {
    const auto id = settings::sliderFromControlId(controlId);
    if (!id || !slider(*id)) return;
    const bool stored = m_model->withLock([&](model::ConfigState& s) {
        return m_sliderMemory.moved(s.image, *id, slider(*id)->value());
    });
    if (stored) refresh();
}

void MainWindow::setBusy(bool busy) {
    m_busy = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void MainWindow::createTrayIcon() {
    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setToolTip(qs(mainwindow::text::kTrayTip));
    m_trayMenu = std::make_unique<QMenu>();
    // The window from the menu too, whether or not a keyboard is there to configure.
    m_trayMenu->addAction(qs(mainwindow::text::kShowWindow, m_context.language), this,
                          [this] { showNormalAndRaise(); });
    m_trayMenu->addSeparator();
    addProfileActions(*m_trayMenu);
    addAutostartAction(*m_trayMenu);
    m_trayMenu->addAction(qs(mainwindow::text::kExit, m_context.language), this,
                          [this] { emit ended(); });
    m_tray->setContextMenu(m_trayMenu.get());
    connect(m_tray, &QSystemTrayIcon::activated, this, &MainWindow::trayActivated);
    m_tray->show();
}

void MainWindow::trayActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason != QSystemTrayIcon::DoubleClick) return;
    if (keyboardConnected()) {
        showNormalAndRaise();
    } else {
        QMetaObject::invokeMethod(this, &MainWindow::showNoKeyboardBalloon, Qt::QueuedConnection);
    }
}

void MainWindow::showNoKeyboardBalloon() {
    QString title = qs(mainwindow::text::kNoKeyboardBalloonTitle);
    QString text = qs(mainwindow::text::kNoKeyboardBalloon);
    if (connectionState() == device::ConnectionState::NoPermission) {
        title = qs(mainwindow::text::kNoticeCaption, m_context.language);
        text = permissionNoticeText();
    }
    if (m_tray && QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray->showMessage(title, text, QSystemTrayIcon::Information, kBalloonMs);
    } else {
        QMessageBox::information(this, title, text);
    }
}

void MainWindow::checkFirmwareUpdate() {
    // A read that ends while the question is open asks again once it has been answered: one
    // box after the other, never two at once.
    if (m_askingUpdate) {
        m_askUpdateAgain = true;
        return;
    }
    m_askingUpdate = true;
    do {
        m_askUpdateAgain = false;
        askFirmwareUpdate();
    } while (m_askUpdateAgain);
    m_askingUpdate = false;
}

void MainWindow::askFirmwareUpdate() {
    const auto firmware = m_device->session().firmwareVersion();
    if (!firmware) return;  // the version was not read: never offer to flash a silent keyboard
    if (!appconfig::updateOffered(m_packageVersion, {(*firmware)[0], (*firmware)[1]})) return;
    const Language lang = m_context.language;
    const auto answer = QMessageBox::question(
        this, qs(appconfig::kUpdateCaption, lang), qs(appconfig::kUpdateQuestion, lang),
        QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
    if (answer == QMessageBox::Ok) startUpdater();
}

void MainWindow::startUpdater() {
    if (!updaterInstalled()) return;
    const QString program = m_context.paths.updaterProgram();
    if (!QProcess::startDetached(program, {})) qCWarning(lcLaunch) << "cannot start" << program;
}

}  // namespace tavrik::app
