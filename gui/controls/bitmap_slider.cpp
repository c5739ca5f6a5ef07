#include "controls/bitmap_slider.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "host/qt/qt_text.h"
#include "mainwindow/panel_scene.h"
#include "mainwindow/surface_fit.h"
#include "skin/focus_mark.h"
#include "skin/skin_images.h"
#include "skin/skin_manifest.h"
#include "skin/surface_scaler.h"

namespace tavrik::app {
namespace {

constexpr int kHalfThumb = skin::kThumbWidth / 2;

}  // namespace

BitmapSlider::BitmapSlider(int controlId, QWidget* parent)
    : QSlider(Qt::Horizontal, parent), m_controlId(controlId) {
    setSingleStep(1);
    setPageStep(1);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    m_scaler = new skin::SurfaceScaler(this);
    connect(this, &QAbstractSlider::valueChanged, this, [this] {
        update();
        report();
    });
}

void BitmapSlider::setUp(skin::SkinImages& images) {
    m_bar = images.image(qs(skin::kSliderBar));
    m_channel = images.image(qs(skin::kSliderChannel));
    m_thumb = images.image(qs(skin::kSliderThumb));
    if (!m_bar.isNull()) {
        m_surfaceSize = m_bar.size();
        const mainwindow::FitSize scaled =
            mainwindow::scaledSurface({m_bar.width(), m_bar.height()}, m_scale);
        resize(scaled.width, scaled.height);
    }
    update();
}

void BitmapSlider::placeAt(QPoint surfacePoint) {
    m_surfacePoint = surfacePoint;
    const mainwindow::FitSize at =
        mainwindow::scaledSurface({surfacePoint.x(), surfacePoint.y()}, m_scale);
    move(at.width, at.height);
}

void BitmapSlider::setSurfaceScale(double scale) {
    if (scale == m_scale) return;
    if (!m_surfaceSize.isValid()) m_surfaceSize = size();
    m_scale = scale;
    m_scaler->setScale(scale);
    const mainwindow::FitSize scaled =
        mainwindow::scaledSurface({m_surfaceSize.width(), m_surfaceSize.height()}, scale);
    resize(scaled.width, scaled.height);
    placeAt(m_surfacePoint);
    update();
}

QSize BitmapSlider::surfaceSize() const {
    return m_scale == 1.0 || !m_surfaceSize.isValid() ? size() : m_surfaceSize;
}

int BitmapSlider::channelLeft() const {
    return kHalfThumb;
}
int BitmapSlider::channelRight() const {
    return std::max(kHalfThumb, surfaceSize().width() - 1 - kHalfThumb);
}

int BitmapSlider::thumbCentre(int v) const {
    // The panel's tick marks are placed by the same rule.
    return mainwindow::sliderThumbCentre(0, surfaceSize().width(), skin::kThumbWidth,
                                         maximum() - minimum(), v - minimum());
}

QRect BitmapSlider::thumbRect() const {
    const int left = thumbCentre(value()) - kHalfThumb;
    const int top = (surfaceSize().height() - skin::kThumbHeight) / 2;
    return {left, top, skin::kThumbWidth, skin::kThumbHeight};
}

int BitmapSlider::positionForX(int x) const {
    const int d = channelRight() - channelLeft();
    const int n = (x - channelLeft()) * (maximum() - minimum());
    if (d <= 0 || n <= 0) return minimum();
    return std::min(maximum(), minimum() + (2 * n + d) / (2 * d));
}

void BitmapSlider::report() {
    const QRect t = thumbRect();
    m_reported = QPoint(t.left() - kReportedXOffset, t.top());
    emit moved(value());
}

void BitmapSlider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (m_scale != 1.0) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.scale(m_scale, m_scale);
    }
    if (!m_bar.isNull()) p.drawImage(0, 0, m_bar);
    const QRect t = thumbRect();
    if (!m_channel.isNull()) {
        p.drawImage(QPoint(0, 0), m_channel, QRect(0, 0, t.center().x() + 1, m_channel.height()));
    }
    if (!m_thumb.isNull()) {
        const int frame = m_pressed ? 2 : (m_hover ? 1 : 0);
        const int frames = std::max(1, m_thumb.width() / skin::kThumbWidth);
        const QRect source(std::min(frame, frames - 1) * skin::kThumbWidth, 0, skin::kThumbWidth,
                           skin::kThumbHeight);
        p.drawImage(t.topLeft(), m_thumb, source);
    }
    if (hasFocus()) skin::drawFocusMark(p, rect().adjusted(2, 2, -3, -3));
}

void BitmapSlider::focusInEvent(QFocusEvent* event) {
    update();
    QSlider::focusInEvent(event);
}

void BitmapSlider::focusOutEvent(QFocusEvent* event) {
    update();
    QSlider::focusOutEvent(event);
}

void BitmapSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_pressed = true;
    setValue(positionForX(event->position().toPoint().x()));
    update();
    event->accept();
}

void BitmapSlider::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressed && (event->buttons() & Qt::LeftButton)) {
        setValue(positionForX(event->position().toPoint().x()));
    }
    report();
    event->accept();
}

void BitmapSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = false;
        update();
    }
    event->accept();
}

void BitmapSlider::wheelEvent(QWheelEvent* event) {
    event->accept();
}

void BitmapSlider::enterEvent(QEnterEvent* event) {
    m_hover = true;
    update();
    QSlider::enterEvent(event);
}

void BitmapSlider::leaveEvent(QEvent* event) {
    m_hover = false;
    update();
    QSlider::leaveEvent(event);
}

void BitmapSlider::showEvent(QShowEvent* event) {
    QSlider::showEvent(event);
    report();
}

}  // namespace tavrik::app
