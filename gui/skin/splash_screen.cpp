#include "skin/splash_screen.h"

#include <QPainter>
#include <QTimerEvent>

#include "skin/skin_paths.h"

namespace tavrik::skin {

SplashScreen::SplashScreen(const QString& programFolder, int languageCode, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog) {
    setModal(true);
    m_image = QImage(
        skinPath(programFolder, languageCode, SkinPart::Main, QStringLiteral("SplashScreen.png")));
    if (!m_image.isNull()) {
        m_image = m_image.convertToFormat(QImage::Format_RGB32);
        setFixedSize(m_image.size());
    }
}

void SplashScreen::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_timer.start(kTickMs, Qt::PreciseTimer, this);
}

void SplashScreen::paintEvent(QPaintEvent*) {
    if (m_image.isNull()) return;
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, m_image);
}

void SplashScreen::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_timer.timerId()) {
        QDialog::timerEvent(event);
        return;
    }
    if (m_ticks > kLastQuietTick) accept();
    ++m_ticks;
}

void SplashScreen::hideEvent(QHideEvent* event) {
    m_timer.stop();
    QDialog::hideEvent(event);
}

}  // namespace tavrik::skin
