#include "dialogs/colour_chooser/colour_fields.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "skin/text_style.h"

namespace tavrik::app {
namespace {

namespace look = chooser_look;

// The field's inside, within its one-pixel edge.
QRect inner(const QWidget& w) {
    return w.rect().adjusted(1, 1, -1, -1);
}

void drawEdge(QPainter& p, const QWidget& w) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(w.hasFocus() ? look::kFocus : look::kEdge, 1));
    p.drawRect(w.rect().adjusted(0, 0, -1, -1));
}

int stepOf(const QKeyEvent& e, int big) {
    return e.modifiers() & Qt::ShiftModifier ? big : 1;
}

// A marker both on light and on dark colours: a white ring around a black one.
void drawMarker(QPainter& p, QPointF at, qreal radius) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 3));
    p.drawEllipse(at, radius, radius);
    p.setPen(QPen(Qt::white, 1.5));
    p.drawEllipse(at, radius, radius);
}

}  // namespace

SvField::SvField(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
}

void SvField::setHsv(settings::Hsv hsv) {
    m_hsv = hsv;
    update();
}

void SvField::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = inner(*this);
    QLinearGradient saturation(r.topLeft(), r.topRight());
    saturation.setColorAt(0, Qt::white);
    saturation.setColorAt(1, look::qColour(settings::toRgb({m_hsv.h, 255, 255})));
    p.fillRect(r, saturation);
    QLinearGradient value(r.topLeft(), r.bottomLeft());
    value.setColorAt(0, QColor(0, 0, 0, 0));
    value.setColorAt(1, Qt::black);
    p.fillRect(r, value);
    const QPointF at(r.left() + m_hsv.s * (r.width() - 1) / 255.0,
                     r.top() + (255 - m_hsv.v) * (r.height() - 1) / 255.0);
    drawMarker(p, at, 5);
    p.setRenderHint(QPainter::Antialiasing, false);
    drawEdge(p, *this);
}

void SvField::pickAt(QPoint pos) {
    const QRect r = inner(*this);
    const int x = std::clamp(pos.x() - r.left(), 0, r.width() - 1);
    const int y = std::clamp(pos.y() - r.top(), 0, r.height() - 1);
    settings::Hsv hsv = m_hsv;
    hsv.s = (x * 255 + (r.width() - 1) / 2) / std::max(1, r.width() - 1);
    hsv.v = 255 - (y * 255 + (r.height() - 1) / 2) / std::max(1, r.height() - 1);
    pick(hsv);
}

void SvField::pick(settings::Hsv hsv) {
    hsv.s = std::clamp(hsv.s, 0, 255);
    hsv.v = std::clamp(hsv.v, 0, 255);
    if (hsv == m_hsv) return;
    setHsv(hsv);
    emit picked(hsv);
}

void SvField::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
    setFocus(Qt::MouseFocusReason);
    pickAt(e->position().toPoint());
}

void SvField::mouseMoveEvent(QMouseEvent* e) {
    if (e->buttons() & Qt::LeftButton) pickAt(e->position().toPoint());
}

void SvField::keyPressEvent(QKeyEvent* e) {
    settings::Hsv hsv = m_hsv;
    const int step = stepOf(*e, 16);
    switch (e->key()) {
        case Qt::Key_Left:
            hsv.s -= step;
            break;
        case Qt::Key_Right:
            hsv.s += step;
            break;
        case Qt::Key_Up:
            hsv.v += step;
            break;
        case Qt::Key_Down:
            hsv.v -= step;
            break;
        default:
            return QWidget::keyPressEvent(e);
    }
    pick(hsv);
}

HueStrip::HueStrip(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void HueStrip::setHue(int hue) {
    m_hue = ((hue % 360) + 360) % 360;
    update();
}

void HueStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = inner(*this);
    QLinearGradient hues(r.topLeft(), r.bottomLeft());
    for (int i = 0; i <= 6; ++i) {
        hues.setColorAt(i / 6.0, look::qColour(settings::toRgb({(i * 60) % 360, 255, 255})));
    }
    p.fillRect(r, hues);
    const qreal y = r.top() + m_hue * (r.height() - 1) / 359.0;
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(QPointF(r.left(), y), QPointF(r.right() + 1, y));
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(QPointF(r.left(), y), QPointF(r.right() + 1, y));
    p.setRenderHint(QPainter::Antialiasing, false);
    drawEdge(p, *this);
}

