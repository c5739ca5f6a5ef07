#pragma once
// The common text style of the skinned windows: "Arial" (Liberation Sans on Linux) of a given
// cell height in pixels, weight 300, drawn with a transparent background, white unless stated. A
// text drawn at (x, y) has its top-left corner there.

#include <QColor>
#include <QFont>
#include <QString>

class QPainter;

namespace tavrik::skin {

inline constexpr int kDefaultTextHeight = 14;
inline constexpr int kTextWeight = 300;

// "Arial" whose character cell (ascent + descent) is the given height in pixels, weight 300.
QFont textFont(int pixelHeight = kDefaultTextHeight);

// Draws `text` with its top-left corner at (x, y), unclipped, on a transparent background.
void drawText(QPainter& painter, int x, int y, const QString& text,
              int pixelHeight = kDefaultTextHeight, QColor colour = Qt::white);

}  // namespace tavrik::skin
