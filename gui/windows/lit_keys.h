#pragma once
// Lit keycaps in the keyboard picture: a cap keeps the outline, face and label of the skin's
// unlit cap (model::keycap); its face shows the light's colour, its rim a darker shade, and its
// label is black or white for contrast.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <vector>

#include "settings/effect_preview.h"

namespace tavrik::app {

class LitKeyPainter {
public:
    LitKeyPainter();

    // Paints slot's cap lit with `light` at the picture origin `origin` (window pixels); black
    // leaves the skin's unlit cap as it is. `ringed` keeps a ring of the cap's rim unpainted,
    // so that a mark drawn there before (the remapped-key highlight) shows around the face.
    void paintKey(QPainter& p, QPoint origin, int slot, settings::Rgb light, bool ringed = false);
    // Draws the keyboard picture `unlit` at `origin` with every drawn key lit in its colour.
    // The caps' coverage is drawn once per device pixel ratio; a frame then mixes the colours
    // into the keys' boxes of a kept copy of the picture (restoring those lit the frame before)
    // and copies it out once: a fraction of what painting 87 caps and labels costs. Without
    // the picture the caps alone are painted, one by one.
    void paintAll(QPainter& p, QPoint origin, const settings::KeyColours& colours,
                  const QImage& unlit);

private:
    // Where each drawn slot's cap lies at one device pixel ratio, from the caps' coverage: runs
    // of pixels wholly on the face or the rim (off the label), and the pixels that mix.
    struct Run {
        int y = 0;
        int x = 0;
        int length = 0;
        bool face = true;
    };
    struct Edge {
        int y = 0;
        int x = 0;
        std::uint8_t cap = 0, face = 0, label = 0;  // coverage 0..255
    };
    struct Cap {
        std::vector<Run> runs;
        std::vector<Edge> edges;
        QRect box;  // device pixels; empty when the slot is not drawn
    };
    struct Masks {
        qreal ratio = 0;
        qint64 unlitKey = 0;    // the picture the base was made from
        QSize area;             // the picture's size in window pixels
        std::vector<Cap> caps;  // by slot
        QImage base;            // the unlit picture at this ratio
        QImage frame;           // the last frame: the base with lit keys
        std::vector<int> lit;   // slots lit in `frame`
    };
    void buildMasks(qreal ratio, const QImage& unlit);

    QFont m_label;
    QFont m_smallLabel;
    Masks m_masks;
};

}  // namespace tavrik::app
