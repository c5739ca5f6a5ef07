#pragma once
// What the settings panel shows in one state, as placed rectangles: the blocks it stacks, the
// controls drawn inside them and the fixed texts written there. The window draws the panel's
// texts from this list and its hit areas come from the same layout, so a check of this list
// (every text inside its box, no two boxes overlapping, equal gaps) holds for the drawing.

#include <cstdint>
#include <optional>
#include <vector>

#include "common/language.h"
#include "mainwindow/panel_layout.h"
#include "model/slot_table.h"
#include "settings/panel.h"

namespace tavrik::mainwindow {

using model::Rect;

// How a text is written in its box.
enum class TextFit {
    Written,  // from the box's top-left corner at its height; it has to end inside the box
    Centred,  // centred in the box, shrunk to the box's width down to a legible minimum
    Right,    // the same, aligned right
    Chip,     // centred, and it has to fit at its height with kChipPadding on either side
};
inline constexpr int kChipPadding = 4;

struct PanelText {
    const BiText* text;
    Rect box;
    int height;  // character cell height in pixels
    TextFit fit = TextFit::Written;
    bool secondary = false;  // a scale's legend, in the skin's dimmer text colour
};

// The stacked blocks, top to bottom: lighting, macro button, game, response time, report rate.
enum class Block { Lighting, Macro, Game, Response, Report };
inline constexpr int kBlockCount = 5;

struct PanelBlock {
    Block block;
    Rect rect;  // header and body
};

struct PanelControl {
    const char* name;  // for messages
    Block block;
    Rect rect;  // the drawn picture
};

struct PanelScene {
    std::vector<PanelBlock> blocks;
    std::vector<PanelControl> controls;
    std::vector<PanelText> texts;
};

// The panel as drawn for the view, the image's lighting effect byte and the language. Texts
// under an open drop-down list are left out (the list covers them); the lists themselves, the
// effect name and the response value are drawn over this scene.
PanelScene panelScene(const settings::PanelView& panel, std::uint8_t effect, Language language);

// Whether two rectangles share a pixel.
bool overlaps(const Rect& a, const Rect& b);

// The area an open drop-down list covers (its rows and the backing beside them), or none.
std::optional<Rect> openListArea(const settings::PanelView& panel, const PanelLayout& layout);

// The report-rate slider's stops: the window x of the tick under each of its four positions
// (the thumb's centre at that position) and the box its rate is centred in.
struct ReportStop {
    int tickX;
    Rect label;
};
ReportStop reportStop(int index, int reportTop);

// The window x of a settings slider's thumb centre at `value` of a range of `span` steps, for a
// slider whose left edge is at `left` (the slider control draws its thumb there).
int sliderThumbCentre(int left, int width, int thumbWidth, int span, int value);
inline constexpr int kSliderThumbWidth = 15;

}  // namespace tavrik::mainwindow
