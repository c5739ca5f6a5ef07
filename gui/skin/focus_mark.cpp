#include "skin/focus_mark.h"

#include <QPainter>
#include <QPen>

namespace tavrik::skin {

void drawFocusMark(QPainter& p, const QRect& r, int grow) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    const QRectF outer = QRectF(r).adjusted(-grow, -grow, grow + 1, grow + 1);
    p.setPen(QPen(kFocusColour, 2));
    p.drawRoundedRect(outer.adjusted(1, 1, -1, -1), 3, 3);
    p.setPen(QPen(kFocusInnerColour, 1));
    p.drawRoundedRect(outer.adjusted(2.5, 2.5, -2.5, -2.5), 2, 2);
    p.restore();
}

}  // namespace tavrik::skin
