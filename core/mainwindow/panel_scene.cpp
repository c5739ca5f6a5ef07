#include "mainwindow/panel_scene.h"

#include <algorithm>
#include <string>

#include "mainwindow/direction_row.h"
#include "mainwindow/surface_layout.h"
#include "mainwindow/texts.h"
#include "settings/diy_paint.h"
#include "settings/diy_selection.h"
#include "settings/effects.h"
#include "settings/sliders.h"

namespace tavrik::mainwindow {
namespace {

namespace sf = surface;

constexpr Rect sized(model::Point at, int width, int height) {
    return Rect{at.x, at.y, at.x + width - 1, at.y + height - 1};
}

class SceneBuilder {
public:
    SceneBuilder(const settings::PanelView& panel, std::uint8_t effect, Language language)
        : m_panel(panel),
          m_effect(effect),
          m_language(language),
          m_layout(panelLayout(panel, effect)) {}

    PanelScene build() {
        blocks();
        lighting();
        macro();
        game();
        response();
        report();
        return std::move(m_scene);
    }

private:
    void control(const char* name, Block block, Rect r) {
        m_scene.controls.push_back(PanelControl{name, block, r});
    }
    // Texts under an open list are not drawn: the list lies over them.
    void text(const BiText& t, Rect box, int height, TextFit fit = TextFit::Written,
              bool secondary = false) {
        if (!covered(box)) m_scene.texts.push_back(PanelText{&t, box, height, fit, secondary});
    }
    void text(const BiText& t, const sf::TextSpot& spot) { text(t, spot.box, spot.height); }

    void blocks() {
        const PanelLayout& l = m_layout;
        const auto block = [&](Block b, int top, int bottom) {
            m_scene.blocks.push_back(
                PanelBlock{b, Rect{kPanelLeft, top, kPanelLeft + sf::kHeaderWidth - 1, bottom}});
        };
        block(Block::Lighting, kLightingTop, l.lightingBottom);
        block(Block::Macro, l.macroTop, l.macroTop + kMacroButtonHeight - 1);
        block(Block::Game, l.gameTop,
              l.gameTop + (m_panel.gameCollapsed ? kSectionHeaderHeight : kGameExpandedHeight) - 1);
        block(Block::Response, l.responseTop,
              l.responseTop +
                  (m_panel.responseCollapsed ? kSectionHeaderHeight : kResponseExpandedHeight) - 1);
        block(Block::Report, l.reportTop, l.bottom);
    }

    void lighting() {
        const PanelLayout& l = m_layout;
        text(text::kLight, sf::below(sf::kSectionTitle, kLightingTop));
        if (m_panel.lightingCollapsed) return;
        text(text::kEffect, sf::kEffectLabel);
        control("effect box", Block::Lighting, sf::kEffectBox);
        if (l.directionTop) {
            const DirectionRow row = directionRow(m_effect, 0);
            for (std::size_t i = 0; i < row.arrows.size(); ++i) {
                control(
                    "direction button", Block::Lighting,
                    sized({settings::kDirectionButtonX[i], *l.directionTop + kDirectionButtonDrop},
                          sf::kDirectionButtonWidth + 1, sf::kDirectionButtonHeight + 1));
            }
            text(text::kDirection, sf::below(sf::kDirectionLabel, *l.directionTop));
        }
        if (l.viewTop) {
            const int t = *l.viewTop;
            control("key-map radio", Block::Lighting,
                    sized(sf::below(sf::kKeymapRadioPicture, t), sf::kRadioSize, sf::kRadioSize));
            control("DIY radio", Block::Lighting,
                    sized(sf::below(sf::kDiyRadioPicture, t), sf::kRadioSize, sf::kRadioSize));
            text(text::kKeymap, sf::below(sf::kKeymapLabel, t));
            text(text::kDiy, sf::below(sf::kDiyLabel, t));
        }
        for (int i = 0; i < settings::kPaletteSize; ++i) {
            control("swatch", Block::Lighting,
                    sf::below(sf::shifted(sf::kSwatch, sf::kSwatchStep * i), l.swatchTop));
        }
        const int s = l.sliderTop;
        control("brightness slider", Block::Lighting,
                sized(sf::below(sf::kBrightnessSlider, s), sf::kSliderWidth, sf::kSliderHeight));
        text(text::kBrightness, sf::below(sf::kBrightnessLabel, s));
        text(text::kDark, sf::below(sf::kDarkLabel, s));
        text(text::kBright, sf::below(sf::kBrightCaption, s), sf::kSliderCaptionHeight,
             TextFit::Right);
        if (l.speedShown) {
            control("speed slider", Block::Lighting,
                    sized(sf::below(sf::kSpeedSlider, s), sf::kSliderWidth, sf::kSliderHeight));
            text(text::kSpeed, sf::below(sf::kSpeedLabel, s));
            text(text::kSlow, sf::below(sf::kSlowLabel, s));
            text(text::kFast, sf::below(sf::kFastCaption, s), sf::kSliderCaptionHeight,
                 TextFit::Right);
        }
        if (l.diyControls) {
            // The chooser after the eight swatches belongs to the DIY view.
            control("paint chooser", Block::Lighting,
                    sf::below(sf::shifted(sf::kSwatch, sf::kSwatchStep * settings::kPaletteSize),
                              l.swatchTop));
            const int d = l.diyTop;
            control("Fill all", Block::Lighting, sf::below(sf::kFillAllButton, d));
            control("Clear all", Block::Lighting, sf::below(sf::kClearAllButton, d));
            for (int g = 0; g < settings::kKeyGroupCount; ++g) {
                control("key group chip", Block::Lighting, sf::below(sf::keyGroupChip(g), d));
            }
            text(text::kFillAll, sf::diyCaptionBox(sf::below(sf::kFillAllButton, d)),
                 sf::kDiyButtonCaptionHeight, TextFit::Centred);
            text(text::kClearAll, sf::diyCaptionBox(sf::below(sf::kClearAllButton, d)),
                 sf::kDiyButtonCaptionHeight, TextFit::Centred);
            for (int g = 0; g < settings::kKeyGroupCount; ++g) {
                text(text::kKeyGroups[static_cast<std::size_t>(g)],
                     sf::diyCaptionBox(sf::below(sf::keyGroupChip(g), d)),
                     sf::kKeyGroupCaptionHeight, TextFit::Chip);
            }
        }
    }

