#include "skin/text_style.h"

#include <QFontMetricsF>
#include <QPainter>

namespace tavrik::skin {

QFont textFont(int pixelHeight) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelHeight);
    font.setWeight(static_cast<QFont::Weight>(kTextWeight));
    // The height is that of the character cell (ascent + descent), as for a window-system font
    // of that height; Qt sizes by the em, which for Arial is about a ninth smaller.
    const QFontMetricsF metrics(font);
    const qreal cell = metrics.ascent() + metrics.descent();
    if (cell > pixelHeight) {
        font.setPixelSize(qMax(1, qRound(pixelHeight * pixelHeight / cell)));
    }
    return font;
}

int fittingTextHeight(const QString& text, int width, int pixelHeight, int minHeight) {
    int height = pixelHeight;
    while (height > minHeight && QFontMetricsF(textFont(height)).horizontalAdvance(text) > width)
        --height;
    return height;
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

void drawCaption(QPainter& painter, const QRect& box, const QString& text, int pixelHeight,
                 QColor colour, Qt::Alignment align) {
    const int height = fittingTextHeight(text, box.width(), qMin(pixelHeight, box.height()));
    painter.save();
    painter.setFont(textFont(height));
    painter.setPen(colour);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(
        box, (align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter.restore();
}

}  // namespace tavrik::skin
