#include "skin/text_style.h"

#include <QPainter>

namespace tavrik::skin {

QFont textFont(int pixelHeight) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelHeight);
    font.setWeight(static_cast<QFont::Weight>(kTextWeight));
    return font;
}

void drawText(QPainter& painter, int x, int y, const QString& text, int pixelHeight,
              QColor colour) {
    painter.save();
    painter.setFont(textFont(pixelHeight));
    painter.setPen(colour);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(QRect(x, y, 4096, 4096), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     text);
    painter.restore();
}

}  // namespace tavrik::skin