    bool covered(const Rect& box) const {
        const auto list = openListArea(m_panel, m_layout);
        return list && overlaps(*list, box);
    }

    void macro() {
        const int m = m_layout.macroTop;
        control("macro button", Block::Macro, sf::below(sf::kMacroButton, m));
        text(text::kMacroManagement, sf::below(sf::kMacroCaption, m));
    }

    void game() {
        const int g = m_layout.gameTop;
        text(text::kGameMode, sf::below(sf::kGameModeTitle, g));
        // Collapsed, the Chinese header has no room for the Win lock title.
        if (!m_panel.gameCollapsed || m_language != Language::Chinese) {
            text(text::kWinLock, sf::below(sf::kWinLockTitle, g));
        }
        if (m_panel.gameCollapsed) return;
        const struct {
            const char* name;
            Rect area;
            const sf::TextSpot* label;
            const BiText* caption;
        } radios[] = {{"game mode on", sf::kGameModeOn, &sf::kGameModeOnLabel, &text::kOn},
                      {"game mode off", sf::kGameModeOff, &sf::kGameModeOffLabel, &text::kOff},
                      {"Win lock on", sf::kWinLockOn, &sf::kWinLockOnLabel, &text::kOn},
                      {"Win lock off", sf::kWinLockOff, &sf::kWinLockOffLabel, &text::kOff}};
        for (const auto& r : radios) {
            control(r.name, Block::Game,
                    sized(sf::below(sf::topLeft(r.area), g), sf::kRadioSize, sf::kRadioSize));
            text(*r.caption, sf::below(*r.label, g));
        }
    }

    void response() {
        const int r = m_layout.responseTop;
        text(text::kResponseTime, sf::below(sf::kSectionTitle, r));
        if (m_panel.responseCollapsed) return;
        control("response box", Block::Response,
                sized(sf::below(sf::kResponseField, r), sf::kListWidth + 1, 16));
    }

    void report() {
        const int p = m_layout.reportTop;
        text(text::kReportRate, sf::below(sf::kSectionTitle, p));
        if (m_panel.reportCollapsed) return;
        control("report slider", Block::Report,
                sized(sf::below(sf::kReportSlider, p), sf::kSliderWidth, sf::kSliderHeight));
        for (int i = 0; i < sf::kReportStops; ++i) {
            const ReportStop stop = reportStop(i, p);
            text(text::kReportRates[static_cast<std::size_t>(i)], stop.label,
                 sf::kReportLabelHeight, TextFit::Centred, true);
        }
    }

    const settings::PanelView& m_panel;
    std::uint8_t m_effect;
    Language m_language;
    PanelLayout m_layout;
    PanelScene m_scene;
};

}  // namespace

bool overlaps(const Rect& a, const Rect& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

std::optional<Rect> openListArea(const settings::PanelView& panel, const PanelLayout& layout) {
    if (panel.effectListOpen) {
        return surface::listBacking(settings::kEffectListTop, settings::kEffectCount,
                                    settings::kListRowHeight);
    }
    if (panel.responseListOpen) {
        return surface::listBacking(layout.responseListTop, settings::kResponseRowCount,
                                    settings::kListRowHeight);
    }
    return std::nullopt;
}

PanelScene panelScene(const settings::PanelView& panel, std::uint8_t effect, Language language) {
    return SceneBuilder(panel, effect, language).build();
}

int sliderThumbCentre(int left, int width, int thumbWidth, int span, int value) {
    const int half = thumbWidth / 2;
    const int first = half;
    const int last = std::max(half, width - 1 - half);
    if (span <= 0) return left + first;
    const int n = std::clamp(value, 0, span) * (last - first);
    return left + first + (2 * n + span) / (2 * span);
}

ReportStop reportStop(int index, int reportTop) {
    namespace sf = surface;
    const int span = sf::kReportStops - 1;
    const int x =
        sliderThumbCentre(sf::kReportSlider.x, sf::kSliderWidth, kSliderThumbWidth, span, index);
    // As wide as the room to the neighbouring stops and the panel's frame allows, centred on
    // the tick.
    const int inside = kPanelLeft + 2;
    const int insideRight = kPanelRight - 2;
    const int halfWidth = std::min({30, x - inside, insideRight - x});
    const int top = reportTop + sf::kReportLabelTop;
    return ReportStop{x, Rect{x - halfWidth, top, x + halfWidth, top + sf::kReportLabelHeight - 1}};
}

}  // namespace tavrik::mainwindow
