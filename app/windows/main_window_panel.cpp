// Painting of the settings panel: four collapsible sections, the macro button, the sliders and
// the two drop-down lists.

#include <QPainter>

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

const QColor kRowHovered{80, 0, 0};
const QColor kRow{59, 59, 59};

}  // namespace

QString CVediVezazivaDlg::effectName(std::uint8_t effect) const {
    const std::string_view name = settings::effectName(effect, m_context.language);
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// A slider's right-hand caption ends at the slider's right edge, inside the panel.
void CVediVezazivaDlg::rightCaption(QPainter& p, const BiText& t, int y) {
    skin::drawCaption(p, QRect(QPoint(150, y), QPoint(248, y + 15)),
                      QString::fromUtf8(t.in(m_context.language)), 13, Qt::white, Qt::AlignRight);
}

void CVediVezazivaDlg::drawRadio(QPainter& p, bool selected, int x, int y) {
    drawSkin(p, selected ? QStringLiteral("Enable.png") : QStringLiteral("Disable.png"), x, y);
}

void CVediVezazivaDlg::placeSliders(model::Image& image) {
    const settings::PanelView& panel = m_view.state().panel;
    const mainwindow::PanelLayout layout = mainwindow::panelLayout(panel);
    if (!panel.reportCollapsed && layout.reportTop != m_reportSliderTop) {
        m_reportSliderTop = layout.reportTop;
        slider(settings::SliderId::ReportRate)->move(28, layout.reportTop + 23);
    }
    settings::SliderPositions positions{};
    for (settings::SliderId id : settings::kSliders) {
        slider(id)->setVisible(settings::sliderShown(image, panel, id));
        positions[settings::sliderIndex(id)] = slider(id)->value();
    }
    // Colour-choice clamp, and every shown slider stores its position into its byte.
    settings::applyPanelPaint(image, panel, positions);
}

void CVediVezazivaDlg::paintPanel(QPainter& p) {
    const mainwindow::ViewState& v = m_view.state();
    const mainwindow::PanelLayout layout = mainwindow::panelLayout(v.panel);
    paintLightingSection(p);
    const int l = layout.lightingHeight;
    drawSkin(p, QStringLiteral("MacroManagementBK.png"), 19, 110 + l);
    drawSkin(p, QStringLiteral("MacroButton3.png"), 19, 120 + l);
    drawText(p, txt::kMacroManagement, 21, 122 + l, 15);
    paintGameSection(p, layout.gameTop);
    paintResponseAndReport(p, layout);
    if (v.panel.effectListOpen) paintEffectList(p);
    if (v.panel.responseListOpen) paintResponseList(p, layout.responseListTop);
}

void CVediVezazivaDlg::paintLightingSection(QPainter& p) {
    drawSkin(p, QStringLiteral("itemBK.png"), 19, 110);
    drawText(p, txt::kLight, 19, 110, 15);
    const settings::PanelView& panel = m_view.state().panel;
    if (panel.lightingCollapsed) return;
    const std::uint8_t effect = m_shownImage[img::kEffect];
    drawSkin(p, QStringLiteral("LEDEffect_open.png"), 19, 130);
    drawText(p, txt::kEffect, 28, 137, 15);
    drawSkin(p, QStringLiteral("Light_Item.png"), 28, 158);
    drawText(p, effectName(effect), 28, 158, 14);
    if (settings::showsSpeed(effect)) drawSkin(p, QStringLiteral("freq.png"), 19, 245);
    // The open effect list covers the slider rows, but their right-hand captions reach past
    // the list's right edge: the captions go with their sliders while the list is open.
    if (!panel.effectListOpen) {
        if (settings::showsSpeed(effect)) {
            drawText(p, txt::kSpeed, 28, 290, 13);
            drawText(p, txt::kSlow, 28, 317, 13);
            rightCaption(p, txt::kFast, 317);
        }
        drawText(p, txt::kBrightness, 28, 247, 13);
        drawText(p, txt::kDark, 28, 274, 13);
        rightCaption(p, txt::kBright, 274);
    }
    paintDirectionRow(p);
    if (settings::offersDiyView(effect)) {
        const bool diy = panel.diyView;
        drawRadio(p, !diy, 28, 199);
        drawRadio(p, diy, 130, 199);
        drawText(p, txt::kKeymap, 45, 197, 15);
        drawText(p, txt::kDiy, 147, 197, 15);
    }
    if (mainwindow::diyViewActive(m_view.state(), effect) && !panel.effectListOpen) {
        paintDiyControls(p);
    }
}

void CVediVezazivaDlg::paintDirectionRow(QPainter& p) {
    const mainwindow::DirectionRow row =
        mainwindow::directionRow(m_shownImage[img::kEffect], m_shownImage[img::kDirection]);
    if (row.arrows.empty()) return;
    drawText(p, txt::kDirection, 29, 177, 15);
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

void CVediVezazivaDlg::paintGameSection(QPainter& p, int g) {
    const bool chinese = m_context.language == Language::Chinese;
    if (m_view.state().panel.gameCollapsed) {
        drawSkin(p, QStringLiteral("gamemode_Close.png"), 19, g);
        drawText(p, txt::kGameMode, 19, g, 15);
        if (!chinese) drawText(p, txt::kWinLock, 149, g, 15);
        return;
    }
    drawSkin(p, QStringLiteral("gamemode_open.png"), 19, g);
    drawText(p, txt::kGameMode, 19, g, 15);
    drawText(p, txt::kWinLock, 149, g, 15);
    const bool game = m_shownImage[img::kGameMode] == 1;
    const bool winLock = m_shownImage[img::kWinLock] == 1;
    drawRadio(p, game, 34, g + 33);
    drawRadio(p, !game, 88, g + 33);
    drawText(p, txt::kOn, 51, g + 31, 15);
    drawText(p, txt::kOff, 105, g + 31, 15);
    drawRadio(p, winLock, 164, g + 33);
    drawRadio(p, !winLock, 218, g + 33);
    drawText(p, txt::kOn, 181, g + 31, 15);
    drawText(p, txt::kOff, 235, g + 31, 15);
}

void CVediVezazivaDlg::paintResponseAndReport(QPainter& p, const mainwindow::PanelLayout& layout) {
    const settings::PanelView& panel = m_view.state().panel;
    const int r = layout.responseTop;
    drawSkin(p,
             panel.responseCollapsed ? QStringLiteral("responsetime_close.png")
                                     : QStringLiteral("responsetime_open.png"),
             19, r);
    drawText(p, txt::kResponseTime, 19, r, 15);
    if (!panel.responseCollapsed) {
        drawSkin(p, QStringLiteral("Light_Item.png"), 28, r + 28);
        const std::string value = settings::responseValueText(m_shownImage[img::kResponseTime]);
        drawText(p, QString::fromStdString(value), 100, r + 28, 15);
    }
    const int top = layout.reportTop;
    drawSkin(p,
             panel.reportCollapsed ? QStringLiteral("reportrate_Close.png")
                                   : QStringLiteral("reportrate_Open.png"),
             19, top);
    drawText(p, txt::kReportRate, 19, top, 15);
}

void CVediVezazivaDlg::paintEffectList(QPainter& p) {
    const auto hovered = m_view.state().hoveredEffectRow;
    for (int row = 0; row < settings::kEffectCount; ++row) {
        const int y = settings::kEffectListTop + settings::kListRowHeight * row;
        p.fillRect(QRect(settings::kEffectListLeft, y, 220, settings::kListRowHeight),
                   hovered == row ? kRowHovered : kRow);
        drawText(p, effectName(settings::effectTable()[static_cast<std::size_t>(row)].code),
                 settings::kEffectListLeft, y, 18);
    }
}

void CVediVezazivaDlg::paintResponseList(QPainter& p, int top) {
    const auto hovered = m_view.state().hoveredResponseRow;
    for (int row = 0; row < settings::kResponseRowCount; ++row) {
        const int y = top + settings::kListRowHeight * row;
        p.fillRect(QRect(settings::kResponseListLeft, y, 220, settings::kListRowHeight),
                   hovered == row ? kRowHovered : kRow);
        const std::string_view text = settings::responseRowText(row);
        drawText(p, QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), 97, y,
                 18);
    }
}

}  // namespace tavrik::app
