#include "windows/lit_keys.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/qt/qt_text.h"
#include "model/keycap.h"
#include "settings/key_light.h"

namespace tavrik::app {
namespace {

constexpr int kLabelPixels = 11;
constexpr int kSmallLabelPixels = 9;
constexpr double kRing = 2;  // width of the rim ring a ringed cap leaves

QFont labelFont(int pixels) {
    // The skin generator's label font.
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(true);
    return f;
}

QRectF boxAt(const model::BoxF& b, QPointF origin) {
    return QRectF(b.left + origin.x(), b.top + origin.y(), b.width, b.height);
}

QColor colourOf(settings::Rgb c) {
    return QColor(c.r, c.g, c.b);
}

// The alpha channel of an image of premultiplied white.
std::vector<std::uint8_t> alphaOf(const QImage& img) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(img.width()) *
                                  static_cast<std::size_t>(img.height()));
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            out[static_cast<std::size_t>(y) * static_cast<std::size_t>(img.width()) +
                static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(qAlpha(row[x]));
        }
    }
    return out;
}

inline std::uint32_t mixChannel(std::uint32_t under, std::uint32_t over, std::uint32_t a) {
    return (under * (255 - a) + over * a + 127) / 255;
}

inline QRgb mixPixel(QRgb under, settings::Rgb over, std::uint32_t a) {
    if (a == 0) return under;
    return qRgb(static_cast<int>(mixChannel(static_cast<std::uint32_t>(qRed(under)), over.r, a)),
                static_cast<int>(mixChannel(static_cast<std::uint32_t>(qGreen(under)), over.g, a)),
                static_cast<int>(mixChannel(static_cast<std::uint32_t>(qBlue(under)), over.b, a)));
}

}  // namespace

LitKeyPainter::LitKeyPainter()
    : m_label(labelFont(kLabelPixels)), m_smallLabel(labelFont(kSmallLabelPixels)) {}

void LitKeyPainter::paintKey(QPainter& p, QPoint origin, int slot, settings::Rgb light,
                             bool ringed) {
    if (light == settings::Rgb{}) return;
    const model::KeySlot& s = model::slot(slot);
    const model::Keycap k = model::keycap(s);
    const settings::LitCap cap = settings::litCap(light);
    p.setPen(Qt::NoPen);
    QRectF face = boxAt(k.face, origin);
    if (ringed) {
        face.adjust(kRing, kRing, -kRing, -kRing);
    } else {
        p.setBrush(colourOf(cap.rim));
        p.drawRoundedRect(boxAt(k.cap, origin), k.capRadius, k.capRadius);
    }
    p.setBrush(colourOf(cap.face));
    p.drawRoundedRect(face, k.faceRadius, k.faceRadius);
    p.setFont(k.labelPixels == kSmallLabelPixels ? m_smallLabel : m_label);
    p.setPen(colourOf(cap.label));
    p.drawText(boxAt(k.label, origin), Qt::AlignCenter, qs(s.label));
}

