#pragma once
// The shape of a drawn key's cap in the keyboard picture: the cap, its face and where its label
// sits. The skin generator draws the picture's caps with it and the window draws lit caps over
// them with it, so a lit key keeps the shape, gaps and label of the unlit one.

#include <cstddef>

#include "model/slot_table.h"

namespace tavrik::model {

// A rectangle in picture pixels (fractions address the pixels' edges and centres).
struct BoxF {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

struct Keycap {
    BoxF cap;              // the cap's outline, through the centres of its edge pixels
    BoxF face;             // the top face, inside the cap's rim
    BoxF label;            // the label is centred in this box
    double capRadius = 4;  // corner radii
    double faceRadius = 3;
    int labelPixels = 11;  // bold label height in pixels
};

// The cap of a drawn slot, relative to the keyboard picture's origin.
Keycap keycap(const KeySlot& s);

}  // namespace tavrik::model
