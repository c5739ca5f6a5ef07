#pragma once
// The keyboard focus mark of the skinned windows: a rounded outline in the skin's accent red
// with a dark inner line, so that it shows on the dark panels, on lit keys and on white text.

#include <QColor>
#include <QRect>

class QPainter;

namespace tavrik::skin {

inline const QColor kFocusColour{235, 70, 70};
inline const QColor kFocusInnerColour{20, 20, 20};

// Draws the mark around `r` (inclusive widget pixels), outside it by `grow` pixels.
void drawFocusMark(QPainter& p, const QRect& r, int grow = 2);

}  // namespace tavrik::skin
