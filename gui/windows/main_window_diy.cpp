// The DIY view's painting: mouse presses and drags forwarded to the view rules, the colour
// chooser, and the palette marks and Fill all / Clear all buttons of the lighting section.

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>

#include "host/qt/qt_text.h"
#include "mainwindow/texts.h"
#include "settings/diy_paint.h"
#include "skin/text_style.h"
#include "windows/main_window.h"

namespace tavrik::app {
namespace {

namespace txt = mainwindow::text;
namespace hit = mainwindow::hit;

const QColor kMark{0, 214, 224};  // the skin's active colour
const QColor kButton{58, 61, 69};
const QColor kButtonOver{102, 46, 47};
const QColor kButtonEdge{86, 90, 101};

QRect windowRect(const model::Rect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

QColor toQColor(settings::Rgb c) {
    return QColor(c.r, c.g, c.b);
}

}  // namespace

void MainWindow::mousePressEvent(QMouseEvent* e) {
    QWidget::mousePressEvent(e);
    if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton) return;
    auto guard = m_model->lock();
    const QPoint pos = e->position().toPoint();
    if (m_view.press({pos.x(), pos.y()}, e->button() == Qt::RightButton, guard->image)) {
        guard.unlock();
        update();
    }
}

void MainWindow::dragStroke(QPoint pos) {
    if (!m_view.state().stroke) return;
    auto guard = m_model->lock();
    if (m_view.drag({pos.x(), pos.y()}, guard->image)) {
        guard.unlock();
        update();
    }
}

void MainWindow::chooseColourCommand() {
    const settings::Rgb current = m_view.state().paintColour;
    const QColor chosen =
        QColorDialog::getColor(toQColor(current), this, qs(txt::kKeyColour, m_context.language));
    if (!chosen.isValid()) return;  // cancelled
    m_view.setPaintColour({static_cast<std::uint8_t>(chosen.red()),
                           static_cast<std::uint8_t>(chosen.green()),
                           static_cast<std::uint8_t>(chosen.blue())});
    update();
}

void MainWindow::paintDiyControls(QPainter& p) {
    const mainwindow::ViewState& v = m_view.state();
    const mainwindow::PanelLayout layout = mainwindow::panelLayout(v.panel);
    const settings::Rgb paint = v.paintColour;
    const auto chooser = mainwindow::hitArea(hit::kPaintChooser, layout);
    const QRect box = windowRect(*chooser).adjusted(1, 1, -1, -1);
    // The chooser shows the paint colour when it is not a palette colour, else a colour wheel.
    const auto swatch = settings::paletteIndexOf(paint);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (swatch) {
        QConicalGradient wheel(QPointF(box.center()) + QPointF(0.5, 0.5), 90);
        for (int i = 0; i <= 6; ++i) {
            wheel.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 255, 255));
        }
        p.setBrush(wheel);
    } else {
        p.setBrush(toQColor(paint));
    }
    p.setPen(QPen(kButtonEdge, 1));
    p.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    // The chosen paint colour is marked with a ring around its swatch.
    const int marked = swatch ? hit::kLightingSpot + *swatch : hit::kPaintChooser;
    const QRect ring = windowRect(*mainwindow::hitArea(marked, layout));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kMark, 2));
    p.drawRoundedRect(QRectF(ring).adjusted(0, 0, 1, 1), 4, 4);
    p.restore();

    const struct {
        int code;
        const BiText* caption;
    } buttons[] = {{hit::kFillAll, &txt::kFillAll}, {hit::kClearAll, &txt::kClearAll}};
    for (const auto& b : buttons) {
        const QRect r = windowRect(*mainwindow::hitArea(b.code, layout));
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(v.hovered(b.code) ? kMark : kButtonEdge, 1));
        p.setBrush(v.hovered(b.code) ? kButtonOver : kButton);
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, 0.5, 0.5), 4, 4);
        p.restore();
        skin::drawCaption(
            p, windowRect(mainwindow::surface::diyCaptionBox(*mainwindow::hitArea(b.code, layout))),
            qs(*b.caption, m_context.language), mainwindow::surface::kDiyButtonCaptionHeight);
    }
}

}  // namespace tavrik::app
