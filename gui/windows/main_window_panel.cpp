// Painting of the settings panel: four collapsible sections, the macro button, the sliders and
// the two drop-down lists.

#include <QPainter>

#include "host/qt/qt_rect.h"
#include "host/qt/qt_text.h"
#include "mainwindow/direction_row.h"
#include "mainwindow/texts.h"
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

const QColor kRowHovered{80, 0, 0};
const QColor kRow{59, 59, 59};
const QColor kListBacking{30, 31, 35};  // the panel frame's inside
const QColor kListEdge{86, 90, 101};

// Covers the panel beside an open list, and frames the list.
void paintListBacking(QPainter& p, const QRect& list) {
    p.fillRect(toQRect(sf::listBacking(list.top(), 1, list.height())), kListBacking);
    p.setPen(kListEdge);
    p.setBrush(Qt::NoBrush);
    p.drawRect(list.adjusted(-1, 0, 0, 0));
}

}  // namespace

QString MainWindow::effectName(std::uint8_t effect) const {
    const std::string_view name = settings::effectName(effect, m_context.language);
    return qs(name);
}

// A slider's right-hand caption ends at the slider's right edge, inside the panel.
void MainWindow::rightCaption(QPainter& p, const BiText& t, const model::Rect& box) {
    skin::drawCaption(p, QRect(QPoint(box.left, box.top), QPoint(box.right, box.bottom)),
                      qs(t, m_context.language), sf::kSliderCaptionHeight, Qt::white,
                      Qt::AlignRight);
}

void MainWindow::drawRadio(QPainter& p, bool selected, model::Point at) {
    drawSkin(p, selected ? QStringLiteral("Enable.png") : QStringLiteral("Disable.png"), at);
}

void MainWindow::paintPanel(QPainter& p) {
    const mainwindow::ViewState& v = m_view.state();
    const mainwindow::PanelLayout layout = mainwindow::panelLayout(v.panel);
    paintLightingSection(p);
    const int m = layout.macroTop;
    drawSkin(p, QStringLiteral("MacroManagementBK.png"), sf::below(sf::kMacroBody, m));
    drawSkin(p, QStringLiteral("MacroButton3.png"), sf::below(sf::topLeft(sf::kMacroButton), m));
    drawText(p, txt::kMacroManagement, sf::below(sf::kMacroCaption, m));
    paintGameSection(p, layout.gameTop);
    paintResponseAndReport(p, layout);
    if (v.panel.effectListOpen) paintEffectList(p);
    if (v.panel.responseListOpen) paintResponseList(p, layout.responseListTop);
}

void MainWindow::paintLightingSection(QPainter& p) {
    const settings::PanelView& panel = m_view.state().panel;
    drawSkin(p, QStringLiteral("itemBK.png"), sf::kLightingHeader);
    // The same fold marker as the other sections: that of the response time header.
    const QRect marker = toQRect(sf::kFoldMarker);
    m_skin.drawPart(p, marker.topLeft() + QPoint(sf::kLightingHeader.x, sf::kLightingHeader.y),
                    marker,
                    panel.lightingCollapsed ? QStringLiteral("responsetime_close.png")
                                            : QStringLiteral("responsetime_open.png"));
    drawText(p, txt::kLight, sf::below(sf::kSectionTitle, mainwindow::kLightingTop));
    if (panel.lightingCollapsed) return;
    const std::uint8_t effect = m_shownImage[img::kEffect];
    drawSkin(p, QStringLiteral("LEDEffect_open.png"), sf::kLightingBody);
    drawText(p, txt::kEffect, sf::kEffectLabel);
    drawSkin(p, QStringLiteral("Light_Item.png"), sf::topLeft(sf::kEffectBox));
    drawText(p, effectName(effect), sf::kEffectName.box.left, sf::kEffectName.box.top,
             sf::kEffectName.height);
    if (settings::showsSpeed(effect)) drawSkin(p, QStringLiteral("freq.png"), sf::kSpeedBody);
    // The open effect list covers the slider rows, but their right-hand captions reach past
    // the list's right edge: the captions go with their sliders while the list is open.
    if (!panel.effectListOpen) {
        if (settings::showsSpeed(effect)) {
            drawText(p, txt::kSpeed, sf::kSpeedLabel);
            drawText(p, txt::kSlow, sf::kSlowLabel);
            rightCaption(p, txt::kFast, sf::kFastCaption);
        }
        drawText(p, txt::kBrightness, sf::kBrightnessLabel);
        drawText(p, txt::kDark, sf::kDarkLabel);
        rightCaption(p, txt::kBright, sf::kBrightCaption);
    }
    paintDirectionRow(p);
    if (settings::offersDiyView(effect)) {
        const bool diy = panel.diyView;
        drawRadio(p, !diy, sf::kKeymapRadioPicture);
        drawRadio(p, diy, sf::kDiyRadioPicture);
        drawText(p, txt::kKeymap, sf::kKeymapLabel);
        drawText(p, txt::kDiy, sf::kDiyLabel);
    }
    if (mainwindow::diyViewActive(m_view.state(), effect) && !panel.effectListOpen) {
        paintDiyControls(p);
    }
}

