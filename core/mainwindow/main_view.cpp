#include "mainwindow/main_view.h"

namespace tavrik::mainwindow {
namespace {

constexpr int kFirstDiyEffect = 51;
constexpr int kDiyEffectCount = 5;

constexpr int kVkReturn = 0x0D;
constexpr int kVkEscape = 0x1B;
constexpr int kVkF1 = 0x70;

}  // namespace

HitCommand commandForHit(int code) {
    using namespace hit;
    if (code >= kDirection1 && code < kDirection1 + kDirectionCount) {
        return {Command::Direction, code - kDirection1};
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
        default:
            return {};
    }
}

ReleaseOutcome MainView::releaseOnOverlay(Point p) {
    ReleaseOutcome out;
    if (m_state.effectListOpen) {
        out.effectRow = effectRowAt(p);
        m_state.effectListOpen = false;
        m_state.hoveredEffectRow.reset();
    } else if (m_state.responseListOpen) {
        out.responseRow = responseRowAt(p, panelLayout(m_state.collapse));
        m_state.responseListOpen = false;
        m_state.hoveredResponseRow.reset();
    } else {
        out.helpRow = helpRowAt(p);
        m_state.helpOpen = false;
    }
    return out;
}

void MainView::applyViewCommand(Command c) {
    SectionCollapse& s = m_state.collapse;
    switch (c) {
        case Command::ToggleHelp:
            m_state.helpOpen = !m_state.helpOpen;
            break;
        case Command::OpenEffectList:
            if (!s.lighting) m_state.effectListOpen = true;
            break;
        case Command::OpenResponseList:
            if (!s.response) m_state.responseListOpen = true;
            break;
        case Command::ToggleLighting:
            s.lighting = !s.lighting;
            break;
        case Command::ToggleGame:
            s.game = !s.game;
            break;
        case Command::ToggleResponse:
            s.response = !s.response;
            break;
        case Command::ToggleReport:
            s.report = !s.report;
            break;
        case Command::KeymapView:
            m_state.diyView = false;
            break;
        case Command::DiyView:
            m_state.diyView = true;
            break;
        default:
            break;
    }
}

ReleaseOutcome MainView::release(Point p, const HitContext& context) {
    if (m_state.effectListOpen || m_state.responseListOpen || m_state.helpOpen) {
        return releaseOnOverlay(p);
    }
    ReleaseOutcome out;
    HitContext c = context;
    c.collapse = m_state.collapse;
    if (auto code = hitTest(p, c)) {
        out.command = commandForHit(*code);
        applyViewCommand(out.command.command);
    }
    m_state.selectedSlot = keySlotAt(p, diyViewActive(m_state, c.effect));
    out.keyClick = m_state.selectedSlot;
    return out;
}

MoveOutcome MainView::move(Point p, const HitContext& context, bool leftHeld) {
    MoveOutcome out;
    if (!leftHeld) m_state.leftButtonDown = false;
    std::optional<int> code;
    if (m_state.effectListOpen) {
        auto row = effectRowAt(p);
        out.repaint |= row != m_state.hoveredEffectRow;
        m_state.hoveredEffectRow = row;
    } else if (m_state.responseListOpen) {
        auto row = responseRowAt(p, panelLayout(m_state.collapse));
        out.repaint |= row != m_state.hoveredResponseRow;
        m_state.hoveredResponseRow = row;
    } else {
        HitContext c = context;
        c.collapse = m_state.collapse;
        code = hitTest(p, c);
        out.repaint |= code != m_state.hoveredCode;
        m_state.hoveredCode = code;
    }
    if (m_state.leftButtonDown && !code && !model::hitTestSlot(p) && !m_state.anyListOpen()) {
        out.startDrag = true;
    }
    auto slot = keySlotAt(p, diyViewActive(m_state, context.effect));
    out.repaint |= slot != m_state.hoveredSlot;
    m_state.hoveredSlot = slot;
    return out;
}

bool MainView::clearHover() {
    const bool any = m_state.hoveredCode || m_state.hoveredSlot;
    m_state.hoveredCode.reset();
    m_state.hoveredSlot.reset();
    return any;
}

void MainView::effectChosen(int effectCode) {
    m_state.diyView = effectCode >= kFirstDiyEffect;
}

void MainView::factoryReset() {
    m_state.diyView = false;
    m_state.collapse = SectionCollapse{};
}

std::optional<int> diyTableOf(int effect) {
    if (effect < kFirstDiyEffect || effect >= kFirstDiyEffect + kDiyEffectCount) {
        return std::nullopt;
    }
    return effect - kFirstDiyEffect;
}

bool diyViewActive(const ViewState& view, int effect) {
    return view.diyView && diyTableOf(effect).has_value();
}

SliderVisibility sliderVisibility(const ViewState& view, bool effectHasSpeed) {
    SliderVisibility v;
    const bool lighting = !view.collapse.lighting && !view.anyListOpen();
    v.speed = lighting && effectHasSpeed;
    v.brightness = lighting;
    v.reportRate = !view.collapse.report;
    return v;
}

bool isFilteredKey(int virtualKey) {
    return virtualKey == kVkF1 || virtualKey == kVkReturn || virtualKey == kVkEscape;
}

}  // namespace tavrik::mainwindow
