#include "mainwindow/main_view.h"

#include "model/virtual_keys.h"
#include "settings/effects.h"

namespace tavrik::mainwindow {
namespace {

std::uint8_t effectOf(const model::Image& image) {
    return image[model::image::kEffect];
}

}  // namespace

HitCommand commandForHit(int code) {
    using namespace hit;
    if (code >= kDirection1 && code < kDirection1 + kDirectionCount) {
        return {Command::Direction, code - kDirection1};
    }
    if (code >= kLightingSpot && code < kLightingSpot + kLightingSpotCount) {
        return {Command::PaintSwatch, -1, code - kLightingSpot};
    }
    switch (code) {
        case kHelp:
            return {Command::ToggleHelp};
        case kMinimise:
            return {Command::Hide};
        case kClose:
            return {Command::Close};
        case kEffectBox:
            return {Command::OpenEffectList};
        case kMacros:
            return {Command::Macros};
        case kGameModeOn:
            return {Command::GameModeOn};
        case kGameModeOff:
            return {Command::GameModeOff};
        case kResponseBox:
            return {Command::OpenResponseList};
        case kProfile:
            return {Command::Profile};
        case kReturn:
            return {Command::FactoryReset};
        case kCancel:
            return {Command::Cancel};
        case kSave:
            return {Command::Save};
        case kLightingTitle:
            return {Command::ToggleLighting};
        case kGameTitle:
            return {Command::ToggleGame};
        case kResponseTitle:
            return {Command::ToggleResponse};
        case kReportTitle:
            return {Command::ToggleReport};
        case kWinLockOn:
            return {Command::WinLockOn};
        case kWinLockOff:
            return {Command::WinLockOff};
        case kKeymapView:
            return {Command::KeymapView};
        case kDiyView:
            return {Command::DiyView};
        case kPaintChooser:
            return {Command::ChooseColour};
        case kFillAll:
            return {Command::FillAll};
        case kClearAll:
            return {Command::ClearAll};
        default:
            return {};
    }
}

bool isWindowCommand(Command c) {
    switch (c) {
        case Command::Hide:
        case Command::Close:
        case Command::Macros:
        case Command::Profile:
        case Command::FactoryReset:
        case Command::Cancel:
        case Command::Save:
        case Command::ChooseColour:
            return true;
        case Command::None:
        case Command::ToggleHelp:
        case Command::OpenEffectList:
        case Command::Direction:
        case Command::GameModeOn:
        case Command::GameModeOff:
        case Command::OpenResponseList:
        case Command::ToggleLighting:
        case Command::ToggleGame:
        case Command::ToggleResponse:
        case Command::ToggleReport:
        case Command::WinLockOn:
        case Command::WinLockOff:
        case Command::KeymapView:
        case Command::DiyView:
        case Command::PaintSwatch:
        case Command::FillAll:
        case Command::ClearAll:
            return false;
    }
    return false;
}

MainView::MainView() {
    settings::collapseAllSections(m_state.panel);
}

ReleaseOutcome MainView::releaseOnOverlay(Point p, model::Image& image) {
    ReleaseOutcome out;
    settings::PanelView& panel = m_state.panel;
    if (panel.effectListOpen) {
        out.imageChanged = settings::clickEffectList(image, panel, p);
        m_state.hoveredEffectRow.reset();
    } else if (panel.responseListOpen) {
        const int top = panelLayout(panel).responseListTop;
        out.imageChanged = settings::clickResponseList(image, panel, p, top);
        m_state.hoveredResponseRow.reset();
    } else {
        out.helpRow = helpRowAt(p);
        m_state.helpOpen = false;
    }
    return out;
}

// Applies a command that is not the window's own; true when the image changed.
bool MainView::applyCommand(const HitCommand& c, model::Image& image) {
    settings::PanelView& panel = m_state.panel;
    switch (c.command) {
        case Command::ToggleHelp:
            m_state.helpOpen = !m_state.helpOpen;
            return false;
        case Command::OpenEffectList:
            if (!panel.lightingCollapsed) settings::openEffectList(panel);
            return false;
        case Command::OpenResponseList:
            if (!panel.responseCollapsed) settings::openResponseList(panel);
            return false;
        case Command::ToggleLighting:
            panel.lightingCollapsed = !panel.lightingCollapsed;
            return false;
        case Command::ToggleGame:
            panel.gameCollapsed = !panel.gameCollapsed;
            return false;
        case Command::ToggleResponse:
            panel.responseCollapsed = !panel.responseCollapsed;
            return false;
        case Command::ToggleReport:
            panel.reportCollapsed = !panel.reportCollapsed;
            return false;
        case Command::KeymapView:
            settings::setDiyView(image, panel, false);
            return false;
        case Command::DiyView:
            settings::setDiyView(image, panel, true);
            return false;
        case Command::Direction:
            return settings::pressDirectionButton(image, c.directionButton);
        case Command::GameModeOn:
            settings::setGameMode(image, true);
            return true;
        case Command::GameModeOff:
            settings::setGameMode(image, false);
            return true;
        case Command::WinLockOn:
            settings::setWinLock(image, true);
            return true;
        case Command::WinLockOff:
            settings::setWinLock(image, false);
            return true;
        // The swatches pick the paint colour only where there is something to paint; elsewhere
        // they stay hover-only.
        case Command::PaintSwatch:
            if (diyViewActive(m_state, effectOf(image)) && c.swatch >= 0 &&
                c.swatch < settings::kPaletteSize) {
                m_state.paintColour = settings::kPalette[static_cast<std::size_t>(c.swatch)];
            }
            return false;
        case Command::FillAll:
            return diyViewActive(m_state, effectOf(image)) &&
                   settings::fillDiyTable(image, m_state.paintColour);
        case Command::ClearAll:
            return diyViewActive(m_state, effectOf(image)) && settings::clearDiyTable(image);
        // Nothing, or the window's own commands (isWindowCommand).
        case Command::None:
        case Command::Hide:
        case Command::Close:
        case Command::Macros:
        case Command::Profile:
        case Command::FactoryReset:
        case Command::Cancel:
        case Command::Save:
        case Command::ChooseColour:
            return false;
    }
    return false;
}

ReleaseOutcome MainView::release(Point p, model::Image& image) {
    if (m_state.stroke) {
        m_state.stroke.reset();
        return {};
    }
    if (m_state.anyOverlayOpen()) return releaseOnOverlay(p, image);
    ReleaseOutcome out;
    if (auto code = hitTest(p, m_state.panel, effectOf(image))) {
        out.command = commandForHit(*code);
        out.imageChanged = applyCommand(out.command, image);
    }
    const bool diy = diyViewActive(m_state, effectOf(image));
    m_state.selectedSlot = keySlotAt(p, diy);
    if (m_state.selectedSlot) {
        if (diy) {
            out.imageChanged |=
                settings::clickDiyKey(image, *m_state.selectedSlot, m_state.paintColour)
                    .has_value();
        } else {
            out.assignKey = m_state.selectedSlot;
        }
    }
    return out;
}

bool MainView::press(Point p, bool rightButton, model::Image& image) {
    m_state.stroke.reset();
    if (m_state.anyOverlayOpen() || !diyViewActive(m_state, effectOf(image))) return false;
    const auto slot = keySlotAt(p, true);
    if (!slot) return false;
    m_state.selectedSlot = slot;
    if (rightButton) {
        m_state.stroke = settings::Stroke::Erase;
        return settings::strokeDiyKey(image, *slot, *m_state.stroke, m_state.paintColour);
    }
    m_state.stroke = settings::clickDiyKey(image, *slot, m_state.paintColour);
    return m_state.stroke.has_value();
}

bool MainView::drag(Point p, model::Image& image) {
    if (!m_state.stroke || !diyViewActive(m_state, effectOf(image))) return false;
    const auto slot = keySlotAt(p, true);
    return slot && settings::strokeDiyKey(image, *slot, *m_state.stroke, m_state.paintColour);
}

bool MainView::move(Point p, std::uint8_t effect) {
    bool repaint = false;
    const settings::PanelView& panel = m_state.panel;
    if (panel.effectListOpen) {
        auto row = settings::effectListRowAt(p);
        repaint |= row != m_state.hoveredEffectRow;
        m_state.hoveredEffectRow = row;
    } else if (panel.responseListOpen) {
        auto row = settings::responseListRowAt(p, panelLayout(panel).responseListTop);
        repaint |= row != m_state.hoveredResponseRow;
        m_state.hoveredResponseRow = row;
    } else {
        auto code = hitTest(p, panel, effect);
        repaint |= code != m_state.hoveredCode;
        m_state.hoveredCode = code;
    }
    auto slot = keySlotAt(p, diyViewActive(m_state, effect));
    repaint |= slot != m_state.hoveredSlot;
    m_state.hoveredSlot = slot;
    return repaint;
}

bool MainView::isControlAt(Point p, std::uint8_t effect) const {
    return m_state.anyListOpen() || hitTest(p, m_state.panel, effect).has_value() ||
           model::hitTestSlot(p).has_value();
}

bool MainView::clearHover() {
    const bool any = m_state.hoveredCode || m_state.hoveredSlot;
    m_state.hoveredCode.reset();
    m_state.hoveredSlot.reset();
    return any;
}

void MainView::followEffect(std::uint8_t effect) {
    m_state.panel.diyView = settings::offersDiyView(effect);
}

void MainView::factoryReset() {
    m_state.panel.diyView = false;
    m_state.stroke.reset();
    settings::collapseAllSections(m_state.panel);
}

bool diyViewActive(const ViewState& view, std::uint8_t effect) {
    return view.panel.diyView && settings::isDiyEffect(effect);
}

bool isFilteredKey(int virtualKey) {
    namespace vk = model::vk;
    return virtualKey == vk::kF1 || virtualKey == vk::kReturn || virtualKey == vk::kEscape;
}

}  // namespace tavrik::mainwindow
