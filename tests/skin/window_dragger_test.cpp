#include "skin/window_dragger.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace tavrik::skin {
namespace {

void mouse(QWidget& w, QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
    const QPoint global = w.mapToGlobal(local);
    QMouseEvent e(type, local, global, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

// The offscreen platform has no system move, so the window follows the mouse itself.
TEST(WindowDraggerTest, DragsFromFreeSpotsOnly) {
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setGeometry(100, 100, 200, 100);
    window.show();
    WindowDragger dragger(&window, [](QPoint p) { return p.x() < 50; });

    const QPoint start = window.pos();
    mouse(window, QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton);
    mouse(window, QEvent::MouseMove, {60, 40}, Qt::LeftButton);
    mouse(window, QEvent::MouseButtonRelease, {60, 40}, Qt::NoButton);
    EXPECT_EQ(window.pos(), start);

    mouse(window, QEvent::MouseButtonPress, {120, 20}, Qt::LeftButton);
    mouse(window, QEvent::MouseMove, {150, 50}, Qt::LeftButton);
    EXPECT_EQ(window.pos(), start + QPoint(30, 30));
    mouse(window, QEvent::MouseButtonRelease, {120, 20}, Qt::NoButton);
    EXPECT_FALSE(dragger.dragging());
}

}  // namespace
}  // namespace tavrik::skin
