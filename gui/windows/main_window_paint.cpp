// Painting of the main window: the whole surface is composed on every paint from the skin images,
// the configuration and the view state.

#include <QPaintEvent>
#include <QPainter>

#include "host/qt/qt_rect.h"
#include "host/qt/qt_text.h"
#include "mainwindow/texts.h"
#include "model/slot_table.h"
#include "settings/effect_preview.h"
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
constexpr int kPreviewCaptionHeight = 12;
const QColor kPreviewCaptionColour{150, 154, 164};

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

void MainWindow::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.scale(m_surfaceScale, m_surfaceScale);  // scaled down to fit a small screen
    // A preview frame repaints the keyboard picture alone: it covers its area opaquely, and
    // nothing else is drawn over it but the help box.
    if (shownKeyboardArea().contains(e->rect()) && !m_view.state().helpOpen) {
        copyShownState();
        paintKeyboard(p);
        return;
    }
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

void MainWindow::copyShownState() {
    // Drawn from a copy taken under the lock; painting never writes the configuration.
    m_model->withLock([this](const model::ConfigState& s) {
        m_shownImage = s.image;
        m_shownChanged = s.changedKeys;
    });
    followPreview();
}

void MainWindow::paintSurface(QPainter& p) {
    p.fillRect(rect(), kBackground);
    copyShownState();
    paintTitleAndKeyboard(p);
    paintBottomRow(p);
    paintStatusLine(p);
    paintPanel(p);
    if (m_view.state().helpOpen) paintHelpBox(p);
    paintFocusMark(p);
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
    paintKeyboard(p);
}

void MainWindow::paintKeyboard(QPainter& p) {
    if (mainwindow::diyViewActive(m_view.state(), m_shownImage[img::kEffect])) {
        drawSkin(p, QStringLiteral("kb_BK.png"), kOriginX, kOriginY);
        paintDiyView(p);
    } else {
        paintKeyView(p);  // draws the picture with the lit keys
    }
}

QRect MainWindow::keyboardArea() {
    return QRect(QPoint(kOriginX, kOriginY), m_skin.size(QStringLiteral("kb_BK.png")));
}

QRect MainWindow::shownKeyboardArea() {
    const QRectF area = keyboardArea();
    return QRectF(area.topLeft() * m_surfaceScale, area.size() * m_surfaceScale).toAlignedRect();
}

void MainWindow::followPreview() {
    const std::uint8_t effect = m_shownImage[img::kEffect];
    m_preview.follow(
        isVisible() && !isMinimized(),
        settings::previewAnimated(effect) && !mainwindow::diyViewActive(m_view.state(), effect));
}

void MainWindow::showKeyPress(int keyCode) {
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
        if (model::slot(slot).drawn() && model::slot(slot).code == keyCode) {
            m_preview.press(slot);
            return;
        }
    }
}

void MainWindow::paintKeyView(QPainter& p) {
    // The lighting as the keyboard would show it, then the remapped and hovered keys: the
    // highlight picture's cap, with the key's light on a smaller face inside it.
    const settings::KeyColours colours = settings::previewColours(
        settings::lightingOf(m_shownImage), m_preview.seconds(), m_preview.presses());
    const QPoint origin(kOriginX, kOriginY);
    m_litKeys.paintAll(p, origin, colours,
                       m_skin.image(QStringLiteral("kb_BK.png"), p.device()->devicePixelRatioF()));
    const QString highlight = QStringLiteral("kb_hl.png");
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const auto mark = [&](int slot) {
        const QRect r = keyRect(slot);
        m_skin.drawPart(p, r.topLeft(), r.translated(-kOriginX, -kOriginY), highlight);
        m_litKeys.paintKey(p, origin, slot, colours[static_cast<std::size_t>(slot)], true);
    };
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
        // The Win key carries the Win-lock state in its enable bit: never shown as changed.
        if (slot == mainwindow::kWinKeySlot || !model::slot(slot).drawn()) continue;
        if (m_shownChanged[static_cast<std::size_t>(slot)] == 1) mark(slot);
    }
    p.restore();
    if (const auto hovered = m_view.state().hoveredSlot) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        mark(*hovered);
        p.restore();
        paintHoverOutline(p, *hovered);
    }
    paintPreviewCaption(p);
}

void MainWindow::paintPreviewCaption(QPainter& p) {
    // Only where the picture shows an imitation of the lighting, not the keyboard's own.
    if (!settings::effectRow(m_shownImage[img::kEffect])) return;
    drawText(p, qs(txt::kLightingPreview, m_context.language), sf::kPreviewCaption.x,
             sf::kPreviewCaption.y, kPreviewCaptionHeight, kPreviewCaptionColour);
}

void MainWindow::paintHoverOutline(QPainter& p, int slot) {
    // Two pixels out from the cap on every side (a stroked QRect ends a pixel past its right
    // and bottom edges), so it never covers the cap's rim.
    const model::Rect r = model::slot(slot).rect;
    p.setPen(Qt::white);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(QPoint(r.left + kOriginX - 2, r.top + kOriginY - 2),
                     QPoint(r.right + kOriginX + 1, r.bottom + kOriginY + 1)));
}

void MainWindow::paintDiyView(QPainter& p) {
    // The current DIY table as painted: each cell's colour on its cap, exactly.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
        if (!model::slot(slot).drawn()) continue;
        const auto colour = settings::diyKeyColour(m_shownImage, slot);
        if (!colour) continue;  // a cell of zeros: the unlit cap
        m_litKeys.paintKey(p, QPoint(kOriginX, kOriginY), slot, colour->fill);
    }
    p.restore();
    paintDiySelection(p);
    if (auto hovered = m_view.state().hoveredSlot) paintHoverOutline(p, *hovered);
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
    if (editMark() == mainwindow::EditMark::Pending) {
        // Edits not yet on the keyboard: a dot in the Save button's upper right corner.
        const model::Rect& r = sf::kSaveButton.hit;
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(240, 170, 30));
        p.drawEllipse(QPointF(r.right - 6.5, r.top + 6.5), 3.0, 3.0);
        p.restore();
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
