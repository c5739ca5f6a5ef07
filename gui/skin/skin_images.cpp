#include "skin/skin_images.h"

#include <QFileInfo>
#include <QPainter>
#include <QWidget>

namespace tavrik::skin {

SkinImages::SkinImages(QString folder) : m_folder(std::move(folder)) {}

QImage SkinImages::image(const QString& fileName) {
    m_requested.insert(fileName);
    return load(fileName);
}

QImage SkinImages::image(const QString& fileName, qreal devicePixelRatio) {
    if (devicePixelRatio > 1.0) {
        const QString twice = QString::fromStdString(doubleSizeName(fileName.toStdString()));
        if (QFileInfo::exists(m_folder + twice)) {
            QImage img = load(twice);
            if (!img.isNull()) {
                m_requested.insert(fileName);
                img.setDevicePixelRatio(2.0);
                return img;
            }
            m_missed.remove(twice);
        }
    }
    return image(fileName);
}

QImage SkinImages::load(const QString& fileName) {
    const QString path = m_folder + fileName;
    const QFileInfo info(path);
    if (!info.exists()) {
        m_cache.remove(path);
        m_missed.insert(fileName);
        return {};
    }
    const QDateTime modified = info.lastModified();
    const qint64 bytes = info.size();
    auto it = m_cache.find(path);
    if (it != m_cache.end() && it->modified == modified && it->bytes == bytes) return it->image;

    QImage decoded(path);
    ++m_decodes;
    if (decoded.isNull()) {
        m_cache.remove(path);
        m_missed.insert(fileName);
        return {};
    }
    // One pixel format for every image so that opaque copies need no conversion at paint time.
    decoded = decoded.convertToFormat(QImage::Format_RGB32);
    m_cache.insert(path, Entry{decoded, modified, bytes});
    return decoded;
}

namespace {
qreal ratioOf(const QPainter& painter) {
    return painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
}
}  // namespace

bool SkinImages::draw(QPainter& painter, int x, int y, const QString& fileName) {
    const QImage img = image(fileName, ratioOf(painter));
    if (img.isNull()) return false;
    const auto mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(x, y, img);
    painter.setCompositionMode(mode);
    return true;
}

bool SkinImages::drawPart(QPainter& painter, QPoint target, const QRect& source,
                          const QString& fileName) {
    const QImage img = image(fileName, ratioOf(painter));
    if (img.isNull()) return false;
    const auto mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    // The source is given in window pixels; a double-size image has twice as many.
    const qreal r = img.devicePixelRatio();
    const QRectF from(source.x() * r, source.y() * r, source.width() * r, source.height() * r);
    painter.drawImage(QRectF(target, QSizeF(source.size())), img, from);
    painter.setCompositionMode(mode);
    return true;
}

QStringList SkinImages::unlistedFiles(SkinPart part) const {
    QStringList unlisted;
    for (const QString& name : m_requested) {
        if (!findSkinImage(part, name.toStdString())) unlisted.append(name);
    }
    unlisted.sort();
    return unlisted;
}

bool fitWindowToImage(QWidget& window, SkinImages& images, const QString& fileName) {
    const QSize size = images.size(fileName);
    if (size.isEmpty()) return false;  // a null image has the valid size 0 x 0
    window.resize(size);
    return true;
}

}  // namespace tavrik::skin
