#pragma once
// The main window's interaction state and its rules: what a press, a release, a mouse move and a
// key press do to the view (overlays, sections, hover, key view), and which command the window
// must run. The window draws from ViewState and performs the returned commands; everything that
// edits the configuration or talks to the keyboard stays with the caller.

#include <optional>

#include "mainwindow/hit_areas.h"
#include "mainwindow/panel_layout.h"

namespace tavrik::mainwindow {

// What the window shows besides the configuration itself.
struct ViewState {
    bool effectListOpen = false;
    bool responseListOpen = false;
    bool helpOpen = false;
    bool diyView = false;  // the key view shows DIY colours; a key click toggles a DIY cell
    SectionCollapse collapse;
    bool leftButtonDown = false;
    std::optional<int> hoveredCode;  // hit code under the mouse (drawn highlighted)
    std::optional<int> hoveredEffectRow;
    std::optional<int> hoveredResponseRow;
    std::optional<int> hoveredSlot;   // key under the mouse
    std::optional<int> selectedSlot;  // key of the last click

    bool anyListOpen() const { return effectListOpen || responseListOpen; }
    bool hovered(int code) const { return hoveredCode == code; }
};

// Commands a hit code stands for. View-only ones (help box, lists, sections, key view) are
// applied by MainView itself and still reported so the window can react.
enum class Command {
    None,
    ToggleHelp,
    Hide,
    Close,
    OpenEffectList,
    Direction,  // with the button index 0..3
    Macros,
    GameModeOn,
    GameModeOff,
    OpenResponseList,
    Profile,
    FactoryReset,
    Cancel,
    Save,
    ToggleLighting,
    ToggleGame,
    ToggleResponse,
    ToggleReport,
    WinLockOn,
    WinLockOff,
    KeymapView,
    DiyView,
};

struct HitCommand {
    Command command = Command::None;
    int directionButton = -1;  // 0..3 for Command::Direction
};

// The command bound to a hit code (None for hover-only and unknown codes).
HitCommand commandForHit(int code);

// The outcome of a release. At most one of effectRow, responseRow, helpRow and command is set:
// an open overlay takes the click (choosing a row or only closing), otherwise the hit code's
// command runs and the key under the point, if any, is clicked. The window repaints after
// every release.
struct ReleaseOutcome {
    std::optional<int> effectRow;    // effect list row chosen (the list is already closed)
    std::optional<int> responseRow;  // response-time row chosen (list closed)
    std::optional<int> helpRow;      // help box row clicked (box closed)
    HitCommand command;
    std::optional<int> keyClick;  // slot clicked (also stored as the selected slot)
};

struct MoveOutcome {
    bool repaint = false;
    bool startDrag = false;  // hand the move to the window system as a caption drag
};

class MainView {
public:
    const ViewState& state() const { return m_state; }

    // Left button pressed.
    void press() { m_state.leftButtonDown = true; }

    // Left button released at p. context gives the collapse flags (taken from the view), the
    // effect and its direction buttons.
    ReleaseOutcome release(Point p, const HitContext& context);

    // Mouse moved to p; leftHeld tells whether the left button is still down.
    MoveOutcome move(Point p, const HitContext& context, bool leftHeld);

    // Focus lost or mouse left the window: nothing is hovered any more. Returns true when the
    // window must repaint.
    bool clearHover();

    // An effect was chosen: the DIY effects (51..55) switch the key view to DIY colours.
    void effectChosen(int effectCode);
    // The configuration was reverted (Cancel): the key view follows the effect again.
    void followEffect(int effectCode) { effectChosen(effectCode); }
    // A factory reset: key-map view, every section collapsed.
    void factoryReset();

    // The hit context for an effect under the current collapse flags.
    HitContext context(int effect, int directionButtons) const {
        return HitContext{m_state.collapse, effect, directionButtons};
    }

private:
    ReleaseOutcome releaseOnOverlay(Point p);
    void applyViewCommand(Command c);

    ViewState m_state;
};

// True when the DIY view really shows a DIY table: the view is on and the effect is one of the
// five DIY effects. With any other effect (a profile or the keyboard may bring one while the view
// is on) the window shows and behaves as the key-map view, since there is no DIY table to edit.
bool diyViewActive(const ViewState& view, int effect);
// DIY table index 0..4 of a DIY effect, none otherwise.
std::optional<int> diyTableOf(int effect);

// Which of the three sliders the panel shows. Speed and brightness live in the lighting section
// and give way to either open list; speed only for effects that have one. The report-rate
// slider shows while its section is expanded.
struct SliderVisibility {
    bool speed = false;
    bool brightness = false;
    bool reportRate = false;
};
SliderVisibility sliderVisibility(const ViewState& view, bool effectHasSpeed);

// Windows virtual-key codes the main window keeps from dialog navigation: F1, Enter and Esc
// neither ask for help nor close the window.
bool isFilteredKey(int virtualKey);

}  // namespace tavrik::mainwindow
