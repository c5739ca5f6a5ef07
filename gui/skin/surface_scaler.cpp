#include "skin/surface_scaler.h"

#include <QMouseEvent>
#include <QWidget>

#include "mainwindow/surface_fit.h"

namespace tavrik::skin {

SurfaceScaler::SurfaceScaler(QWidget* widget) : QObject(widget), m_widget(widget) {
    widget->installEventFilter(this);
}

bool SurfaceScaler::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_widget || m_resending || m_scale == 1.0) return false;
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove)
        return false;
    const auto* e = static_cast<QMouseEvent*>(event);
    const QPoint window = e->position().toPoint();
    const mainwindow::FitPoint s = mainwindow::toSurface({window.x(), window.y()}, m_scale);
    const QPointF surface(s.x, s.y);
    QMouseEvent scaled(e->type(), surface, surface, e->globalPosition(), e->button(), e->buttons(),
                       e->modifiers(), e->pointingDevice());
    scaled.setTimestamp(e->timestamp());
    m_resending = true;
    QCoreApplication::sendEvent(m_widget, &scaled);
    m_resending = false;
    event->setAccepted(scaled.isAccepted());
    return true;
}

}  // namespace tavrik::skin
