#pragma once
// The drawing routines of the generated skin: one dark theme (charcoal panels, crimson accents,
// cyan for the active state). Each routine paints a whole image of the size it is given.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>

namespace tavrik::skingen {

namespace theme {
inline const QColor kBase{24, 25, 29};
inline const QColor kPanel{40, 42, 48};
inline const QColor kPanelLight{58, 61, 69};
inline const QColor kEdge{86, 90, 101};
inline const QColor kAccent{196, 40, 52};
inline const QColor kAccentDark{102, 46, 47};
inline const QColor kActive{0, 214, 224};
inline const QColor kGlyph{222, 224, 230};
}  // namespace theme

// Paints the image named `name` (a file of the manifest) for the given language code, at the
// image's size. Returns false when the name has no artwork.
bool paintSkinImage(QImage& image, const QString& part, const QString& name, int languageCode);

// The application and tray icon.
QImage appIcon(int size);
// Paints the icon into the 64 x 64 square at the painter's origin (any device, also SVG).
void paintAppIcon(QPainter& p);

}  // namespace tavrik::skingen
