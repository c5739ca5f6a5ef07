#include "skin/window_dragger.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace tavrik::skin {

WindowDragger::WindowDragger(QWidget* window, std::function<bool(QPoint)> isControlAt)
    : QObject(window), m_window(window), m_isControlAt(std::move(isControlAt)) {
    window->installEventFilter(this);
}

bool WindowDragger::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_window) return false;
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        const QPoint p = me->position().toPoint();
        if (me->button() == Qt::LeftButton && !(m_isControlAt && m_isControlAt(p))) {
            m_pressed = true;
            m_systemMove = false;
            m_grabOffset = me->globalPosition().toPoint() - m_window->frameGeometry().topLeft();
        }
        return false;
    }
    if (type == QEvent::MouseMove) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (!m_pressed || !(me->buttons() & Qt::LeftButton)) return false;
        if (!m_systemMove) {
            QWindow* handle = m_window->windowHandle();
            m_systemMove = handle && handle->startSystemMove();
            if (m_systemMove) {
                m_pressed = false;  // the window system owns the drag until release
                return true;
            }
        }
        m_window->move(me->globalPosition().toPoint() - m_grabOffset);
        return true;
    }
    if (type == QEvent::MouseButtonRelease && m_pressed &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        m_pressed = false;
    }
    return false;
}

}  // namespace tavrik::skin
