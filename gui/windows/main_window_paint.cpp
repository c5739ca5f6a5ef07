// Painting of the main window: the whole surface is composed on every paint from the skin images,
// the configuration and the view state.

#include <QPaintEvent>
#include <QPainter>

#include "host/qt/qt_rect.h"
#include "host/qt/qt_text.h"
#include "mainwindow/texts.h"
#include "model/slot_table.h"
#include "settings/panel.h"
#include "skin/text_style.h"
#include "windows/main_window.h"

namespace tavrik::app {
namespace {

namespace txt = mainwindow::text;
namespace img = model::image;
namespace sf = mainwindow::surface;

const QColor kBackground{53, 53, 53};
constexpr int kOriginX = model::kKeyboardOrigin.x;
constexpr int kOriginY = model::kKeyboardOrigin.y;
constexpr int kKeyLabelHeight = 10;

QRect keyRect(int slot) {
    const model::Rect r = model::slotTable()[static_cast<std::size_t>(slot)].rect;
    return QRect(r.left + kOriginX, r.top + kOriginY, r.width(), r.height());
}

}  // namespace

void MainWindow::drawSkin(QPainter& p, const QString& name, int x, int y) {
    m_skin.draw(p, x, y, name);  // a missing image leaves the area undrawn
}

void MainWindow::drawSkin(QPainter& p, const QString& name, model::Point at) {
    drawSkin(p, name, at.x, at.y);
}

void MainWindow::drawText(QPainter& p, const BiText& t, const mainwindow::surface::TextSpot& spot) {
    drawText(p, t, spot.box.left, spot.box.top, spot.height);
}

void MainWindow::drawText(QPainter& p, const QString& t, int x, int y, int height,
                          const QColor& colour) {
    skin::drawText(p, x, y, t, height, colour);
}

void MainWindow::drawText(QPainter& p, const BiText& t, int x, int y, int height) {
    drawText(p, qs(t, m_context.language), x, y, height);
}

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintSurface(p);
}

void MainWindow::paintOffScreen() {
    const qreal ratio = devicePixelRatioF();
    QImage frame(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(ratio);
    QPainter p(&frame);
    paintSurface(p);
}

QImage MainWindow::renderSurface() {
    return grab().toImage();
}

void MainWindow::paintSurface(QPainter& p) {
    p.fillRect(rect(), kBackground);
    // Drawn from a copy taken under the lock; painting never writes the configuration.
    m_model->withLock([this](const model::ConfigState& s) {
        m_shownImage = s.image;
        m_shownChanged = s.changedKeys;
    });
    paintTitleAndKeyboard(p);
    paintBottomRow(p);
    paintStatusLine(p);
    paintPanel(p);
    if (m_view.state().helpOpen) paintHelpBox(p);
}

void MainWindow::paintTitleAndKeyboard(QPainter& p) {
    drawSkin(p, QStringLiteral("main.png"), 0, 0);
    const auto button = [&](const char* name, int code, const model::Rect& at) {
        const char* state = m_view.state().hovered(code) ? "-over.png" : "-normal.png";
        drawSkin(p, QStringLiteral("button-%1%2").arg(QLatin1String(name), QLatin1String(state)),
                 sf::topLeft(at));
    };
    button("help", mainwindow::hit::kHelp, sf::kHelpButton);
    button("min", mainwindow::hit::kMinimise, sf::kMinimiseButton);
    button("close", mainwindow::hit::kClose, sf::kCloseButton);
    drawSkin(p, QStringLiteral("logo.png"), sf::kLogo);
    drawSkin(p, QStringLiteral("kb_BK.png"), kOriginX, kOriginY);
    if (mainwindow::diyViewActive(m_view.state(), m_shownImage[img::kEffect])) {
        paintDiyView(p);
    } else {
        paintKeyView(p);
    }
}

void MainWindow::paintKeyView(QPainter& p) {
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

void MainWindow::paintDiyView(QPainter& p) {
    // One font for every label: building it per key would measure the font each time.
    const QFont labelFont = skin::textFont(kKeyLabelHeight);
    p.save();
    p.setBackgroundMode(Qt::TransparentMode);
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
        const model::KeySlot& k = model::slot(slot);
        if (!k.drawn()) continue;
        const auto colour = settings::diyKeyColour(m_shownImage, slot);
        if (!colour) continue;  // a cell of zeros: not filled, no label
        // Square fills: rounded, antialiased ones cost about 1 ms a repaint at scale 2 once
        // every key is painted.
        p.fillRect(keyRect(slot), QColor(colour->fill.r, colour->fill.g, colour->fill.b));
        p.setFont(labelFont);
        p.setPen(QColor(colour->label.r, colour->label.g, colour->label.b));
        p.drawText(QRect(k.labelAt.x + kOriginX, k.labelAt.y + kOriginY, 4096, 4096),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, qs(k.label));
    }
    p.restore();
    paintDiySelection(p);
    if (auto hovered = m_view.state().hoveredSlot) {
        const model::Rect r = model::slot(*hovered).rect;
        p.setPen(Qt::white);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(QPoint(r.left + kOriginX - 2, r.top + kOriginY - 2),
                         QPoint(r.right + kOriginX - 1, r.bottom + kOriginY - 1)));
    }
}

void MainWindow::paintBottomRow(QPainter& p) {
    const struct {
        int code;
        const sf::BottomButton& at;
        const BiText* caption;
    } buttons[] = {{mainwindow::hit::kReturn, sf::kReturnButton, &txt::kReturn},
                   {mainwindow::hit::kCancel, sf::kCancelButton, &txt::kCancel},
                   {mainwindow::hit::kSave, sf::kSaveButton, &txt::kSave}};
    for (const auto& b : buttons) {
        drawSkin(p,
                 m_view.state().hovered(b.code) ? QStringLiteral("button-cancel-over.png")
                                                : QStringLiteral("button-cancel-normal.png"),
                 b.at.picture);
        // Centred in the button picture, shrunk where a caption would run past its edges.
        skin::drawCaption(p, toQRect(b.at.caption), qs(*b.caption, m_context.language),
                          sf::kBottomCaptionHeight);
    }
    drawSkin(p, QStringLiteral("text.png"), sf::kFooterStrip);
    drawSkin(p, QStringLiteral("Config.png"), sf::kProfilePicture);
    drawText(p, txt::kProfile, sf::kProfileCaption);
}

void MainWindow::paintHelpBox(QPainter& p) {
    drawSkin(p, QStringLiteral("HelpWindow.png"), sf::kHelpBox);
    const sf::TextSpot row = sf::kHelpRowText;
    drawText(p, homePageShown(), row.box.left, row.box.top, row.height);
    drawText(p, txt::kUpdateFirmware, sf::below(row, sf::kHelpRowHeight));
    const sf::TextSpot version = sf::below(row, 2 * sf::kHelpRowHeight);
    drawText(p, qs(txt::kHelpVersion), version.box.left, version.box.top, version.height);
    paintAutostartRow(p);
}

}  // namespace tavrik::app
