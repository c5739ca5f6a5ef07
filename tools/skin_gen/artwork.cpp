#include "artwork.h"

#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <functional>

#include "common/language.h"
#include "host/qt/qt_text.h"
#include "model/keycap.h"
#include "model/slot_table.h"
#include "skin/skin_manifest.h"

namespace tavrik::skingen {
namespace {

using namespace theme;

// Sizes in window pixels: a double-size image (device pixel ratio 2) is drawn with the same
// coordinates, the painter scaling them.
int widthOf(const QImage& img) {
    return qRound(img.deviceIndependentSize().width());
}
int heightOf(const QImage& img) {
    return qRound(img.deviceIndependentSize().height());
}

// ---- shared shapes -----------------------------------------------------------------------

void verticalGradient(QPainter& p, const QRectF& r, QColor top, QColor bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
}

void roundedPanel(QPainter& p, const QRectF& r, qreal radius, QColor top, QColor bottom,
                  QColor edge) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(edge, 1));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

// Fills the whole image with the window base so that opaque corners match the surroundings.
QPainter& begin(QPainter& p, QImage& img, QColor base = kBase) {
    img.fill(base);
    p.setRenderHint(QPainter::Antialiasing);
    return p;
}

void button(QPainter& p, const QImage& img, bool over, QColor tint = kPanelLight) {
    const QRectF r(0, 0, widthOf(img), heightOf(img));
    if (over) {
        roundedPanel(p, r, 4, tint.lighter(150), kAccentDark, kAccent);
        p.setPen(QPen(kAccent, 1));
        p.drawLine(QPointF(4, r.bottom() - 1.5), QPointF(r.right() - 4, r.bottom() - 1.5));
    } else {
        roundedPanel(p, r, 4, tint, tint.darker(160), kEdge);
    }
}

void lightButton(QPainter& p, const QImage& img, bool over) {
    button(p, img, over);  // the macro and profile windows share the dark buttons
}

// ---- title-bar glyphs --------------------------------------------------------------------

void titleButton(QPainter& p, QImage& img, bool over, const std::function<void(QRectF)>& glyph) {
    begin(p, img);
    const QRectF r(0, 0, widthOf(img), heightOf(img));
    if (over) roundedPanel(p, r, 3, kAccent.lighter(115), kAccent.darker(130), kAccent);
    p.setPen(QPen(over ? Qt::white : kGlyph, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    glyph(r.adjusted(4.5, 4, -4.5, -4));
}

void closeGlyph(QPainter& p, QRectF g) {
    p.drawLine(g.topLeft(), g.bottomRight());
    p.drawLine(g.topRight(), g.bottomLeft());
}

void minGlyph(QPainter& p, QRectF g) {
    p.drawLine(g.bottomLeft(), g.bottomRight());
}

void helpGlyph(QPainter& p, QRectF g) {
    QPainterPath path;
    const qreal cx = g.center().x();
    path.moveTo(g.left() + 0.5, g.top() + 2.5);
    path.cubicTo(g.left() + 0.5, g.top() - 0.8, g.right() - 0.5, g.top() - 0.8, g.right() - 0.5,
                 g.top() + 2.5);
    path.cubicTo(g.right() - 0.5, g.top() + 4.5, cx, g.top() + 4.5, cx, g.bottom() - 2.5);
    p.drawPath(path);
    p.drawPoint(QPointF(cx, g.bottom()));
}

// ---- panel pieces ------------------------------------------------------------------------

// How a section header's marker reads: open (down), closed (right), or either (the lighting
// header uses one picture for both states, so it shows a stacked up/down toggle).
enum class Fold { Open, Closed, Either };

// A section header: dark bar, accent stripe on the left, fold marker on the right.
void sectionHeader(QPainter& p, int width, Fold fold) {
    const QRectF bar(0, 0, width, 20);
    // The window writes the title from the left edge: keep that part plain.
    verticalGradient(p, bar, kPanelLight, kPanel);
    p.fillRect(QRectF(width - 28, 0, 28, 20), kPanelLight.darker(115));
    p.fillRect(QRectF(width - 28, 0, 1, 20), kEdge);
    p.setPen(kAccent);
    p.drawLine(QPointF(0, 19.5), QPointF(width, 19.5));
    QPainterPath chevron;
    const qreal cx = width - 14, cy = 10;
    if (fold == Fold::Open) {
        chevron.moveTo(cx - 4, cy - 2);
        chevron.lineTo(cx, cy + 2);
        chevron.lineTo(cx + 4, cy - 2);
    } else if (fold == Fold::Either) {
        chevron.moveTo(cx - 3, cy - 2);
        chevron.lineTo(cx, cy - 5);
        chevron.lineTo(cx + 3, cy - 2);
        chevron.moveTo(cx - 3, cy + 2);
        chevron.lineTo(cx, cy + 5);
        chevron.lineTo(cx + 3, cy + 2);
    } else {
        chevron.moveTo(cx - 2, cy - 4);
        chevron.lineTo(cx + 2, cy);
        chevron.lineTo(cx - 2, cy + 4);
    }
    p.setPen(QPen(kGlyph, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(chevron);
}

void sectionBody(QPainter& p, const QRectF& r) {
    verticalGradient(p, r, kPanel, kPanel.darker(115));
    p.setPen(kEdge.darker(130));
    p.drawLine(QPointF(r.left() + 0.5, r.top()), QPointF(r.left() + 0.5, r.bottom()));
    p.drawLine(QPointF(r.right() - 0.5, r.top()), QPointF(r.right() - 0.5, r.bottom()));
    p.drawLine(QPointF(r.left(), r.bottom() - 0.5), QPointF(r.right(), r.bottom() - 0.5));
}

void section(QPainter& p, QImage& img, Fold fold) {
    begin(p, img);
    if (heightOf(img) > 20) sectionBody(p, QRectF(0, 20, widthOf(img), heightOf(img) - 20));
    sectionHeader(p, widthOf(img), fold);
}

void field(QPainter& p, const QRectF& r, bool dropDown) {
    roundedPanel(p, r, 2, kBase.darker(120), kBase, kEdge);
    if (!dropDown) return;
    QPainterPath tri;
    const qreal cx = r.right() - 9, cy = r.center().y();
    tri.moveTo(cx - 4, cy - 2);
    tri.lineTo(cx + 4, cy - 2);
    tri.lineTo(cx, cy + 3);
    tri.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawPath(tri);
}

void radio(QPainter& p, QImage& img, bool on, QColor base = kPanel) {
    begin(p, img, base);
    const QRectF r(0.5, 0.5, widthOf(img) - 1, heightOf(img) - 1);
    p.setPen(QPen(on ? kActive : kEdge.lighter(130), 1.2));
    p.setBrush(kBase);
    p.drawEllipse(r);
    if (on) {
        p.setPen(Qt::NoPen);
        p.setBrush(kActive);
        p.drawEllipse(r.adjusted(3, 3, -3, -3));
    }
}

void checkBox(QPainter& p, QImage& img, bool on, QColor base, QColor box, QColor edge) {
    begin(p, img, base);
    const QRectF r(0.5, 0.5, widthOf(img) - 1, heightOf(img) - 1);
    p.setPen(QPen(on ? kAccent : edge, 1.2));
    p.setBrush(box);
    p.drawRoundedRect(r, 2, 2);
    if (!on) return;
    QPainterPath tick;
    const qreal w = widthOf(img), h = heightOf(img);
    tick.moveTo(w * 0.22, h * 0.52);
    tick.lineTo(w * 0.42, h * 0.74);
    tick.lineTo(w * 0.80, h * 0.26);
    p.setPen(QPen(kAccent, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

// Direction buttons: an arrow pointing to 'T'op, 'B'ottom, 'R'ight or 'L'eft.
void directionButton(QPainter& p, QImage& img, char dir, bool enabled) {
    begin(p, img, kPanel);
    const QRectF r(0, 0, widthOf(img), heightOf(img));
    if (enabled) {
        roundedPanel(p, r, 3, kAccent.lighter(110), kAccentDark, kAccent.lighter(130));
    } else {
        roundedPanel(p, r, 3, kPanelLight, kPanel.darker(120), kEdge);
    }
    const QPointF c = r.center();
    QPainterPath arrow;
    const qreal a = 5;
    switch (dir) {
        case 'T':
            arrow.moveTo(c.x(), c.y() - a);
            arrow.lineTo(c.x() + a, c.y() + a - 1);
            arrow.lineTo(c.x() - a, c.y() + a - 1);
            break;
        case 'B':
            arrow.moveTo(c.x(), c.y() + a);
            arrow.lineTo(c.x() + a, c.y() - a + 1);
            arrow.lineTo(c.x() - a, c.y() - a + 1);
            break;
        case 'R':
            arrow.moveTo(c.x() + a + 1, c.y());
            arrow.lineTo(c.x() - a + 1, c.y() - a + 1);
            arrow.lineTo(c.x() - a + 1, c.y() + a - 1);
            break;
        default:
            arrow.moveTo(c.x() - a - 1, c.y());
            arrow.lineTo(c.x() + a - 1, c.y() - a + 1);
            arrow.lineTo(c.x() + a - 1, c.y() + a - 1);
            break;
    }
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(enabled ? QColor(Qt::white) : kGlyph.darker(150));
    p.drawPath(arrow);
}

// ---- sliders -----------------------------------------------------------------------------

// The thumb's centre travels from half a thumb in from the left to half a thumb in from the
// right; the slider control uses the same geometry.
qreal sliderStop(int width, int steps, int i) {
    const qreal first = skin::kThumbWidth / 2;
    const qreal last = width - 1 - skin::kThumbWidth / 2;
    return first + (last - first) * i / steps;
}

void sliderGroove(QPainter& p, const QImage& img, bool filled) {
    const QRectF groove(skin::kThumbWidth / 2 - 2, heightOf(img) / 2 - 2,
                        widthOf(img) - 2 * (skin::kThumbWidth / 2) + 3, 5);
    if (filled) {
        QLinearGradient g(groove.topLeft(), groove.topRight());
        g.setColorAt(0, kAccentDark);
        g.setColorAt(1, kAccent.lighter(120));
        p.setPen(QPen(kAccent.darker(150), 1));
        p.setBrush(g);
    } else {
        p.setPen(QPen(kEdge.darker(120), 1));
        p.setBrush(kBase.darker(130));
    }
    p.drawRoundedRect(groove, 2.5, 2.5);
}

void sliderThumb(QPainter& p, QImage& img) {
    begin(p, img, kPanel);
    const QColor faces[skin::kThumbFrames][2] = {
        {QColor(214, 216, 222), QColor(140, 144, 154)},  // normal
        {QColor(255, 255, 255), QColor(220, 120, 126)},  // hover
        {kActive.lighter(130), kActive.darker(150)}};    // pressed
    for (int f = 0; f < skin::kThumbFrames; ++f) {
        const QRectF r(f * skin::kThumbWidth + 1.5, 1.5, skin::kThumbWidth - 3,
                       skin::kThumbHeight - 3);
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, faces[f][0]);
        g.setColorAt(1, faces[f][1]);
        p.setPen(QPen(f == 1 ? kAccent : kBase, 1));
        p.setBrush(g);
        p.drawRoundedRect(r, 3, 3);
        p.setPen(QPen(kBase.lighter(150), 1));
        const qreal cx = r.center().x();
        p.drawLine(QPointF(cx, r.top() + 3), QPointF(cx, r.bottom() - 3));
    }
}

const char* const kRates[] = {"125Hz", "250Hz", "500Hz", "1000Hz"};

void rateScale(QPainter& p, int x0, int y0, int width) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(10);
    p.setFont(f);
    p.setPen(kGlyph.darker(115));
    for (int i = 0; i < 4; ++i) {
        const qreal cx = x0 + sliderStop(width, 3, i);
        const QString t = QString::fromLatin1(kRates[i]);
        const qreal w = p.fontMetrics().horizontalAdvance(t);
        const qreal left = std::clamp(cx - w / 2, qreal(x0), qreal(x0 + width) - w);
        p.drawText(QPointF(left, y0 + 10), t);
    }
}

// ---- the keyboard pictures ---------------------------------------------------------------

QRectF keyRect(const model::KeySlot& s) {
    return QRectF(s.rect.left, s.rect.top, s.rect.width() + 1, s.rect.height() + 1);
}

void keyboardPlate(QPainter& p, const QImage& img) {
    verticalGradient(p, QRectF(0, 0, widthOf(img), heightOf(img)), QColor(30, 31, 36), kBase);
    const QRectF plate(12, 125, 669, 247);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(plate.translated(0, 4), 10, 10);
    roundedPanel(p, plate, 10, QColor(52, 54, 61), QColor(34, 35, 40), QColor(76, 79, 88));
    p.setPen(QPen(kAccent, 2));
    p.drawLine(QPointF(plate.left() + 12, plate.top() + 1.5),
               QPointF(plate.right() - 12, plate.top() + 1.5));
}

QRectF boxOf(const model::BoxF& b) {
    return QRectF(b.left, b.top, b.width, b.height);
}

// A cap as the window's lit keys take it up: the same outline, face and label box.
void keyCap(QPainter& p, const model::KeySlot& s, bool lit) {
    const model::Keycap k = model::keycap(s);
    const QRectF r = boxOf(k.cap);
    if (lit) {
        QRadialGradient glow(r.center(), std::max(r.width(), r.height()));
        glow.setColorAt(0, QColor(255, 92, 104));
        glow.setColorAt(1, kAccentDark);
        p.setPen(QPen(QColor(255, 170, 176), 1));
        p.setBrush(glow);
        p.drawRoundedRect(r, k.capRadius, k.capRadius);
    } else {
        roundedPanel(p, r, k.capRadius, QColor(26, 27, 31), QColor(14, 15, 18), QColor(70, 73, 82));
        roundedPanel(p, boxOf(k.face), k.faceRadius, QColor(56, 58, 66), QColor(40, 42, 48),
                     QColor(64, 67, 76));
    }
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(k.labelPixels);
    f.setBold(true);
    p.setFont(f);
    p.setPen(lit ? QColor(Qt::white) : kGlyph.darker(110));
    p.drawText(boxOf(k.label), Qt::AlignCenter, app::qs(s.label));
}

void keyboard(QPainter& p, QImage& img, bool lit) {
    begin(p, img);
    keyboardPlate(p, img);
    for (const auto& s : model::slotTable()) {
        if (s.drawn()) keyCap(p, s, lit);
    }
}

// ---- whole backgrounds -------------------------------------------------------------------

void titleBand(QPainter& p, int width, int height) {
    verticalGradient(p, QRectF(0, 0, width, height), QColor(44, 46, 53), kBase);
    p.fillRect(QRectF(0, height - 1, width, 1), kAccent);
}

void windowFrame(QPainter& p, const QImage& img) {
    p.setPen(QPen(kEdge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, widthOf(img) - 1, heightOf(img) - 1));
}

void mainBackground(QPainter& p, QImage& img) {
    begin(p, img);
    verticalGradient(p, QRectF(0, 0, widthOf(img), heightOf(img)), QColor(30, 31, 36), kBase);
    titleBand(p, widthOf(img), 28);
    // Settings panel well and keyboard well.
    roundedPanel(p, QRectF(15, 32, 251, 560), 6, QColor(34, 35, 40), QColor(28, 29, 33), kEdge);
    roundedPanel(p, QRectF(271, 81, 708, 408), 8, QColor(30, 31, 36), kBase, QColor(50, 52, 59));
    // Bottom bar.
    p.fillRect(QRectF(0, 596, widthOf(img), 1), QColor(60, 62, 70));
    verticalGradient(p, QRectF(0, 597, widthOf(img), 43), QColor(34, 35, 40), kBase);
    windowFrame(p, img);
}

// The tool's mark on a keycap's top: a "T" whose stem ends in a chevron, in the accent colour
// with a light core, inside `face` (the cap's top).
void monogram(QPainter& p, const QRectF& face) {
    const qreal w = face.width();
    const qreal h = face.height();
    const QPointF o = face.topLeft();
    QPainterPath mark;
    // The bar.
    mark.moveTo(o + QPointF(0.14 * w, 0.16 * h));
    mark.lineTo(o + QPointF(0.86 * w, 0.16 * h));
    mark.lineTo(o + QPointF(0.78 * w, 0.34 * h));
    mark.lineTo(o + QPointF(0.60 * w, 0.34 * h));
    // The stem, ending in a point.
    mark.lineTo(o + QPointF(0.60 * w, 0.70 * h));
    mark.lineTo(o + QPointF(0.50 * w, 0.88 * h));
    mark.lineTo(o + QPointF(0.40 * w, 0.70 * h));
    mark.lineTo(o + QPointF(0.40 * w, 0.34 * h));
    mark.lineTo(o + QPointF(0.22 * w, 0.34 * h));
    mark.closeSubpath();
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0, QColor(255, 92, 104));
    fill.setColorAt(1, kAccent);
    p.setPen(QPen(QColor(255, 180, 186), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(mark);
}

// A keycap seen from above with a crimson underglow and the mark on its top, inside `cap`.
void emblem(QPainter& p, const QRectF& cap) {
    QRadialGradient glow(cap.center() + QPointF(0, cap.height() / 8), cap.width() * 0.7);
    glow.setColorAt(0, QColor(220, 40, 56, 200));
    glow.setColorAt(1, QColor(220, 40, 56, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(
        cap.adjusted(-cap.width() / 6, -cap.height() / 24, cap.width() / 6, cap.height() * 0.3));
    roundedPanel(p, cap, cap.width() / 6, QColor(70, 73, 82), QColor(30, 31, 36), kAccent);
    const QRectF face = cap.adjusted(cap.width() * 0.16, cap.height() * 0.12, -cap.width() * 0.16,
                                     -cap.height() * 0.22);
    roundedPanel(p, face, cap.width() / 10, QColor(62, 65, 74), QColor(40, 42, 48),
                 QColor(110, 113, 122));
    monogram(p, face);
}

void logo(QPainter& p, QImage& img) {
    begin(p, img, QColor(34, 35, 40));
    emblem(p, QRectF(6, 8, 48, 48));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(24);
    f.setBold(true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QPointF(66, 32), QStringLiteral("TAVRIK"));
    f.setPixelSize(13);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 5);
    p.setFont(f);
    p.setPen(kAccent.lighter(130));
    p.drawText(QPointF(68, 51), QStringLiteral("87 REV"));
}

void splash(QPainter& p, QImage& img, int languageCode) {
    begin(p, img);
    verticalGradient(p, QRectF(0, 0, widthOf(img), heightOf(img)), QColor(40, 42, 50), kBase);
    QRadialGradient glow(QPointF(240, 250), 260);
    glow.setColorAt(0, QColor(196, 40, 52, 120));
    glow.setColorAt(1, QColor(196, 40, 52, 0));
    p.fillRect(img.rect(), glow);
    // The keyboard, scaled down from the slot table.
    p.save();
    constexpr qreal kScale = 0.6;  // key area x 24..668, y 137..359
    p.translate(240 - kScale * (24 + 645 / 2.0), 118 - kScale * 137);
    p.scale(kScale, kScale);
    for (const auto& s : model::slotTable()) {
        if (!s.drawn()) continue;
        roundedPanel(p, keyRect(s).adjusted(1, 1, -1, -1), 3, QColor(70, 73, 82),
                     QColor(40, 42, 48), QColor(196, 40, 52, 160));
    }
    p.restore();
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(38);
    f.setBold(true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 6);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 24, widthOf(img), 48), Qt::AlignCenter, QStringLiteral("TAVRIK 87REV"));
    const bool chinese = languageCode == kChineseLanguageCode;
    QFont sub(chinese ? QStringLiteral("WenQuanYi Micro Hei") : QStringLiteral("Arial"));
    sub.setPixelSize(15);
    p.setFont(sub);
    p.setPen(kGlyph);
    p.drawText(QRectF(0, 72, widthOf(img), 24), Qt::AlignCenter,
               chinese ? QStringLiteral("游戏键盘设置") : QStringLiteral("Gaming keyboard setup"));
    p.fillRect(QRectF(140, 266, 200, 3), kAccent);
    windowFrame(p, img);
}

void helpWindow(QPainter& p, QImage& img) {
    begin(p, img);
    roundedPanel(p, QRectF(0, 0, widthOf(img), heightOf(img)), 5, kPanelLight, kPanel, kAccent);
    p.setPen(QPen(kEdge, 1));
    for (int y : {27, 52}) p.drawLine(QPointF(14, y + 0.5), QPointF(widthOf(img) - 14, y + 0.5));
}

// A plain body: the window draws as much of it as the effect's rows need, with its bottom edge,
// and places the swatches and the rows on it.
void lightingBody(QPainter& p, QImage& img) {
    begin(p, img);
    sectionBody(p, QRectF(0, 0, widthOf(img), heightOf(img)));
}

void speedBody(QPainter& p, QImage& img) {
    begin(p, img);
    sectionBody(p, QRectF(0, 0, widthOf(img), heightOf(img)));
    p.setPen(QPen(kEdge.darker(120), 1));
    p.drawLine(QPointF(9, 42.5), QPointF(widthOf(img) - 9, 42.5));
}

// The window draws the ticks under the slider's stops and the rates, from the panel layout.
void reportBody(QPainter& p, QImage& img) {
    section(p, img, Fold::Open);
}

void macroSection(QPainter& p, QImage& img) {
    begin(p, img);
    sectionBody(p, QRectF(0, 0, widthOf(img), heightOf(img)));
}

void macroButton(QPainter& p, QImage& img) {
    begin(p, img, kPanel);
    roundedPanel(p, QRectF(0, 0, widthOf(img), heightOf(img)), 3, kAccent.darker(140),
                 kAccentDark.darker(130), kAccent);
}

void gameBody(QPainter& p, QImage& img, bool expanded) {
    section(p, img, expanded ? Fold::Open : Fold::Closed);
    if (!expanded) return;
    p.setPen(QPen(kEdge.darker(110), 1));
    p.drawLine(QPointF(128.5, 26), QPointF(128.5, heightOf(img) - 6));
}

void profileButton(QPainter& p, QImage& img) {
    begin(p, img);
    button(p, img, false);
    // A stack of three cards: the profile icon.
    for (int i = 0; i < 3; ++i) {
        const QRectF card(8 + 2 * i, 7 + 4 * i, 14, 10);
        roundedPanel(p, card, 2, i == 2 ? kAccent : kPanelLight.lighter(130),
                     i == 2 ? kAccentDark : kPanelLight, kBase);
    }
}

void footerStrip(QPainter& p, QImage& img) {
    begin(p, img);
    verticalGradient(p, QRectF(0, 0, widthOf(img), heightOf(img)), QColor(34, 35, 40), kBase);
    p.setPen(QPen(QColor(60, 62, 70), 1));
    p.drawLine(QPointF(6, 10.5), QPointF(widthOf(img) - 6, 10.5));
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(widthOf(img) - 8, 10.5), 2, 2);
}

// ---- dialogs -----------------------------------------------------------------------------

void configBackground(QPainter& p, QImage& img) {
    begin(p, img);
    titleBand(p, widthOf(img), 32);
    roundedPanel(p, QRectF(1, 34, 260, 540), 3, QColor(46, 48, 55), QColor(32, 33, 38),
                 QColor(50, 52, 59));
    windowFrame(p, img);
}

void iconButton(QPainter& p, QImage& img, bool plus) {
    begin(p, img);
    button(p, img, false);
    p.setPen(QPen(plus ? kActive : kAccent.lighter(120), 2, Qt::SolidLine, Qt::RoundCap));
    const qreal cy = heightOf(img) / 2.0;
    p.drawLine(QPointF(5, cy), QPointF(13, cy));
    if (plus) p.drawLine(QPointF(9, cy - 4), QPointF(9, cy + 4));
}

void customBackground(QPainter& p, QImage& img) {
    begin(p, img);
    titleBand(p, widthOf(img), 22);
    roundedPanel(p, QRectF(4, 58, widthOf(img) - 8, 182), 4, QColor(34, 35, 40), QColor(28, 29, 33),
                 QColor(54, 56, 63));
    windowFrame(p, img);
}

void tab(QPainter& p, QImage& img) {
    begin(p, img);
    const QRectF body(1, 5, widthOf(img) - 2, heightOf(img) - 5);
    QPainterPath path;
    path.moveTo(body.bottomLeft());
    path.lineTo(body.left(), body.top() + 4);
    path.quadTo(body.topLeft(), QPointF(body.left() + 4, body.top()));
    path.lineTo(body.right() - 4, body.top());
    path.quadTo(body.topRight(), QPointF(body.right(), body.top() + 4));
    path.lineTo(body.bottomRight());
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, kPanelLight);
    g.setColorAt(1, kPanel);
    p.setPen(QPen(kEdge, 1));
    p.setBrush(g);
    p.drawPath(path);
}

void tabStrip(QPainter& p, QImage& img) {
    begin(p, img);
    p.fillRect(QRectF(0, 0, widthOf(img), 1), kAccent);
}

void tabMarker(QPainter& p, QImage& img) {
    begin(p, img, kPanel);
    verticalGradient(p, QRectF(6, 0, widthOf(img) - 12, heightOf(img)), kActive,
                     kActive.darker(160));
}

void launchRows(QPainter& p, QImage& img) {
    begin(p, img);
    roundedPanel(p, QRectF(0, 0, widthOf(img), heightOf(img)), 4, QColor(34, 35, 40),
                 QColor(28, 29, 33), QColor(54, 56, 63));
    p.setPen(QPen(QColor(50, 52, 59), 1));
    for (int r = 1; r < 4; ++r) {
        const qreal y = 2 + 30 * r - 6 + 0.5;
        p.drawLine(QPointF(6, y), QPointF(widthOf(img) - 6, y));
    }
}

void browseButton(QPainter& p, QImage& img, bool over) {
    begin(p, img);
    button(p, img, over);
    p.setPen(Qt::NoPen);
    p.setBrush(over ? QColor(Qt::white) : kGlyph);
    for (int i = -1; i <= 1; ++i) p.drawEllipse(QPointF(widthOf(img) / 2.0 + 6 * i, 8.5), 1.6, 1.6);
}

void macroBackground(QPainter& p, QImage& img) {
    // Dark panels like every other window: the macro window draws its labels light.
    begin(p, img);
    titleBand(p, widthOf(img), 30);
    const QRectF panel(8, 36, widthOf(img) - 16, heightOf(img) - 44);
    roundedPanel(p, panel, 6, kPanelLight, kPanel, kEdge);
    for (int x : {20, 150}) {
        roundedPanel(p, QRectF(x - 3, 77, 119, 281), 3, kBase, kBase, kEdge.darker(130));
    }
    // The options column keeps clear of the window panel's right edge (402).
    const QRectF options(274, 80, 120, 300);
    roundedPanel(p, options, 5, kPanel, kPanel.darker(115), kEdge);
    p.fillRect(QRectF(options.left(), 152, options.width(), 1), kEdge);
    p.fillRect(QRectF(options.left(), 300, options.width(), 1), kEdge);
    windowFrame(p, img);
}

void lightCheckBox(QPainter& p, QImage& img, bool on) {
    checkBox(p, img, on, kPanel, kBase, kEdge.lighter(130));
}

// ---- dispatch ----------------------------------------------------------------------------

using Painter = std::function<void(QPainter&, QImage&, int)>;

QHash<QString, Painter> mainPainters() {
    QHash<QString, Painter> m;
    auto plain = [](auto f) { return Painter([f](QPainter& p, QImage& i, int) { f(p, i); }); };
    m["main.png"] = plain(mainBackground);
    m["SplashScreen.png"] = splash;
    for (bool over : {false, true}) {
        const QString state = over ? "-over.png" : "-normal.png";
        m["button-help" + state] = plain([over](QPainter& p, QImage& i) {
            titleButton(p, i, over, [&p](QRectF g) { helpGlyph(p, g); });
        });
        m["button-min" + state] = plain([over](QPainter& p, QImage& i) {
            titleButton(p, i, over, [&p](QRectF g) { minGlyph(p, g); });
        });
        m["button-close" + state] = plain([over](QPainter& p, QImage& i) {
            titleButton(p, i, over, [&p](QRectF g) { closeGlyph(p, g); });
        });
        m["button-cancel" + state] = plain([over](QPainter& p, QImage& i) {
            begin(p, i);
            button(p, i, over);
        });
    }
    m["logo.png"] = plain(logo);
    m["kb_BK.png"] = plain([](QPainter& p, QImage& i) { keyboard(p, i, false); });
    m["kb_hl.png"] = plain([](QPainter& p, QImage& i) { keyboard(p, i, true); });
    m["text.png"] = plain(footerStrip);
    m["Config.png"] = plain(profileButton);
    m["HelpWindow.png"] = plain(helpWindow);
    m["itemBK.png"] = plain([](QPainter& p, QImage& i) { section(p, i, Fold::Either); });
    m["LEDEffect_open.png"] = plain(lightingBody);
    m["Light_Item.png"] = plain([](QPainter& p, QImage& i) {
        begin(p, i, kPanel);
        field(p, QRectF(0, 0, widthOf(i), heightOf(i)), true);
    });
    m["freq.png"] = plain(speedBody);
    for (char d : {'T', 'B', 'R', 'L'}) {
        for (bool on : {false, true}) {
            m[QString("Direction-%1-%2.png").arg(d).arg(on ? "Enable" : "Disable")] =
                plain([d, on](QPainter& p, QImage& i) { directionButton(p, i, d, on); });
        }
    }
    m["Enable.png"] = plain([](QPainter& p, QImage& i) { radio(p, i, true); });
    m["Disable.png"] = plain([](QPainter& p, QImage& i) { radio(p, i, false); });
    m["MacroManagementBK.png"] = plain(macroSection);
    m["MacroButton3.png"] = plain(macroButton);
    m["gamemode_Close.png"] = plain([](QPainter& p, QImage& i) { gameBody(p, i, false); });
    m["gamemode_open.png"] = plain([](QPainter& p, QImage& i) { gameBody(p, i, true); });
    m["responsetime_close.png"] =
        plain([](QPainter& p, QImage& i) { section(p, i, Fold::Closed); });
    m["responsetime_open.png"] = plain([](QPainter& p, QImage& i) { section(p, i, Fold::Open); });
    m["reportrate_Close.png"] = plain([](QPainter& p, QImage& i) { section(p, i, Fold::Closed); });
    m["reportrate_Open.png"] = plain(reportBody);
    m["125Hz.png"] = plain([](QPainter& p, QImage& i) {
        begin(p, i, kPanel);
        rateScale(p, 0, 0, widthOf(i));
    });
    m[QString::fromLatin1(skin::kSliderBar.data())] = plain([](QPainter& p, QImage& i) {
        begin(p, i, kPanel);
        sliderGroove(p, i, false);
    });
    m[QString::fromLatin1(skin::kSliderChannel.data())] = plain([](QPainter& p, QImage& i) {
        begin(p, i, kPanel);
        sliderGroove(p, i, true);
    });
    m[QString::fromLatin1(skin::kSliderThumb.data())] = plain(sliderThumb);
    return m;
}

QHash<QString, Painter> dialogPainters(const QString& part) {
    QHash<QString, Painter> m;
    auto plain = [](auto f) { return Painter([f](QPainter& p, QImage& i, int) { f(p, i); }); };
    for (bool over : {false, true}) {
        const QString state = over ? "-over.png" : "-normal.png";
        m["button-close" + state] = plain([over](QPainter& p, QImage& i) {
            titleButton(p, i, over, [&p](QRectF g) { closeGlyph(p, g); });
        });
        m["button-cancel" + state] = plain([over](QPainter& p, QImage& i) {
            begin(p, i);
            button(p, i, over);
        });
        m["button-save" + state] = plain([over](QPainter& p, QImage& i) {
            begin(p, i);
            button(p, i, over, kAccentDark.lighter(140));
        });
        m["button-new" + state] = plain([over](QPainter& p, QImage& i) {
            begin(p, i, kPanel);
            lightButton(p, i, over);
        });
    }
    if (part == "Config/") {
        m["Config.png"] = plain(configBackground);
        m["New.png"] = plain([](QPainter& p, QImage& i) { iconButton(p, i, true); });
        m["Delete.png"] = plain([](QPainter& p, QImage& i) { iconButton(p, i, false); });
    }
    m["Custom_BK.png"] = plain(customBackground);
    m["large_button.png"] = plain(tab);
    m["single_combine_option.png"] = plain(tabStrip);
    m["cursor.png"] = plain(tabMarker);
    const QColor box = kBase;
    m["Disable.png"] = plain(
        [box](QPainter& p, QImage& i) { checkBox(p, i, false, kPanel, box, kEdge.lighter(130)); });
    m["Enable.png"] = plain(
        [box](QPainter& p, QImage& i) { checkBox(p, i, true, kPanel, box, kEdge.lighter(130)); });
    m["disable.png"] =
        plain([](QPainter& p, QImage& i) { radio(p, i, false, QColor(34, 35, 40)); });
    m["enable.png"] = plain([](QPainter& p, QImage& i) { radio(p, i, true, QColor(34, 35, 40)); });
    m["Macro_BK.png"] = plain(launchRows);
    m["Advanced.png"] = plain([](QPainter& p, QImage& i) {
        begin(p, i, QColor(34, 35, 40));
        field(p, QRectF(0, 0, widthOf(i), heightOf(i)), false);
    });
    m["view.png"] = plain([](QPainter& p, QImage& i) { browseButton(p, i, false); });
    m["view02.png"] = plain([](QPainter& p, QImage& i) { browseButton(p, i, true); });
    m["MacroManagement.png"] = plain(macroBackground);
    m["Record-normal.png"] = plain([](QPainter& p, QImage& i) {
        begin(p, i, kPanel);
        lightButton(p, i, false);
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawEllipse(QPointF(widthOf(i) - 11, heightOf(i) / 2.0), 4, 4);
    });
    m["Record-over.png"] = plain([](QPainter& p, QImage& i) {
        begin(p, i, kPanel);
        lightButton(p, i, true);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 40, 56));
        p.drawEllipse(QPointF(widthOf(i) - 11, heightOf(i) / 2.0), 5, 5);
    });
    // Held down while recording: a sunken panel with a crimson edge; the window lights the lamp.
    m["Record-on.png"] = plain([](QPainter& p, QImage& i) {
        begin(p, i, kPanel);
        roundedPanel(p, QRectF(0, 0, widthOf(i), heightOf(i)), 4, kBase, kAccentDark.darker(150),
                     kAccent);
        p.setPen(QPen(QColor(0, 0, 0, 120), 1));
        p.drawLine(QPointF(4, 1.5), QPointF(widthOf(i) - 4, 1.5));
        p.setPen(QPen(kAccentDark, 1));
        p.setBrush(QColor(60, 20, 24));
        p.drawEllipse(QPointF(widthOf(i) - 11, heightOf(i) / 2.0), 5, 5);
    });
    m["Pane.png"] = plain([](QPainter& p, QImage& i) { lightCheckBox(p, i, false); });
    m["PaneMakingTick.png"] = plain([](QPainter& p, QImage& i) { lightCheckBox(p, i, true); });
    return m;
}

}  // namespace

bool paintSkinImage(QImage& image, const QString& part, const QString& name, int languageCode) {
    const QHash<QString, Painter> painters = part.isEmpty() ? mainPainters() : dialogPainters(part);
    const auto it = painters.find(name);
    if (it == painters.end()) return false;
    QPainter p(&image);
    (*it)(p, image, languageCode);
    return true;
}

QImage appIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    paintAppIcon(p);
    return img;
}

void paintAppIcon(QPainter& p) {
    roundedPanel(p, QRectF(2, 2, 60, 60), 12, QColor(58, 61, 69), kBase, kAccent);
    emblem(p, QRectF(10, 9, 44, 44));
}

}  // namespace tavrik::skingen