void MainWindow::paintDirectionRow(QPainter& p) {
    const mainwindow::DirectionRow row =
        mainwindow::directionRow(m_shownImage[img::kEffect], m_shownImage[img::kDirection]);
    if (row.arrows.empty()) return;
    drawText(p, txt::kDirection, sf::kDirectionLabel);
    const auto arrow = [&](int i, const char* state) {
        const auto a = row.arrows[static_cast<std::size_t>(i)];
        drawSkin(p,
                 QStringLiteral("Direction-%1-%2.png")
                     .arg(QString::fromLatin1(a.data(), static_cast<qsizetype>(a.size())),
                          QLatin1String(state)),
                 settings::kDirectionButtonX[static_cast<std::size_t>(i)],
                 mainwindow::kDirectionRowY);
    };
    for (int i = 0; i < static_cast<int>(row.arrows.size()); ++i) arrow(i, "Disable");
    if (row.lit) arrow(*row.lit, "Enable");
}

void MainWindow::paintGameSection(QPainter& p, int g) {
    const bool chinese = m_context.language == Language::Chinese;
    if (m_view.state().panel.gameCollapsed) {
        drawSkin(p, QStringLiteral("gamemode_Close.png"), sf::below(sf::kGameBody, g));
        drawText(p, txt::kGameMode, sf::below(sf::kGameModeTitle, g));
        if (!chinese) drawText(p, txt::kWinLock, sf::below(sf::kWinLockTitle, g));
        return;
    }
    drawSkin(p, QStringLiteral("gamemode_open.png"), sf::below(sf::kGameBody, g));
    drawText(p, txt::kGameMode, sf::below(sf::kGameModeTitle, g));
    drawText(p, txt::kWinLock, sf::below(sf::kWinLockTitle, g));
    const bool game = m_shownImage[img::kGameMode] == 1;
    const bool winLock = m_shownImage[img::kWinLock] == 1;
    const auto radio = [&](bool selected, const model::Rect& area, const sf::TextSpot& label,
                           const BiText& caption) {
        drawRadio(p, selected, sf::below(sf::topLeft(area), g));
        drawText(p, caption, sf::below(label, g));
    };
    radio(game, sf::kGameModeOn, sf::kGameModeOnLabel, txt::kOn);
    radio(!game, sf::kGameModeOff, sf::kGameModeOffLabel, txt::kOff);
    radio(winLock, sf::kWinLockOn, sf::kWinLockOnLabel, txt::kOn);
    radio(!winLock, sf::kWinLockOff, sf::kWinLockOffLabel, txt::kOff);
}

void MainWindow::paintResponseAndReport(QPainter& p, const mainwindow::PanelLayout& layout) {
    const settings::PanelView& panel = m_view.state().panel;
    const int r = layout.responseTop;
    drawSkin(p,
             panel.responseCollapsed ? QStringLiteral("responsetime_close.png")
                                     : QStringLiteral("responsetime_open.png"),
             sf::Point{mainwindow::kPanelLeft, r});
    drawText(p, txt::kResponseTime, sf::below(sf::kSectionTitle, r));
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
             sf::Point{mainwindow::kPanelLeft, top});
    drawText(p, txt::kReportRate, sf::below(sf::kSectionTitle, top));
}

void MainWindow::paintEffectList(QPainter& p) {
    const auto hovered = m_view.state().hoveredEffectRow;
    paintListBacking(p, QRect(settings::kEffectListLeft, settings::kEffectListTop, sf::kListWidth,
                              settings::kListRowHeight * settings::kEffectCount));
    for (int row = 0; row < settings::kEffectCount; ++row) {
        const int y = settings::kEffectListTop + settings::kListRowHeight * row;
        p.fillRect(QRect(settings::kEffectListLeft, y, sf::kListWidth, settings::kListRowHeight),
                   hovered == row ? kRowHovered : kRow);
        drawText(p, effectName(settings::effectTable()[static_cast<std::size_t>(row)].code),
                 settings::kEffectListLeft + sf::kListTextInset, y, sf::kListTextHeight);
    }
}

void MainWindow::paintResponseList(QPainter& p, int top) {
    const auto hovered = m_view.state().hoveredResponseRow;
    paintListBacking(p, QRect(settings::kResponseListLeft, top, sf::kListWidth,
                              settings::kListRowHeight * settings::kResponseRowCount));
    for (int row = 0; row < settings::kResponseRowCount; ++row) {
        const int y = top + settings::kListRowHeight * row;
        p.fillRect(QRect(settings::kResponseListLeft, y, sf::kListWidth, settings::kListRowHeight),
                   hovered == row ? kRowHovered : kRow);
        const std::string_view text = settings::responseRowText(row);
        drawText(p, QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())),
                 sf::kResponseListTextX, y, sf::kListTextHeight);
    }
}

}  // namespace tavrik::app
