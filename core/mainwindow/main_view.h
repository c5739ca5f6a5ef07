#pragma once
// The main window's interaction rules: what a press, a release, a mouse move and a key press do
// to the view (overlays, sections, hover, key view) and to the configuration image, and which
// command the window itself must run (dialogs, device jobs, hiding, closing).

#include <cstdint>
#include <optional>

#include "mainwindow/hit_areas.h"
#include "model/image_layout.h"
#include "settings/diy_history.h"
#include "settings/diy_paint.h"
#include "settings/diy_selection.h"
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
    std::optional<Point> strokeAt;           // where the stroke was last followed to
    settings::SlotSet selection;             // the DIY view's selected keys
    std::optional<Rect> band;                // the box of a box selection being dragged

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
    SelectGroup,  // with the group index 0..6; DIY view only
};

// The modifier keys held at a press.
struct PressModifiers {
    bool ctrl = false;
    bool shift = false;
};

// The DIY view's editing commands from the keyboard (Ctrl+A, Esc, Enter, Delete, Ctrl+Z, Ctrl+Y).
enum class EditCommand { SelectAll, ClearSelection, PaintSelection, EraseSelection, Undo, Redo };

struct HitCommand {
    Command command = Command::None;
    int directionButton = -1;  // 0..3 for Command::Direction
    int swatch = -1;           // 0..7 for Command::PaintSwatch
    int group = -1;            // 0..6 for Command::SelectGroup (settings::KeyGroup)
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
    // starts a stroke that goes on the same way over every key the mouse then crosses, and the
    // whole stroke is one undo step. With Ctrl a left press adds the key to the selection or
    // takes it out; with Shift it selects the keys between the last clicked key and this one
    // (settings::slotsBetween). A left press on the keyboard picture beside the keys starts a
    // box selection (with Ctrl it adds to the selection). True when the window must repaint.
    bool press(Point p, bool rightButton, model::Image& image, PressModifiers modifiers = {});
    // The mouse moved to p with a button held: a stroke in progress paints or erases every key
    // on the way from the last position (followed in a straight line while both lie on the
    // keyboard picture, else only the key under p); a box selection takes the keys its box
    // touches. True when the window must repaint.
    bool drag(Point p, model::Image& image);
    // The right button was released: the stroke ends (its undo step closes at the next edit).
    void endStroke();
    // The same, closing the stroke's undo step against the image now.
    void endStroke(const model::Image& image);

    // A keyboard editing command in the active DIY view (nothing elsewhere). Painting the
    // selection uses the paint colour; every edit of the image is one undo step. True when the
    // window must repaint.
    bool edit(EditCommand command, model::Image& image);
    // Selects the keys of a group (replacing the selection) in the active DIY view.
    bool selectGroup(settings::KeyGroup group, const model::Image& image);
    // True when the DIY editing commands apply: the DIY view is active and no overlay is open.
    bool editsDiy(std::uint8_t effect) const;
    // The configuration was saved or loaded (keyboard read, profile, revert, factory reset):
    // the undo history starts again from the image as it is now.
    void clearHistory() { m_history.clear(); }
    const settings::DiyHistory& history() const { return m_history; }

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
    // Ends a stroke or box selection in progress; true when one was.
    bool endGesture(const model::Image& image);
    bool paintSelection(model::Image& image, settings::Rgb colour);

    ViewState m_state;
    settings::DiyHistory m_history;
    bool m_selectPress = false;  // the press only changed the selection: its release does nothing
    Point m_bandStart;
    settings::SlotSet m_bandBase;  // the selection a Ctrl box selection adds to
};

// True when the DIY view really shows a DIY table: the view is on and the effect is one of the
// five DIY effects. With any other effect (a profile or the keyboard may bring one while the view
// is on) the window shows and behaves as the key-map view, since there is no DIY table to edit.
bool diyViewActive(const ViewState& view, std::uint8_t effect);

// Windows virtual-key codes the main window keeps from dialog navigation: F1, Enter and Esc
// neither ask for help nor close the window.
bool isFilteredKey(int virtualKey);

}  // namespace tavrik::mainwindow
