#pragma once
// Dragging a borderless window from any spot that is no control: install on the window (an
// event filter on the window widget). When the left button was pressed on such a spot and the
// mouse then moves, the drag is handed to the window system (as if the caption had been
// grabbed); where the platform cannot do that, the window follows the mouse until release.

#include <QObject>
#include <QPoint>
#include <functional>

class QWidget;

namespace tavrik::skin {

class WindowDragger : public QObject {
    Q_OBJECT
public:
    // isControlAt(p) tells whether the client point p (window coordinates) belongs to a control
    // region; presses there never drag. Without it every spot of the window itself drags (child
    // widgets receive their own presses and never start a drag).
    explicit WindowDragger(QWidget* window, std::function<bool(QPoint)> isControlAt = {});

    bool dragging() const { return m_pressed; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    std::function<bool(QPoint)> m_isControlAt;
    bool m_pressed = false;
    bool m_systemMove = false;
    QPoint m_grabOffset;
};

}  // namespace tavrik::skin
