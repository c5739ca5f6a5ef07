// Painting of the main window: the whole surface is composed on every paint from the skin images,
// the configuration and the view state.

#include <QPaintEvent>
#include <QPainter>

#include "mainwindow/texts.h"
#include "model/slot_table.h"
#include "settings/panel.h"
#include "skin/text_style.h"
#include "windows/main_window.h"

namespace tavrik::app {
namespace {

namespace txt = mainwindow::text;
namespace img = model::image;

const QColor kBackground{53, 53, 53};
const QColor kRowHovered{80, 0, 0};
const QColor kRow{59, 59, 59};
constexpr int kOriginX = model::kKeyboardOrigin.x;
constexpr int kOriginY = model::kKeyboardOrigin.y;

QRect keyRect(int slot) {
    const model::Rect r = model::slotTable()[static_cast<std::size_t>(slot)].rect;
    return QRect(r.left + kOriginX, r.top + kOriginY, r.width(), r.height());
}

}  // namespace

void CVediVezazivaDlg::drawSkin(QPainter& p, const QString& name, int x, int y) {
    m_skin.draw(p, x, y, name);  // a missing image leaves the area undrawn
}

void CVediVezazivaDlg::drawText(QPainter& p, const QString& t, int x, int y, int height,
                                const QColor& colour) {
    skin::drawText(p, x, y, t, height, colour);
}

void CVediVezazivaDlg::drawText(QPainter& p, const BiText& t, int x, int y, int height) {
    drawText(p, QString::fromUtf8(t.in(m_context.language)), x, y, height);
}

void CVediVezazivaDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintSurface(p);
}

QImage CVediVezazivaDlg::renderSurface() {
    return grab().toImage();
}

void CVediVezazivaDlg::paintSurface(QPainter& p) {
    p.fillRect(rect(), kBackground);
    // The window thread never waits for a device job: while one holds the configuration, the
    // surface is drawn from the copy of the last paint.
    if (auto guard = m_model->tryLock()) {
        model::ConfigState& s = *guard;
        placeSliders(s.image);
        m_shownImage = s.image;
        m_shownChanged = s.changedKeys;
    }
    paintTitleAndKeyboard(p);
    paintBottomRow(p);
    paintStatusLine(p);
    paintPanel(p);
    if (m_view.state().helpOpen) paintHelpBox(p);
}

void CVediVezazivaDlg::paintTitleAndKeyboard(QPainter& p) {
    drawSkin(p, QStringLiteral("main.png"), 0, 0);
    const auto button = [&](const char* name, int code, int x) {
        const char* state = m_view.state().hovered(code) ? "-over.png" : "-normal.png";
        drawSkin(p, QStringLiteral("button-%1%2").arg(QLatin1String(name), QLatin1String(state)), x,
                 5);
    };
    button("help", mainwindow::hit::kHelp, 936);
    button("min", mainwindow::hit::kMinimise, 957);
    button("close", mainwindow::hit::kClose, 978);
    drawSkin(p, QStringLiteral("logo.png"), 19, 35);
    drawSkin(p, QStringLiteral("kb_BK.png"), kOriginX, kOriginY);
    if (mainwindow::diyViewActive(m_view.state(), m_shownImage[img::kEffect])) {
        paintDiyView(p);
    } else {
        paintKeyView(p);
    }
}

void CVediVezazivaDlg::paintKeyView(QPainter& p) {
    const QString highlight = QStringLiteral("kb_hl.png");
    const auto light = [&](int slot) {
        const QRect r = keyRect(slot);
        m_skin.drawPart(p, r.topLeft(), r.translated(-kOriginX, -kOriginY), highlight);
    };
    if (m_view.state().hoveredSlot) light(*m_view.state().hoveredSlot);
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
        // The Win key carries the Win-lock state in its enable bit: never shown as changed.
        if (slot == mainwindow::kWinKeySlot || !model::slot(slot).drawn()) continue;
        if (m_shownChanged[static_cast<std::size_t>(slot)] == 1) light(slot);
    }
}

void CVediVezazivaDlg::paintDiyView(QPainter& p) {
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
        const model::KeySlot& k = model::slot(slot);
        if (!k.drawn()) continue;
        const auto colour = settings::diyKeyColour(m_shownImage, slot);
        if (!colour) continue;  // a cell of zeros: not filled, no label
        p.fillRect(keyRect(slot), QColor(colour->fill.r, colour->fill.g, colour->fill.b));
        drawText(p, QString::fromUtf8(k.label.data(), static_cast<qsizetype>(k.label.size())),
                 k.labelAt.x + kOriginX, k.labelAt.y + kOriginY, 10,
                 QColor(colour->label.r, colour->label.g, colour->label.b));
    }
    if (auto hovered = m_view.state().hoveredSlot) {
        const model::Rect r = model::slot(*hovered).rect;
        p.setPen(Qt::white);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(QPoint(r.left + kOriginX - 2, r.top + kOriginY - 2),
                         QPoint(r.right + kOriginX - 1, r.bottom + kOriginY - 1)));
    }
}

void CVediVezazivaDlg::paintBottomRow(QPainter& p) {
    const struct {
        int code;
        int x;
        const BiText* caption;
    } buttons[] = {{mainwindow::hit::kReturn, 800, &txt::kReturn},
                   {mainwindow::hit::kCancel, 862, &txt::kCancel},
                   {mainwindow::hit::kSave, 924, &txt::kSave}};
    for (const auto& b : buttons) {
        drawSkin(p,
                 m_view.state().hovered(b.code) ? QStringLiteral("button-cancel-over.png")
                                                : QStringLiteral("button-cancel-normal.png"),
                 b.x, 600);
        // Centred in the button picture, shrunk where a caption would run past its edges.
        const QRect box(QPoint(b.x, 600), m_skin.size(QStringLiteral("button-cancel-normal.png")));
        skin::drawCaption(p, box.adjusted(3, 0, -3, 0),
                          QString::fromUtf8(b.caption->in(m_context.language)), 16);
    }
    drawSkin(p, QStringLiteral("text.png"), 96, 610);
    drawSkin(p, QStringLiteral("Config.png"), 17, 603);
    drawText(p, txt::kProfile, 45, 610, 16);
}

void CVediVezazivaDlg::paintHelpBox(QPainter& p) {
    drawSkin(p, QStringLiteral("HelpWindow.png"), 830, 22);
    drawText(p, homePageShown(), 850, 25, 15);
    drawText(p, txt::kUpdateFirmware, 850, 50, 15);
    drawText(p, QString::fromUtf8(txt::kHelpVersion), 850, 75, 15);
    paintAutostartRow(p);
}

}  // namespace tavrik::app