void LitKeyPainter::buildMasks(qreal ratio, const QImage& unlit) {
    Masks m;
    m.ratio = ratio;
    m.unlitKey = unlit.cacheKey();
    m.area = (QSizeF(unlit.size()) / unlit.devicePixelRatio()).toSize();
    const QSize pixels = (QSizeF(m.area) * ratio).toSize();
    const auto draw = [&](auto&& paint) {
        QImage img(pixels, QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(ratio);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        for (int slot = 0; slot < model::kSlotCount; ++slot) {
            if (model::slot(slot).drawn()) paint(p, slot, model::keycap(model::slot(slot)));
        }
        p.end();
        return alphaOf(img);
    };
    const QPointF at(0, 0);
    const auto cap = draw([&](QPainter& p, int, const model::Keycap& k) {
        p.drawRoundedRect(boxAt(k.cap, at), k.capRadius, k.capRadius);
    });
    const auto face = draw([&](QPainter& p, int, const model::Keycap& k) {
        p.drawRoundedRect(boxAt(k.face, at), k.faceRadius, k.faceRadius);
    });
    const auto label = draw([&](QPainter& p, int slot, const model::Keycap& k) {
        p.setPen(Qt::white);
        p.setFont(k.labelPixels == kSmallLabelPixels ? m_smallLabel : m_label);
        p.drawText(boxAt(k.label, at), Qt::AlignCenter, qs(model::slot(slot).label));
    });
    m.caps.resize(model::kSlotCount);
    const QRect all(QPoint(0, 0), pixels);
    const auto width = static_cast<std::size_t>(pixels.width());
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
        if (!model::slot(slot).drawn()) continue;
        const model::Rect& r = model::slot(slot).rect;
        const QRectF box(QPointF(r.left - 0.5, r.top - 0.5), QSizeF(r.width() + 2, r.height() + 2));
        Cap& c = m.caps[static_cast<std::size_t>(slot)];
        c.box = QRect(QPoint(static_cast<int>(std::floor(box.left() * ratio)),
                             static_cast<int>(std::floor(box.top() * ratio))),
                      QPoint(static_cast<int>(std::ceil(box.right() * ratio)),
                             static_cast<int>(std::ceil(box.bottom() * ratio)))) &
                all;
        for (int y = c.box.top(); y <= c.box.bottom(); ++y) {
            Run run;
            const auto flush = [&] {
                if (run.length > 0) c.runs.push_back(run);
                run.length = 0;
            };
            for (int x = c.box.left(); x <= c.box.right(); ++x) {
                const std::size_t i =
                    static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x);
                const std::uint8_t ca = cap[i], fa = face[i], la = label[i];
                const bool onFace = la == 0 && fa == 255;
                const bool onRim = la == 0 && ca == 255 && fa == 0;
                if ((onFace || onRim) && run.length > 0 && run.face == onFace &&
                    run.x + run.length == x) {
                    ++run.length;
                    continue;
                }
                flush();
                if (onFace || onRim) {
                    run = {y, x, 1, onFace};
                } else if (ca != 0) {
                    c.edges.push_back({y, x, ca, fa, la});
                }
            }
            flush();
        }
    }
    m.base = QImage(pixels, QImage::Format_RGB32);
    m.base.setDevicePixelRatio(ratio);
    QPainter p(&m.base);
    p.drawImage(QRectF(QPointF(0, 0), QSizeF(m.area)), unlit);
    p.end();
    m.frame = m.base.copy();
    m_masks = std::move(m);
}

void LitKeyPainter::paintAll(QPainter& p, QPoint origin, const settings::KeyColours& colours,
                             const QImage& unlit) {
    if (unlit.isNull()) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        for (int slot = 0; slot < model::kSlotCount; ++slot) {
            if (model::slot(slot).drawn()) {
                paintKey(p, origin, slot, colours[static_cast<std::size_t>(slot)]);
            }
        }
        p.restore();
        return;
    }
    const qreal ratio = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    if (m_masks.ratio != ratio || m_masks.unlitKey != unlit.cacheKey()) buildMasks(ratio, unlit);
    QImage& frame = m_masks.frame;
    const QImage& base = m_masks.base;
    const auto pixel = [](QImage& img, int x, int y) {
        return reinterpret_cast<QRgb*>(img.scanLine(y)) + x;
    };
    const auto lightOf = [&](int slot) { return colours[static_cast<std::size_t>(slot)]; };
    // Keys lit in the last frame and unlit now get the picture back; a lit key's pixels are
    // all written below.
    for (int slot : m_masks.lit) {
        if (lightOf(slot) != settings::Rgb{}) continue;
        const QRect& box = m_masks.caps[static_cast<std::size_t>(slot)].box;
        const auto bytes = static_cast<std::size_t>(box.width()) * sizeof(QRgb);
        for (int y = box.top(); y <= box.bottom(); ++y) {
            std::memcpy(pixel(frame, box.left(), y),
                        reinterpret_cast<const QRgb*>(base.constScanLine(y)) + box.left(), bytes);
        }
    }
    m_masks.lit.clear();
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
        const settings::Rgb light = lightOf(slot);
        const Cap& c = m_masks.caps[static_cast<std::size_t>(slot)];
        if (light == settings::Rgb{} || c.box.isEmpty()) continue;
        m_masks.lit.push_back(slot);
        const settings::LitCap cap = settings::litCap(light);
        const QRgb face = qRgb(cap.face.r, cap.face.g, cap.face.b);
        const QRgb rim = qRgb(cap.rim.r, cap.rim.g, cap.rim.b);
        for (const Run& run : c.runs) {
            std::fill_n(pixel(frame, run.x, run.y), run.length, run.face ? face : rim);
        }
        for (const Edge& e : c.edges) {
            const QRgb under = reinterpret_cast<const QRgb*>(base.constScanLine(e.y))[e.x];
            const QRgb onCap = e.cap == 255 ? rim : mixPixel(under, cap.rim, e.cap);
            *pixel(frame, e.x, e.y) =
                mixPixel(mixPixel(onCap, cap.face, e.face), cap.label, e.label);
        }
    }
    p.drawImage(QRectF(QPointF(origin), QSizeF(m_masks.area)), frame);
}

}  // namespace tavrik::app