void HueStrip::pickAt(QPoint pos) {
    const QRect r = inner(*this);
    const int y = std::clamp(pos.y() - r.top(), 0, r.height() - 1);
    pick((y * 359 + (r.height() - 1) / 2) / std::max(1, r.height() - 1));
}

void HueStrip::pick(int hue) {
    hue = ((hue % 360) + 360) % 360;
    if (hue == m_hue) return;
    setHue(hue);
    emit picked(hue);
}

void HueStrip::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
    setFocus(Qt::MouseFocusReason);
    pickAt(e->position().toPoint());
}

void HueStrip::mouseMoveEvent(QMouseEvent* e) {
    if (e->buttons() & Qt::LeftButton) pickAt(e->position().toPoint());
}

void HueStrip::keyPressEvent(QKeyEvent* e) {
    const int step = stepOf(*e, 15);
    switch (e->key()) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            pick(m_hue - step);
            break;
        case Qt::Key_Down:
        case Qt::Key_Right:
            pick(m_hue + step);
            break;
        default:
            QWidget::keyPressEvent(e);
    }
}

SwatchRow::SwatchRow(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void SwatchRow::setColours(std::vector<settings::Rgb> colours) {
    m_colours = std::move(colours);
    m_current = -1;
    // Nothing to tab to in an empty row.
    setFocusPolicy(m_colours.empty() ? Qt::NoFocus : Qt::StrongFocus);
    update();
}

void SwatchRow::markColour(settings::Rgb colour) {
    const auto it = std::find(m_colours.begin(), m_colours.end(), colour);
    m_current = it == m_colours.end() ? -1 : static_cast<int>(it - m_colours.begin());
    update();
}

int SwatchRow::swatchAt(QPoint p) const {
    if (p.x() < 0 || p.y() < 2 || p.y() >= 2 + kSwatch) return -1;
    const int i = p.x() / kStep;
    if (i >= static_cast<int>(m_colours.size()) || p.x() - i * kStep >= kSwatch) return -1;
    return i;
}

void SwatchRow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (m_colours.empty()) {
        skin::drawCaption(p, rect(), m_hint, 12, look::kHint, Qt::AlignLeft);
        return;
    }
    for (int i = 0; i < static_cast<int>(m_colours.size()); ++i) {
        const QRectF box(i * kStep + 0.5, 2.5, kSwatch - 1, kSwatch - 1);
        p.setPen(QPen(look::kEdge, 1));
        p.setBrush(look::qColour(m_colours[static_cast<std::size_t>(i)]));
        p.drawRoundedRect(box, 3, 3);
        if (i == m_current) {
            // The chosen swatch: a ring like the panel's; in the focus colour while focused.
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(hasFocus() ? look::kFocus : Qt::white, 2));
            p.drawRoundedRect(box.adjusted(-1.5, -1.5, 1.5, 1.5), 4, 4);
        }
    }
    if (hasFocus() && m_current < 0) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(look::kFocus, 1, Qt::DotLine));
        p.drawRoundedRect(QRectF(0.5, 0.5, m_colours.size() * kStep - 4, kSwatch + 3), 4, 4);
    }
}

void SwatchRow::pickIndex(int i) {
    if (i < 0 || i >= static_cast<int>(m_colours.size())) return;
    m_current = i;
    update();
    emit picked(m_colours[static_cast<std::size_t>(i)]);
}

void SwatchRow::mousePressEvent(QMouseEvent* e) {
    const int i = swatchAt(e->position().toPoint());
    if (e->button() != Qt::LeftButton || i < 0) return QWidget::mousePressEvent(e);
    setFocus(Qt::MouseFocusReason);
    pickIndex(i);
}

void SwatchRow::mouseDoubleClickEvent(QMouseEvent* e) {
    const int i = swatchAt(e->position().toPoint());
    if (e->button() != Qt::LeftButton || i < 0) return QWidget::mouseDoubleClickEvent(e);
    pickIndex(i);
    emit accepted();
}

void SwatchRow::keyPressEvent(QKeyEvent* e) {
    const int last = static_cast<int>(m_colours.size()) - 1;
    switch (e->key()) {
        case Qt::Key_Left:
            pickIndex(m_current < 0 ? last : std::max(0, m_current - 1));
            break;
        case Qt::Key_Right:
            pickIndex(m_current < 0 ? 0 : std::min(last, m_current + 1));
            break;
        case Qt::Key_Home:
            pickIndex(0);
            break;
        case Qt::Key_End:
            pickIndex(last);
            break;
        default:
            QWidget::keyPressEvent(e);
    }
}

}  // namespace tavrik::app
