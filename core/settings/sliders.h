#pragma once
// The three settings sliders: their ranges, start positions and image bytes, and the rule that a
// slider's byte follows its position. Positions are plain ints; bytes hold them unchanged.

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "model/image_layout.h"

namespace tavrik::settings {

// Control identifiers, as the sliders report their moves.
enum class SliderId : int { Speed = 1007, ReportRate = 1010, Brightness = 1017 };

inline constexpr int kSliderCount = 3;
inline constexpr std::array<SliderId, kSliderCount> kSliders{SliderId::Speed, SliderId::Brightness,
                                                             SliderId::ReportRate};

struct SliderRange {
    int min;
    int max;
    int initial;       // position at start-up
    std::size_t byte;  // image byte the position is stored in
    int lineStep = 1;  // line size and page size
};

const SliderRange& sliderRange(SliderId id);
// The slider of a control identifier; none for any other value.
std::optional<SliderId> sliderFromControlId(int controlId);
// Clamps a position (or a byte read from the keyboard or a file) into the slider's range.
int clampToSlider(SliderId id, int value);

// One position per slider, indexed by sliderIndex(id).
using SliderPositions = std::array<int, kSliderCount>;
constexpr std::size_t sliderIndex(SliderId id) {
    assert(id == SliderId::Speed || id == SliderId::Brightness || id == SliderId::ReportRate);
    return id == SliderId::Speed ? 0 : id == SliderId::Brightness ? 1 : 2;
}

// Start-up positions: speed 0, brightness 1, report rate 1.
SliderPositions initialSliderPositions();
// Positions taken from the image (after a read-all or a factory reset), clamped to each range.
SliderPositions sliderPositionsFromImage(const model::Image& image);

// Stores a slider position into its image byte (clamped to the slider's range).
void storeSliderPosition(model::Image& image, SliderId id, int position);

// The positions the main window last stored for each slider. A reported move is acted upon only
// when the position differs from the one remembered: then it is stored and remembered, and the
// slider must be redrawn.
class SliderMemory {
public:
    SliderMemory() : m_last(initialSliderPositions()) {}

    // Handles a move report; true when the byte was stored and the slider needs a redraw.
    bool moved(model::Image& image, SliderId id, int position);
    // Forgets the stored positions, e.g. after the sliders were positioned from the image.
    void reset(const SliderPositions& positions) { m_last = positions; }
    int last(SliderId id) const { return m_last[sliderIndex(id)]; }

private:
    SliderPositions m_last;
};

}  // namespace tavrik::settings
