#include "settings/diy_selection.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "model/virtual_keys.h"
#include "settings/diy_paint.h"

namespace tavrik::settings {
namespace {

namespace vk = model::vk;

bool overlaps(const model::Rect& a, const model::Rect& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

template <typename Keep>
SlotSet drawnWhere(Keep keep) {
    SlotSet out;
    for (int s = 0; s < model::kSlotCount; ++s) {
        if (model::slot(s).drawn() && keep(s)) out.set(static_cast<std::size_t>(s));
    }
    return out;
}

SlotSet drawnWithCodes(std::initializer_list<int> codes) {
    return drawnWhere([&](int s) {
        return std::find(codes.begin(), codes.end(), model::slot(s).code) != codes.end();
    });
}

SlotSet drawnInCodeRange(int first, int last) {
    return drawnWhere([&](int s) {
        const int code = model::slot(s).code;
        return code >= first && code <= last;
    });
}

// Where the segment a + t (b - a), 0 <= t <= 1, first touches the closed box, or none
// (Liang-Barsky clipping).
std::optional<double> entryOf(model::Point a, model::Point b, const model::Rect& box) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const auto d = [](int v) { return static_cast<double>(v); };
    const std::array<std::pair<double, double>, 4> edges{{
        {-dx, d(a.x - box.left)},
        {dx, d(box.right - a.x)},
        {-dy, d(a.y - box.top)},
        {dy, d(box.bottom - a.y)},
    }};
    double enter = 0;
    double leave = 1;
    for (const auto& [p, q] : edges) {
        if (p == 0) {
            if (q < 0) return std::nullopt;  // parallel to this edge and outside it
            continue;
        }
        const double t = q / p;
        if (p < 0) {
            enter = std::max(enter, t);
        } else {
            leave = std::min(leave, t);
        }
        if (enter > leave) return std::nullopt;
    }
    return enter;
}

}  // namespace

std::vector<int> slotsOf(const SlotSet& set) {
    std::vector<int> out;
    for (int s = 0; s < model::kSlotCount; ++s) {
        if (set.test(static_cast<std::size_t>(s))) out.push_back(s);
    }
    return out;
}

SlotSet allDrawnSlots() {
    return drawnWhere([](int) { return true; });
}

SlotSet groupSlots(KeyGroup group) {
    switch (group) {
        case KeyGroup::FunctionRow:
            return drawnInCodeRange(vk::kF1, vk::kF1 + 11);
        case KeyGroup::NumberRow:
            return drawnInCodeRange('0', '9') |
                   drawnWithCodes({vk::kOem3, vk::kOemMinus, vk::kOemPlus});
        case KeyGroup::Letters:
            return drawnInCodeRange('A', 'Z');
        case KeyGroup::Wasd:
            return drawnWithCodes({'W', 'A', 'S', 'D'});
        case KeyGroup::Arrows:
            return drawnInCodeRange(vk::kLeft, vk::kDown);
        case KeyGroup::Navigation:
            return drawnWithCodes(
                {vk::kInsert, vk::kHome, vk::kPrior, vk::kDelete, vk::kEnd, vk::kNext});
        case KeyGroup::Modifiers: {
            // Fn shares its code with the menu key, so it is taken by its slot.
            SlotSet out =
                drawnInCodeRange(vk::kLShift, vk::kRMenu) | drawnWithCodes({vk::kLWin, vk::kRWin});
            out.set(static_cast<std::size_t>(model::kFnSlot));
            return out;
        }
    }
    return {};
}

model::Rect keyboardField() {
    static const model::Rect field = [] {
        model::Rect f{1 << 20, 1 << 20, -(1 << 20), -(1 << 20)};
        for (int s = 0; s < model::kSlotCount; ++s) {
            if (!model::slot(s).drawn()) continue;
            const model::Rect r = model::windowRect(s);
            f = {std::min(f.left, r.left), std::min(f.top, r.top), std::max(f.right, r.right),
                 std::max(f.bottom, r.bottom)};
        }
        return model::Rect{f.left - kKeyboardFieldMargin, f.top - kKeyboardFieldMargin,
                           f.right + kKeyboardFieldMargin, f.bottom + kKeyboardFieldMargin};
    }();
    return field;
}

model::Rect boxBetween(model::Point a, model::Point b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

SlotSet slotsInBox(const model::Rect& box) {
    return drawnWhere([&](int s) { return overlaps(model::windowRect(s), box); });
}

SlotSet slotsBetween(int anchor, int slot) {
    const auto drawn = [](int s) {
        return s >= 0 && s < model::kSlotCount && model::slot(s).drawn();
    };
    if (!drawn(anchor) || !drawn(slot)) return {};
    const model::Rect a = model::windowRect(anchor);
    const model::Rect b = model::windowRect(slot);
    const model::Rect span{std::min(a.left, b.left), std::min(a.top, b.top),
                           std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
    return drawnWhere([&](int s) {
        const model::Rect r = model::windowRect(s);
        // Twice the centre, so that no half pixel is lost.
        const int cx = r.left + r.right;
        const int cy = r.top + r.bottom;
        return cx >= 2 * span.left && cx <= 2 * span.right && cy >= 2 * span.top &&
               cy <= 2 * span.bottom;
    });
}

std::vector<int> slotsOnSegment(model::Point a, model::Point b) {
    std::vector<std::pair<double, int>> hits;
    for (int s = 0; s < model::kSlotCount; ++s) {
        if (!model::slot(s).drawn()) continue;
        if (auto t = entryOf(a, b, model::windowRect(s))) hits.emplace_back(*t, s);
    }
    std::sort(hits.begin(), hits.end());
    std::vector<int> out;
    out.reserve(hits.size());
    for (const auto& hit : hits) out.push_back(hit.second);
    return out;
}

bool paintDiySlots(model::Image& image, const SlotSet& slots, Rgb colour) {
    const Stroke stroke = colour == Rgb{} ? Stroke::Erase : Stroke::Paint;
    bool changed = false;
    for (int s : slotsOf(slots)) changed |= strokeDiyKey(image, s, stroke, colour);
    return changed;
}

}  // namespace tavrik::settings
