#pragma once
// Paints the key assignment dialog from the state's view: background, "Current Key:", the ten
// picture buttons, the labels and, on the "Advance" tab, its four launch rows.

#include <QRect>

#include "common/language.h"
#include "keyassign/key_map_state.h"

class QPainter;

namespace tavrik::skin {
class SkinImages;
}

namespace tavrik::app {

inline constexpr const char* kKeyMapBackground = "Custom_BK.png";

// The text height of the launch rows' labels on the "Advance" tab, one for all rows: the
// dialog's text height, or less where a label would otherwise run under its row's path field.
int launchLabelHeight(Language lang);

// The top-left corner of the "Disable" box's label, right of its picture.
QPoint keyMapDisableLabelAt();

// Where a button's or a tab's caption is centred (and shrunk to fit): inside its picture, a tab's
// above its marker.
QRect keyMapCaptionBox(int button);

void paintKeyMap(QPainter& painter, skin::SkinImages& images, const keyassign::KeyMapState& state);

}  // namespace tavrik::app
