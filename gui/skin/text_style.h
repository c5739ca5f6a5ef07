#pragma once
// The common text style of the skinned windows: "Arial" (Liberation Sans on Linux) of a given
// cell height in pixels, weight 300, drawn with a transparent background, white unless a colour is
// given. A text drawn at (x, y) has its top-left corner there.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

namespace tavrik::skin {

inline constexpr int kDefaultTextHeight = 14;
inline constexpr int kTextWeight = 300;
inline constexpr int kMinTextHeight = 9;  // still legible

// "Arial" whose character cell (ascent + descent) is the given height in pixels, weight 300.
QFont textFont(int pixelHeight = kDefaultTextHeight);

// The largest height from `pixelHeight` down to `minHeight` at which `text` is at most `width`
// pixels wide (minHeight when none is).
int fittingTextHeight(const QString& text, int width, int pixelHeight = kDefaultTextHeight,
                      int minHeight = kMinTextHeight);

// Draws `text` with its top-left corner at (x, y), unclipped, on a transparent background.
void drawText(QPainter& painter, int x, int y, const QString& text,
              int pixelHeight = kDefaultTextHeight, QColor colour = Qt::white);

// A control's caption: drawn inside `box`, centred unless `align` says otherwise (vertically
// always centred), at the largest height up to `pixelHeight` at which it fits the box's width.
void drawCaption(QPainter& painter, const QRect& box, const QString& text, int pixelHeight,
                 QColor colour = Qt::white, Qt::Alignment align = Qt::AlignHCenter);

}  // namespace tavrik::skin
