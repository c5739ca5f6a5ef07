#include "controls/image_button.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "skin/focus_mark.h"

namespace tavrik::app {

ImageButton::ImageButton(int id, QWidget* parent) : QWidget(parent), m_id(id) {
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::ArrowCursor);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::TabFocus);
}

void ImageButton::click() {
    if (m_toggle) setChecked(!m_checked);
    emit command(m_id);
}

void ImageButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            click();
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void ImageButton::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void ImageButton::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void ImageButton::setStrip(const QImage& strip, int frames) {
    m_strip = strip;
    m_frames = std::max(1, frames);
    m_vertical = strip.height() > strip.width();
    m_frameSize = m_vertical ? QSize(strip.width(), strip.height() / m_frames)
                             : QSize(strip.width() / m_frames, strip.height());
    resize(m_frameSize);
    setFrame(m_checked ? 2 : 0);
}

void ImageButton::setChecked(bool checked) {
    m_checked = checked;
    setFrame(checked ? 2 : 0);
}

// Frames beyond the strip are drawn as its last frame, never read past its end.
void ImageButton::setFrame(int frame) {
    if (frame == m_frame) return;
    m_frame = frame;
    update();
}

void ImageButton::paintEvent(QPaintEvent*) {
    if (m_strip.isNull()) return;
    const int f = std::min(m_frame, m_frames - 1);
    const QPoint origin =
        m_vertical ? QPoint(0, f * m_frameSize.height()) : QPoint(f * m_frameSize.width(), 0);
    QPainter p(this);
    p.drawImage(QPoint(0, 0), m_strip, QRect(origin, m_frameSize));
    if (hasFocus()) skin::drawFocusMark(p, rect().adjusted(2, 2, -3, -3));
}

void ImageButton::enterEvent(QEnterEvent* event) {
    setFrame(m_checked ? 2 : (m_frames > 1 ? 1 : 0));
    QWidget::enterEvent(event);
}

void ImageButton::leaveEvent(QEvent* event) {
    setFrame(m_frames == 1 ? 0 : (m_checked ? 2 : 0));
    QWidget::leaveEvent(event);
}

void ImageButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        setFrame(!m_checked && m_frames > 2 ? 2 : 0);
        if (m_toggle) m_checked = !m_checked;
        if (m_notifyOnPress) emit command(m_id);
    }
    forward(event);
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (!m_checked) setFrame(m_frames > 1 ? 1 : 0);
        if (!m_notifyOnPress) emit command(m_id);
    }
    forward(event);
}

void ImageButton::mouseMoveEvent(QMouseEvent* event) {
    forward(event);
}

void ImageButton::forward(QMouseEvent* event) {
    if (!m_forwardMouse || !parentWidget()) return;
    const QPointF local = mapToParent(event->position());
    QMouseEvent copy(event->type(), local, event->globalPosition(), event->button(),
                     event->buttons(), event->modifiers());
    QCoreApplication::sendEvent(parentWidget(), &copy);
}

}  // namespace tavrik::app
