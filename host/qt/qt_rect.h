#pragma once
// Rectangles of core (inclusive left, top, right and bottom edges) as QRects.

#include <QRect>

namespace tavrik::app {

template <class EdgeRect>
QRect toQRect(const EdgeRect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

}  // namespace tavrik::app
