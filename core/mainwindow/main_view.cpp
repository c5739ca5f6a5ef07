#include "mainwindow/main_view.h"

#include <utility>
#include <vector>

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
    if (code >= kKeyGroup && code < kKeyGroup + settings::kKeyGroupCount) {
        return {Command::SelectGroup, -1, -1, code - kKeyGroup};
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
        case Command::SelectGroup:
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
        const int top = panelLayout(panel, effectOf(image)).responseListTop;
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
        // A swatch clicked while keys are selected also paints them.
        case Command::PaintSwatch:
            if (diyViewActive(m_state, effectOf(image)) && c.swatch >= 0 &&
                c.swatch < settings::kPaletteSize) {
                m_state.paintColour = settings::kPalette[static_cast<std::size_t>(c.swatch)];
                return paintSelection(image, m_state.paintColour);
            }
            return false;
        case Command::FillAll:
            return diyViewActive(m_state, effectOf(image)) && m_history.record(image, [&] {
                return settings::fillDiyTable(image, m_state.paintColour);
            });
        case Command::ClearAll:
            return diyViewActive(m_state, effectOf(image)) &&
                   m_history.record(image, [&] { return settings::clearDiyTable(image); });
        case Command::SelectGroup:
            if (c.group >= 0 && c.group < settings::kKeyGroupCount) {
                selectGroup(static_cast<settings::KeyGroup>(c.group), image);
            }
            return false;
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
    // The end of a stroke, a box selection or a selecting click does nothing else.
    if (endGesture(image) || std::exchange(m_selectPress, false)) return {};
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
            out.imageChanged |= m_history.record(image, [&] {
                return settings::clickDiyKey(image, *m_state.selectedSlot, m_state.paintColour)
                    .has_value();
            });
        } else {
            out.assignKey = m_state.selectedSlot;
        }
    }
    return out;
}

bool MainView::press(Point p, bool rightButton, model::Image& image, PressModifiers modifiers) {
    endGesture(image);
    m_selectPress = false;
    if (!editsDiy(effectOf(image))) return false;
    const auto slot = keySlotAt(p, true);
    if (!slot) {
        // Beside the keys on the keyboard picture: a box selection.
        if (rightButton || !settings::keyboardField().contains(p) ||
            hitTest(p, m_state.panel, effectOf(image))) {
            return false;
        }
        m_bandStart = p;
        m_bandBase = modifiers.ctrl ? m_state.selection : settings::SlotSet{};
        m_state.band = settings::boxBetween(p, p);
        m_state.selection = m_bandBase | settings::slotsInBox(*m_state.band);
        return true;
    }
    if (!rightButton && (modifiers.ctrl || modifiers.shift)) {
        m_selectPress = true;
        if (modifiers.shift && m_state.selectedSlot) {
            // The anchor stays, so further Shift-clicks change the same box; with Ctrl too the
            // box is added to the selection.
            const settings::SlotSet box = settings::slotsBetween(*m_state.selectedSlot, *slot);
            m_state.selection = modifiers.ctrl ? m_state.selection | box : box;
        } else {
            m_state.selection.flip(static_cast<std::size_t>(*slot));
            m_state.selectedSlot = slot;
        }
        return true;
    }
    m_state.selectedSlot = slot;
    m_state.strokeAt = p;
    m_history.begin(image);
    if (rightButton) {
        m_state.stroke = settings::Stroke::Erase;
        return settings::strokeDiyKey(image, *slot, *m_state.stroke, m_state.paintColour);
    }
    m_state.stroke = settings::clickDiyKey(image, *slot, m_state.paintColour);
    return m_state.stroke.has_value();
}

bool MainView::drag(Point p, model::Image& image) {
    if (m_state.band) {
        m_state.band = settings::boxBetween(m_bandStart, p);
        const settings::SlotSet selection = m_bandBase | settings::slotsInBox(*m_state.band);
        m_state.selection = selection;
        return true;  // the box itself moved
    }
    if (!m_state.stroke || !diyViewActive(m_state, effectOf(image))) return false;
    // Between two positions on the keyboard the pointer is taken to have moved in a straight
    // line, so a fast stroke leaves no key out; off the keyboard its path is not followed.
    const model::Rect field = settings::keyboardField();
    std::vector<int> slots;
    if (m_state.strokeAt && field.contains(*m_state.strokeAt) && field.contains(p)) {
        slots = settings::slotsOnSegment(*m_state.strokeAt, p);
    } else if (const auto slot = keySlotAt(p, true)) {
        slots.push_back(*slot);
    }
    m_state.strokeAt = p;
    bool changed = false;
    for (int s : slots) {
        changed |= settings::strokeDiyKey(image, s, *m_state.stroke, m_state.paintColour);
    }
    return changed;
}

void MainView::endStroke() {
    m_state.stroke.reset();
    m_state.strokeAt.reset();
}

void MainView::endStroke(const model::Image& image) {
    if (m_state.stroke) m_history.commit(image);
    endStroke();
}

bool MainView::endGesture(const model::Image& image) {
    if (m_state.band) {
        m_state.band.reset();
        return true;
    }
    if (!m_state.stroke) return false;
    endStroke(image);
    return true;
}

bool MainView::editsDiy(std::uint8_t effect) const {
    return !m_state.anyOverlayOpen() && diyViewActive(m_state, effect);
}

bool MainView::paintSelection(model::Image& image, settings::Rgb colour) {
    if (m_state.selection.none()) return false;
    return m_history.record(
        image, [&] { return settings::paintDiySlots(image, m_state.selection, colour); });
}

bool MainView::edit(EditCommand command, model::Image& image) {
    if (!editsDiy(effectOf(image))) return false;
    endGesture(image);
    switch (command) {
        case EditCommand::SelectAll: {
            const settings::SlotSet all = settings::allDrawnSlots();
            return std::exchange(m_state.selection, all) != all;
        }
        case EditCommand::ClearSelection:
            return std::exchange(m_state.selection, {}).any();
        case EditCommand::PaintSelection:
            return paintSelection(image, m_state.paintColour);
        case EditCommand::EraseSelection:
            return paintSelection(image, settings::Rgb{});
        case EditCommand::Undo:
            return m_history.undo(image);
        case EditCommand::Redo:
            return m_history.redo(image);
    }
    return false;
}

bool MainView::selectGroup(settings::KeyGroup group, const model::Image& image) {
    if (!diyViewActive(m_state, effectOf(image))) return false;
    const settings::SlotSet keys = settings::groupSlots(group);
    return std::exchange(m_state.selection, keys) != keys;
}

bool MainView::move(Point p, std::uint8_t effect) {
    bool repaint = false;
    const settings::PanelView& panel = m_state.panel;
    if (panel.effectListOpen) {
        auto row = settings::effectListRowAt(p);
        repaint |= row != m_state.hoveredEffectRow;
        m_state.hoveredEffectRow = row;
    } else if (panel.responseListOpen) {
        auto row = settings::responseListRowAt(p, panelLayout(panel, effect).responseListTop);
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
           model::hitTestSlot(p).has_value() ||
           (diyViewActive(m_state, effect) && settings::keyboardField().contains(p));
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
    endStroke();
    m_state.band.reset();
    m_state.selection.reset();
    m_history.clear();
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
