#include "model/keycap.h"

namespace tavrik::model {
namespace {

constexpr std::size_t kLongLabel = 3;  // labels of more bytes than this get the small size
constexpr int kLabelPixels = 11;
constexpr int kSmallLabelPixels = 9;

BoxF inset(const BoxF& b, double left, double top, double right, double bottom) {
    return {b.left + left, b.top + top, b.width - left - right, b.height - top - bottom};
}

}  // namespace

Keycap keycap(const KeySlot& s) {
    Keycap k;
    // The slot's rectangle spans width + 1 pixels; the outline runs through its edge pixels.
    k.cap = {s.rect.left + 0.5, s.rect.top + 0.5, static_cast<double>(s.rect.width()),
             static_cast<double>(s.rect.height())};
    k.face = inset(k.cap, 3, 2, 3, 5);
    k.label = inset(k.cap, 2, 0, 2, 3);
    k.labelPixels = s.label.size() > kLongLabel ? kSmallLabelPixels : kLabelPixels;
    return k;
}

}  // namespace tavrik::model
