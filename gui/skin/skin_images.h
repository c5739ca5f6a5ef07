#pragma once
// Loading and drawing the PNG images of one skin folder. Images are drawn opaquely at their
// natural size with the top-left corner at (x, y). Decoded images are kept between paints; a
// file whose modification time or size changed on disk is decoded again at its next use, and a
// file that disappeared is dropped. A missing or unreadable file draws nothing and is recorded.

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QSet>
#include <QString>
#include <QStringList>

#include "skin/skin_manifest.h"

class QPainter;
class QWidget;

namespace tavrik::skin {

class SkinImages {
public:
    explicit SkinImages(QString folder = {});

    // The skin folder (ends with '/'); changing it keeps the cache (keys are full paths).
    void setFolder(const QString& folder) { m_folder = folder; }
    const QString& folder() const { return m_folder; }

    // The decoded image, or a null image when the file is missing or unreadable.
    QImage image(const QString& fileName);
    // The image for a surface of the given device pixel ratio: above 1 the double-size file
    // ("name@2x.png", device pixel ratio 2) when the skin has it, else the plain one.
    QImage image(const QString& fileName, qreal devicePixelRatio);
    // The image's size, or an invalid size when it cannot be loaded.
    QSize size(const QString& fileName) { return image(fileName).size(); }

    // Copies the whole image opaquely onto the painter's surface with its top-left corner at
    // (x, y): no blending, no scaling beyond the surface's device pixel ratio (a scaled screen
    // gets the double-size image, so the size in window pixels stays the same). Returns false
    // (drawing nothing) when it cannot be loaded.
    bool draw(QPainter& painter, int x, int y, const QString& fileName);
    bool draw(QPainter& painter, QPoint at, const QString& fileName) {
        return draw(painter, at.x(), at.y(), fileName);
    }

    // Copies the part `source` of the image to `target` (the keyboard highlight picture).
    bool drawPart(QPainter& painter, QPoint target, const QRect& source, const QString& fileName);

    // File names that were asked for and could not be loaded, since the last clear.
    const QSet<QString>& missedFiles() const { return m_missed; }
    void clearMissedFiles() { m_missed.clear(); }
    // Every file name asked for so far; a window's test checks them against the manifest
    // (unlistedFiles), so that a file the skin does not provide fails a test.
    const QSet<QString>& requestedFiles() const { return m_requested; }
    QStringList unlistedFiles(SkinPart part) const;

    // Number of decodes done so far (a cache hit costs one file status check, not a decode).
    int decodeCount() const { return m_decodes; }

private:
    QImage load(const QString& fileName);

    struct Entry {
        QImage image;
        QDateTime modified;
        qint64 bytes = -1;
    };

    QString m_folder;
    QHash<QString, Entry> m_cache;
    QSet<QString> m_missed;
    QSet<QString> m_requested;
    int m_decodes = 0;
};

// Draws nothing; resizes the window to the image's size, its position kept. Returns false (and
// leaves the size) when the image cannot be loaded.
bool fitWindowToImage(QWidget& window, SkinImages& images, const QString& fileName);

}  // namespace tavrik::skin
