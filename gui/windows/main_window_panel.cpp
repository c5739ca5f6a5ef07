// Painting of the settings panel: the lighting section, the macro button, the game, response
// time and report rate sections, and the two drop-down lists. Everything is placed from the
// panel layout; the fixed texts come from the panel scene, the same data the label-fit test
// checks.

#include <QPainter>
#include <algorithm>

#include "host/qt/qt_rect.h"
#include "host/qt/qt_text.h"
#include "mainwindow/direction_row.h"
#include "mainwindow/panel_scene.h"
#include "mainwindow/texts.h"
#include "settings/diy_paint.h"
#include "settings/effects.h"
#include "settings/panel.h"
#include "settings/response_time.h"
#include "skin/text_style.h"
#include "windows/main_window.h"

namespace tavrik::app {
namespace {

namespace txt = mainwindow::text;
namespace img = model::image;
namespace sf = mainwindow::surface;
using mainwindow::kPanelLeft;

const QColor kRowHovered{80, 0, 0};
const QColor kRow{59, 59, 59};
const QColor kRowCurrent{78, 81, 92};
const QColor kCurrentMark{196, 40, 52};  // the skin's accent: a bar at the current row's left
constexpr int kCurrentMarkWidth = 3;
const QColor kListBacking{30, 31, 35};  // the panel frame's inside
const QColor kListEdge{86, 90, 101};
const QColor kRule{72, 75, 84};  // the rule between the swatches and the sliders
const QColor kSwatchEdge{24, 25, 29};
const QColor kTick{86, 90, 101};
const QColor kRateText{193, 195, 200};

// Covers the panel beside an open list, and frames the list.
void paintListBacking(QPainter& p, const QRect& list) {
    p.fillRect(toQRect(sf::listBacking(list.top(), 1, list.height())), kListBacking);
    p.setPen(kListEdge);
    p.setBrush(Qt::NoBrush);
    p.drawRect(list.adjusted(-1, 0, 0, 0));
}

// One row of a drop-down list: hovered, the current value (marked at its left), or plain.
void paintListRow(QPainter& p, const QRect& row, bool hovered, bool current) {
    p.fillRect(row, hovered ? kRowHovered : current ? kRowCurrent : kRow);
    if (current)
        p.fillRect(QRect(row.left(), row.top(), kCurrentMarkWidth, row.height()), kCurrentMark);
}

}  // namespace

QString MainWindow::effectName(std::uint8_t effect) const {
    const std::string_view name = settings::effectName(effect, m_context.language);
    return qs(name);
}

void MainWindow::drawRadio(QPainter& p, bool selected, model::Point at) {
    drawSkin(p, selected ? QStringLiteral("Enable.png") : QStringLiteral("Disable.png"), at);
}

void MainWindow::drawPanelText(QPainter& p, const mainwindow::PanelText& t) {
    const QString s = qs(*t.text, m_context.language);
    const QRect box = toQRect(t.box);
    switch (t.fit) {
        case mainwindow::TextFit::Written:
            drawText(p, s, t.box.left, t.box.top, t.height);
            return;
        case mainwindow::TextFit::Right:
            skin::drawCaption(p, box, s, t.height, Qt::white, Qt::AlignRight);
            return;
        case mainwindow::TextFit::Centred:
        case mainwindow::TextFit::Chip:
            skin::drawCaption(p, box, s, t.height, t.secondary ? kRateText : Qt::white);
            return;
    }
}

void MainWindow::paintPanel(QPainter& p) {
    const mainwindow::ViewState& v = m_view.state();
    const std::uint8_t effect = m_shownImage[img::kEffect];
    m_panelLayout = mainwindow::panelLayout(v.panel, effect);
    const mainwindow::PanelLayout& layout = m_panelLayout;
    paintLightingSection(p);
    drawSkin(p, QStringLiteral("MacroButton3.png"),
             sf::topLeft(sf::below(sf::kMacroButton, layout.macroTop)));
    paintGameSection(p, layout.gameTop);
    paintResponseAndReport(p, layout);
    for (const mainwindow::PanelText& t :
         mainwindow::panelScene(v.panel, effect, m_context.language).texts) {
        drawPanelText(p, t);
    }
    if (v.panel.effectListOpen) paintEffectList(p);
    if (v.panel.responseListOpen) paintResponseList(p, layout.responseListTop);
}

void MainWindow::paintLightingBody(QPainter& p, int bottom) {
    // A plain body picture as high as the rows the effect uses: its upper part, then its last
    // rows for the bottom edge.
    const QString body = QStringLiteral("LEDEffect_open.png");
    const QSize size = m_skin.size(body);
    if (size.isEmpty()) return;
    const int height = bottom - mainwindow::kLightingBodyTop + 1;
    const int edge = std::min(3, size.height());
    const int upper = std::clamp(height - edge, 0, size.height() - edge);
    m_skin.drawPart(p, QPoint(sf::kLightingBody.x, sf::kLightingBody.y),
                    QRect(0, 0, size.width(), upper), body);
    m_skin.drawPart(p, QPoint(sf::kLightingBody.x, bottom - edge + 1),
                    QRect(0, size.height() - edge, size.width(), edge), body);
}

void MainWindow::paintLightingSection(QPainter& p) {
    const settings::PanelView& panel = m_view.state().panel;
    const mainwindow::PanelLayout& layout = m_panelLayout;
    drawSkin(p, QStringLiteral("itemBK.png"), sf::kLightingHeader);
    // The same fold marker as the other sections: that of the response time header.
    const QRect marker = toQRect(sf::kFoldMarker);
    m_skin.drawPart(p, marker.topLeft() + QPoint(sf::kLightingHeader.x, sf::kLightingHeader.y),
                    marker,
                    panel.lightingCollapsed ? QStringLiteral("responsetime_close.png")
                                            : QStringLiteral("responsetime_open.png"));
    if (panel.lightingCollapsed) return;
    const std::uint8_t effect = m_shownImage[img::kEffect];
    paintLightingBody(p, layout.lightingBottom);
    drawSkin(p, QStringLiteral("Light_Item.png"), sf::topLeft(sf::kEffectBox));
    drawText(p, effectName(effect), sf::kEffectName.box.left, sf::kEffectName.box.top,
             sf::kEffectName.height);
    if (layout.speedShown) {
        drawSkin(p, QStringLiteral("freq.png"), model::Point{kPanelLeft, layout.sliderTop});
    }
    paintDirectionRow(p);
    if (layout.viewTop) {
        const bool diy = panel.diyView;
        drawRadio(p, !diy, sf::below(sf::kKeymapRadioPicture, *layout.viewTop));
        drawRadio(p, diy, sf::below(sf::kDiyRadioPicture, *layout.viewTop));
    }
    // The eight swatches, and the rule between them and the sliders.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kSwatchEdge, 1));
    for (int i = 0; i < settings::kPaletteSize; ++i) {
        const model::Rect r =
            sf::below(sf::shifted(sf::kSwatch, sf::kSwatchStep * i), layout.swatchTop);
        const settings::Rgb c = settings::kPalette[static_cast<std::size_t>(i)];
        p.setBrush(QColor(c.r, c.g, c.b));
        p.drawRoundedRect(QRectF(r.left + 1, r.top + 1, r.width() - 1, r.height() - 1), 4, 4);
    }
    p.restore();
    const int rule = layout.sliderTop - 1;
    p.fillRect(QRect(kPanelLeft + 9, rule, sf::kHeaderWidth - 18, 1), kRule);
    if (mainwindow::diyViewActive(m_view.state(), effect) && !panel.effectListOpen) {
        paintDiyControls(p);
    }
}

void MainWindow::paintDirectionRow(QPainter& p) {
    const auto top = m_panelLayout.directionTop;
    if (!top) return;
    const mainwindow::DirectionRow row =
        mainwindow::directionRow(m_shownImage[img::kEffect], m_shownImage[img::kDirection]);
    const int y = *top + mainwindow::kDirectionButtonDrop;
    const auto arrow = [&](int i, const char* state) {
        const auto a = row.arrows[static_cast<std::size_t>(i)];
        drawSkin(p,
                 QStringLiteral("Direction-%1-%2.png")
                     .arg(QString::fromLatin1(a.data(), static_cast<qsizetype>(a.size())),
                          QLatin1String(state)),
                 settings::kDirectionButtonX[static_cast<std::size_t>(i)], y);
    };
    for (int i = 0; i < static_cast<int>(row.arrows.size()); ++i) arrow(i, "Disable");
    if (row.lit) arrow(*row.lit, "Enable");
}

void MainWindow::paintGameSection(QPainter& p, int g) {
    if (m_view.state().panel.gameCollapsed) {
        drawSkin(p, QStringLiteral("gamemode_Close.png"), sf::below(sf::kGameBody, g));
        return;
    }
    drawSkin(p, QStringLiteral("gamemode_open.png"), sf::below(sf::kGameBody, g));
    const bool game = m_shownImage[img::kGameMode] == 1;
    const bool winLock = m_shownImage[img::kWinLock] == 1;
    drawRadio(p, game, sf::below(sf::topLeft(sf::kGameModeOn), g));
    drawRadio(p, !game, sf::below(sf::topLeft(sf::kGameModeOff), g));
    drawRadio(p, winLock, sf::below(sf::topLeft(sf::kWinLockOn), g));
    drawRadio(p, !winLock, sf::below(sf::topLeft(sf::kWinLockOff), g));
}

void MainWindow::paintResponseAndReport(QPainter& p, const mainwindow::PanelLayout& layout) {
    const settings::PanelView& panel = m_view.state().panel;
    const int r = layout.responseTop;
    drawSkin(p,
             panel.responseCollapsed ? QStringLiteral("responsetime_close.png")
                                     : QStringLiteral("responsetime_open.png"),
             sf::Point{kPanelLeft, r});
    if (!panel.responseCollapsed) {
        drawSkin(p, QStringLiteral("Light_Item.png"), sf::below(sf::kResponseField, r));
        const std::string value = settings::responseValueText(m_shownImage[img::kResponseTime]);
        const sf::TextSpot spot = sf::below(sf::kResponseValue, r);
        drawText(p, QString::fromStdString(value), spot.box.left, spot.box.top, spot.height);
    }
    const int top = layout.reportTop;
    drawSkin(p,
             panel.reportCollapsed ? QStringLiteral("reportrate_Close.png")
                                   : QStringLiteral("reportrate_Open.png"),
             sf::Point{kPanelLeft, top});
    if (panel.reportCollapsed) return;
    // A tick under each stop of the slider; the rates are centred under them (panel scene).
    for (int i = 0; i < sf::kReportStops; ++i) {
        const int x = mainwindow::reportStop(i, top).tickX;
        p.fillRect(
            QRect(QPoint(x, top + sf::kReportTickTop), QPoint(x, top + sf::kReportTickBottom)),
            kTick);
    }
}

void MainWindow::paintEffectList(QPainter& p) {
    const auto hovered = m_view.state().hoveredEffectRow;
    const auto current = settings::effectRow(m_shownImage[img::kEffect]);
    const int rowHeight = settings::kListRowHeight;
    paintListBacking(p, QRect(settings::kEffectListLeft, settings::kEffectListTop, sf::kListWidth,
                              rowHeight * settings::kEffectCount));
    // The names at the height of the effect box's own, centred in their rows.
    const int textDrop = (rowHeight - sf::kEffectListTextHeight) / 2;
    for (int row = 0; row < settings::kEffectCount; ++row) {
        const int y = settings::kEffectListTop + rowHeight * row;
        paintListRow(p, QRect(settings::kEffectListLeft, y, sf::kListWidth, rowHeight),
                     hovered == row, current == row);
        drawText(p, effectName(settings::effectTable()[static_cast<std::size_t>(row)].code),
                 sf::kEffectName.box.left, y + textDrop, sf::kEffectListTextHeight);
    }
}

void MainWindow::paintResponseList(QPainter& p, int top) {
    const auto hovered = m_view.state().hoveredResponseRow;
    const int rowHeight = settings::kListRowHeight;
    paintListBacking(p, QRect(settings::kResponseListLeft, top, sf::kListWidth,
                              rowHeight * settings::kResponseRowCount));
    const int textDrop = (rowHeight - sf::kResponseListTextHeight) / 2;
    const int byte = m_shownImage[img::kResponseTime];
    for (int row = 0; row < settings::kResponseRowCount; ++row) {
        const int y = top + rowHeight * row;
        paintListRow(p, QRect(settings::kResponseListLeft, y, sf::kListWidth, rowHeight),
                     hovered == row, settings::responseByteForRow(row) == byte);
        const std::string_view text = settings::responseRowText(row);
        drawText(p, QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())),
                 sf::kResponseListTextX, y + textDrop, sf::kResponseListTextHeight);
    }
}

}  // namespace tavrik::app
