#pragma once
// The main window's interaction rules: what a press, a release, a mouse move and a key press do
// to the view (overlays, sections, hover, key view) and to the configuration image, and which
// command the window itself must run (dialogs, device jobs, hiding, closing).

#include <cstdint>
#include <optional>

#include "mainwindow/hit_areas.h"
#include "model/image_layout.h"
#include "settings/diy_paint.h"
#include "settings/panel.h"

namespace tavrik::mainwindow {

// What the window shows besides the configuration itself.
struct ViewState {
    settings::PanelView panel;  // the two lists, the DIY view, the four collapse flags
    bool helpOpen = false;
    std::optional<int> hoveredCode;  // hit code under the mouse (drawn highlighted)
    std::optional<int> hoveredEffectRow;
    std::optional<int> hoveredResponseRow;
    std::optional<int> hoveredSlot;                       // key under the mouse
    std::optional<int> selectedSlot;                      // key of the last click
    settings::Rgb paintColour = settings::kDefaultPaint;  // what a click paints in the DIY view
    std::optional<settings::Stroke> stroke;  // a paint stroke while a button is held on keys

    bool anyListOpen() const { return panel.effectListOpen || panel.responseListOpen; }
    bool anyOverlayOpen() const { return anyListOpen() || helpOpen; }
    bool hovered(int code) const { return hoveredCode == code; }
};

// Commands a hit code stands for.
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
    PaintSwatch,   // with the swatch index 0..7; DIY view only
    ChooseColour,  // the window asks for any paint colour (setPaintColour)
    FillAll,
    ClearAll,
};

struct HitCommand {
    Command command = Command::None;
    int directionButton = -1;  // 0..3 for Command::Direction
    int swatch = -1;           // 0..7 for Command::PaintSwatch
};

// The command bound to a hit code (None for hover-only and unknown codes).
HitCommand commandForHit(int code);

// True for the commands the window runs itself; the others are done by MainView::release.
bool isWindowCommand(Command c);

// The outcome of a release. An open overlay takes the click (a list row is chosen into the
// image, the help box reports its row) and nothing else happens; otherwise the hit code's
// command runs and the key under the point is clicked. The window repaints after every release.
struct ReleaseOutcome {
    std::optional<int> helpRow;    // help box row clicked (box closed)
    HitCommand command;            // the hit code's command (already applied unless a window one)
    std::optional<int> assignKey;  // key-map view: the slot whose key assignment to open
    bool imageChanged = false;     // the image was edited (list row, setting, DIY cell)
};

class MainView {
public:
    // Every section starts collapsed.
    MainView();

    const ViewState& state() const { return m_state; }

    // Left button released at p; edits the image where the click chooses a setting. The end of
    // a paint stroke does nothing else.
    ReleaseOutcome release(Point p, model::Image& image);

    // A button pressed at p. In the active DIY view with no overlay open, a left press on a key
    // paints it or turns it off (settings::clickDiyKey) and a right press turns it off; either
    // starts a stroke that goes on the same way over every key the mouse then crosses. True when
    // the image changed.
    bool press(Point p, bool rightButton, model::Image& image);
    // The mouse moved to p with a button held: a stroke in progress paints or erases the key
    // under p. True when the image changed.
    bool drag(Point p, model::Image& image);
    // The right button was released: the stroke ends.
    void endStroke() { m_state.stroke.reset(); }

    // The colour a click paints with in the DIY view.
    void setPaintColour(settings::Rgb colour) { m_state.paintColour = colour; }

    // Mouse moved to p: updates what is hovered. True when the window must repaint.
    bool move(Point p, std::uint8_t effect);

    // Whether p belongs to a control: a hit area, a key, or anywhere while a list is open. A
    // press elsewhere drags the window.
    bool isControlAt(Point p, std::uint8_t effect) const;

    // Focus lost or mouse left the window: nothing is hovered any more. True when the window
    // must repaint.
    bool clearHover();

    // The configuration was reverted: the key view follows the effect (DIY view for 51 and up).
    void followEffect(std::uint8_t effect);
    // A factory reset: key-map view, every section collapsed.
    void factoryReset();

private:
    ReleaseOutcome releaseOnOverlay(Point p, model::Image& image);
    bool applyCommand(const HitCommand& c, model::Image& image);

    ViewState m_state;
};

// True when the DIY view really shows a DIY table: the view is on and the effect is one of the
// five DIY effects. With any other effect (a profile or the keyboard may bring one while the view
// is on) the window shows and behaves as the key-map view, since there is no DIY table to edit.
bool diyViewActive(const ViewState& view, std::uint8_t effect);

// Windows virtual-key codes the main window keeps from dialog navigation: F1, Enter and Esc
// neither ask for help nor close the window.
bool isFilteredKey(int virtualKey);

}  // namespace tavrik::mainwindow
