// Painting of the settings panel: four collapsible sections, the macro button, the sliders and
// the two drop-down lists.

#include <QPainter>

#include "mainwindow/direction_row.h"
#include "mainwindow/texts.h"
#include "windows/main_window.h"

namespace tavrik::app {
namespace {

namespace txt = mainwindow::text;
namespace img = model::image;

const QColor kRowHovered{80, 0, 0};
const QColor kRow{59, 59, 59};

constexpr int kSliderWidth = 30;
constexpr int kSliderHeight = 10;

}  // namespace

void CVediVezazivaDlg::drawRadio(QPainter& p, bool selected, int x, int y) {
    drawSkin(p, selected ? QStringLiteral("Enable.png") : QStringLiteral("Disable.png"), x, y);
}

void CVediVezazivaDlg::placeSliders(model::Image& image) {
    const int effect = image[img::kEffect];
    const auto shown = mainwindow::sliderVisibility(m_view.state(), effectHasSpeed(effect));
    const mainwindow::PanelLayout layout = mainwindow::panelLayout(m_view.state().collapse);
    if (shown.reportRate && layout.reportTop != m_reportSliderTop) {
        m_reportSliderTop = layout.reportTop;
        m_reportRateSlider->setGeometry(28, layout.reportTop + 23, kSliderWidth, kSliderHeight);
    }
    // A shown slider and its byte always agree.
    const struct {
        QSlider* slider;
        bool visible;
        std::size_t offset;
    } sliders[] = {{m_speedSlider, shown.speed, img::kSpeed},
                   {m_brightnessSlider, shown.brightness, img::kBrightness},
                   {m_reportRateSlider, shown.reportRate, img::kReportRate}};
    for (const auto& s : sliders) {
        s.slider->setVisible(s.visible);
        if (s.visible) image[s.offset] = static_cast<std::uint8_t>(s.slider->value());
    }
}

void CVediVezazivaDlg::paintPanel(QPainter& p) {
    const mainwindow::ViewState& v = m_view.state();
    const mainwindow::PanelLayout layout = mainwindow::panelLayout(v.collapse);
    paintLightingSection(p);
    const int l = layout.lightingHeight;
    drawSkin(p, QStringLiteral("MacroManagementBK.png"), 19, 110 + l);
    drawSkin(p, QStringLiteral("MacroButton3.png"), 19, 120 + l);
    drawText(p, txt::kMacroManagement, 21, 122 + l, 15);
    paintGameSection(p, layout.gameTop);
    paintResponseAndReport(p, layout);
    if (v.effectListOpen) paintEffectList(p);
    if (v.responseListOpen) paintResponseList(p, layout.responseListTop);
}

void CVediVezazivaDlg::paintLightingSection(QPainter& p) {
    drawSkin(p, QStringLiteral("itemBK.png"), 19, 110);
    drawText(p, txt::kLight, 19, 110, 15);
    if (m_view.state().collapse.lighting) return;
    const int effect = m_shownImage[img::kEffect];
    drawSkin(p, QStringLiteral("LEDEffect_open.png"), 19, 130);
    drawText(p, txt::kEffect, 28, 137, 15);
    drawSkin(p, QStringLiteral("Light_Item.png"), 28, 158);
    drawText(p, effectName(effect), 28, 158, 14);
    if (effectHasSpeed(effect)) {
        drawSkin(p, QStringLiteral("freq.png"), 19, 245);
        if (!m_view.state().effectListOpen) {
            drawText(p, txt::kSpeed, 28, 290, 13);
            drawText(p, txt::kSlow, 28, 317, 13);
            drawText(p, txt::kFast, 230, 317, 13);
        }
    }
    drawText(p, txt::kBrightness, 28, 247, 13);
    drawText(p, txt::kDark, 28, 274, 13);
    drawText(p, txt::kBright, 230, 274, 13);
    paintDirectionRow(p);
    if (mainwindow::diyTableOf(effect)) {
        const bool diy = m_view.state().diyView;
        drawRadio(p, !diy, 28, 199);
        drawRadio(p, diy, 130, 199);
        drawText(p, txt::kKeymap, 45, 197, 15);
        drawText(p, txt::kDiy, 147, 197, 15);
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
                 mainwindow::kDirectionRowX + mainwindow::kDirectionRowStep * i,
                 mainwindow::kDirectionRowY);
    };
    for (int i = 0; i < static_cast<int>(row.arrows.size()); ++i) arrow(i, "Disable");
    if (row.lit) arrow(*row.lit, "Enable");
}

void CVediVezazivaDlg::paintGameSection(QPainter& p, int g) {
    const bool chinese = m_context.language == Language::Chinese;
    if (m_view.state().collapse.game) {
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
    const mainwindow::SectionCollapse& c = m_view.state().collapse;
    const int r = layout.responseTop;
    drawSkin(p,
             c.response ? QStringLiteral("responsetime_close.png")
                        : QStringLiteral("responsetime_open.png"),
             19, r);
    drawText(p, txt::kResponseTime, 19, r, 15);
    if (!c.response) {
        drawSkin(p, QStringLiteral("Light_Item.png"), 28, r + 28);
        drawText(p, QStringLiteral("%1 ms").arg(2 * m_shownImage[img::kResponseTime]), 100, r + 28,
                 15);
    }
    const int top = layout.reportTop;
    drawSkin(
        p,
        c.report ? QStringLiteral("reportrate_Close.png") : QStringLiteral("reportrate_Open.png"),
        19, top);
    drawText(p, txt::kReportRate, 19, top, 15);
}

void CVediVezazivaDlg::paintEffectList(QPainter& p) {
    const auto hovered = m_view.state().hoveredEffectRow;
    for (int row = 0; row < mainwindow::kEffectRowCount; ++row) {
        const int y = mainwindow::kEffectListRect.top + mainwindow::kListRowHeight * row;
        p.fillRect(QRect(28, y, 220, mainwindow::kListRowHeight),
                   hovered == row ? kRowHovered : kRow);
        drawText(p, effectName(effectOfRow(row)), 28, y, 18);
    }
}

void CVediVezazivaDlg::paintResponseList(QPainter& p, int top) {
    const auto hovered = m_view.state().hoveredResponseRow;
    for (int row = 0; row < mainwindow::kResponseRowCount; ++row) {
        const int y = top + mainwindow::kListRowHeight * row;
        p.fillRect(QRect(27, y, 220, mainwindow::kListRowHeight),
                   hovered == row ? kRowHovered : kRow);
        drawText(p, responseRowText(row), 97, y, 18);
    }
}

}  // namespace tavrik::app
