#pragma once
// Undo and redo of the DIY colour edits. A step is whatever one user action did to the five DIY
// colour tables (a click, a whole stroke, a fill, a clear, painting a selection): the window
// opens a step before the action and closes it after, and the step keeps only the bytes that
// changed. The history starts empty at every Save point and every load of the configuration
// (a read of the keyboard, a profile, a revert), so undo goes back to that state and no
// further. Nothing outside the DIY tables is ever touched.

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "model/image_layout.h"

namespace tavrik::settings {

class DiyHistory {
public:
    // The oldest steps beyond this many are forgotten (undo then stops short of the Save point).
    static constexpr std::size_t kMaxSteps = 200;

    // Opens a step: remembers the DIY tables as they are now. A step still open is closed first
    // against the same image, so no edit is lost.
    void begin(const model::Image& image);
    // Closes the open step: the DIY bytes that differ from begin() become one step, and the steps
    // that could be redone are dropped. True when a step was stored; false when no step was open
    // or nothing changed.
    bool commit(const model::Image& image);
    bool stepOpen() const { return m_open != nullptr; }

    // Runs edit (which returns whether it changed the image) as one step.
    template <typename Edit>
    bool record(model::Image& image, Edit&& edit) {
        begin(image);
        const bool changed = edit();
        commit(image);
        return changed;
    }

    // Puts the DIY bytes of the last step back as they were before it (undo) or after it (redo);
    // an open step is closed first. True when the image changed.
    bool undo(model::Image& image);
    bool redo(model::Image& image);
    std::size_t undoCount() const { return m_undo.size(); }
    std::size_t redoCount() const { return m_redo.size(); }

    // Forgets every step, and an open one: the image as it is now is the new bottom.
    void clear();

private:
    struct Change {
        std::uint16_t offset;  // from the start of the first DIY table
        std::uint8_t before;
        std::uint8_t after;
    };
    using Step = std::vector<Change>;
    using Tables =
        std::array<std::uint8_t, model::image::kDiyTableCount * model::image::kDiyTableSize>;

    std::unique_ptr<Tables> m_open;  // the tables at begin(), while a step is open
    std::deque<Step> m_undo;
    std::vector<Step> m_redo;
};

}  // namespace tavrik::settings
