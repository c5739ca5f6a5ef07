// The main window's side of the device session: opening it, the messages it sends, the sliders
// that follow the image, the tray icon and the firmware update check.

#include <QApplication>
#include <QDebug>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>

#include "common/app_event.h"
#include "mainwindow/texts.h"
#include "windows/main_window.h"

namespace tavrik::app {
namespace {

constexpr int kNoKeyboardBalloon = 15;
constexpr int kBalloonMs = 10000;

}  // namespace

void CVediVezazivaDlg::openDeviceSession() {
    // Device session: command channel with the start-up read on the device worker, event channel
    // with its reader; arrival and removal notices.
}

bool CVediVezazivaDlg::keyboardConnected() const {
    return false;
}

void CVediVezazivaDlg::deviceSynced(long lParam) {
    setSlidersFromImage();
    m_model->withLock([](model::ConfigState& s) { model::recomputeChangedKeys(s); });
    if (Status s = m_model->save(); !s) {
        qDebug() << "keymap.bin:" << QString::fromStdString(s.error().context);
    }
    update();
    if (lParam == 0) checkFirmwareUpdate();
}

void CVediVezazivaDlg::createSliders() {
    struct SliderSetup {
        QPointer<QSlider>* slider;
        int id;
        int max;
        int position;
        QPoint at;
    };
    const SliderSetup setups[] = {{&m_brightnessSlider, kBrightnessSliderId, 50, 1, {28, 260}},
                                  {&m_speedSlider, kSpeedSliderId, 9, 0, {28, 303}},
                                  {&m_reportRateSlider, kReportRateSliderId, 3, 1, {28, 530}}};
    for (const SliderSetup& s : setups) {
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setRange(0, s.max);
        slider->setSingleStep(1);
        slider->setPageStep(1);
        slider->setValue(s.position);
        slider->move(s.at);
        slider->hide();
        const int id = s.id;
        connect(slider, &QSlider::valueChanged, this, [this, id] {
            QCoreApplication::postEvent(this, new AppEvent(msg::WM_SLIDERMOVED, id));
        });
        *s.slider = slider;
    }
}

void CVediVezazivaDlg::setSlidersFromImage() {
    const auto [speed, brightness, rate] = m_model->withLock([](const model::ConfigState& s) {
        return std::array<int, 3>{s.image[model::image::kSpeed], s.image[model::image::kBrightness],
                                  s.image[model::image::kReportRate]};
    });
    m_speedSlider->setValue(speed);
    m_brightnessSlider->setValue(brightness);
    m_reportRateSlider->setValue(rate);
}

void CVediVezazivaDlg::sliderMoved(int id) {
    QSlider* slider = nullptr;
    std::size_t offset = 0;
    std::size_t stored = 0;
    switch (id) {
        case kSpeedSliderId:
            slider = m_speedSlider;
            offset = model::image::kSpeed;
            stored = 0;
            break;
        case kReportRateSliderId:
            slider = m_reportRateSlider;
            offset = model::image::kReportRate;
            stored = 1;
            break;
        case kBrightnessSliderId:
            slider = m_brightnessSlider;
            offset = model::image::kBrightness;
            stored = 2;
            break;
        default:
            return;
    }
    const int pos = slider->value();
    if (pos == m_storedSliderPositions[stored]) return;
    m_storedSliderPositions[stored] = pos;
    setImageByte(offset, static_cast<std::uint8_t>(pos));
    update();
}

void CVediVezazivaDlg::setImageByte(std::size_t offset, std::uint8_t value) {
    m_model->withLock([&](model::ConfigState& s) { s.image[offset] = value; });
}

void CVediVezazivaDlg::setBusy(bool busy) {
    m_busy = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void CVediVezazivaDlg::createTrayIcon() {
    m_tray = new QSystemTrayIcon(this);
    QIcon icon = windowIcon();
    m_tray->setIcon(icon);
    m_tray->setToolTip(QString::fromUtf8(mainwindow::text::kTrayTip));
    m_trayMenu = std::make_unique<QMenu>();
    m_trayMenu->addAction(QString::fromUtf8(mainwindow::text::kExit.in(m_context.language)), this,
                          [] { QCoreApplication::exit(0); });
    m_tray->setContextMenu(m_trayMenu.get());
    connect(m_tray, &QSystemTrayIcon::activated, this, &CVediVezazivaDlg::trayActivated);
    m_tray->show();
}

void CVediVezazivaDlg::trayActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason != QSystemTrayIcon::DoubleClick) return;
    if (keyboardConnected()) {
        showNormalAndRaise();
    } else {
        QCoreApplication::postEvent(this, new AppEvent(msg::WM_TRAYBALLOON, kNoKeyboardBalloon));
    }
}

void CVediVezazivaDlg::showNoKeyboardBalloon() {
    const QString title = QString::fromUtf8(mainwindow::text::kNoKeyboardBalloonTitle);
    const QString text = QString::fromUtf8(mainwindow::text::kNoKeyboardBalloon);
    if (m_tray && QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray->showMessage(title, text, QSystemTrayIcon::Information, kBalloonMs);
    } else {
        QMessageBox::information(this, title, text);
    }
}

void CVediVezazivaDlg::checkFirmwareUpdate() {
    if (!mainwindow::updateOffered(m_packageVersion, m_firmwareVersion)) return;
    const Language lang = m_context.language;
    const auto answer =
        QMessageBox::question(this, QString::fromUtf8(mainwindow::kUpdateCaption.in(lang)),
                              QString::fromUtf8(mainwindow::kUpdateQuestion.in(lang)),
                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
    if (answer == QMessageBox::Ok) startUpdater();
}

void CVediVezazivaDlg::startUpdater() {
    const QString program = m_context.paths.updaterProgram();
    if (!QProcess::startDetached(program, {})) qDebug() << "cannot start" << program;
}

}  // namespace tavrik::app
