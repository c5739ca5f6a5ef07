#include "settings/diy_paint.h"

#include <algorithm>
#include <span>

#include "model/slot_table.h"

namespace tavrik::settings {
namespace {
namespace img = model::image;

// Cell byte positions: byte 0 stays zero.
constexpr std::size_t kBlue = 1;
constexpr std::size_t kGreen = 2;
constexpr std::size_t kRed = 3;
constexpr Rgb kOff{};

std::optional<std::span<std::uint8_t>> cellOf(model::Image& image, int slot) {
    const auto table = currentDiyTable(image);
    if (!table || slot < 0 || slot >= model::kSlotCount || !model::slot(slot).drawn()) {
        return std::nullopt;
    }
    return std::span(image).subspan(diyCellOffset(*table, slot), img::kDiyCellSize);
}

Rgb colourOf(std::span<const std::uint8_t> cell) {
    return Rgb{cell[kRed], cell[kGreen], cell[kBlue]};
}

bool store(std::span<std::uint8_t> cell, Rgb colour) {
    const std::array<std::uint8_t, img::kDiyCellSize> bytes{0, colour.b, colour.g, colour.r};
    if (std::equal(bytes.begin(), bytes.end(), cell.begin())) return false;
    std::copy(bytes.begin(), bytes.end(), cell.begin());
    return true;
}

bool storeAll(model::Image& image, Rgb colour) {
    if (!currentDiyTable(image)) return false;
    bool changed = false;
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
        if (auto cell = cellOf(image, slot)) changed |= store(*cell, colour);
    }
    return changed;
}

}  // namespace

std::optional<int> paletteIndexOf(Rgb colour) {
    const auto it = std::find(kPalette.begin(), kPalette.end(), colour);
    if (it == kPalette.end()) return std::nullopt;
    return static_cast<int>(it - kPalette.begin());
}

std::optional<Rgb> diyCellColour(const model::Image& image, int slot) {
    const auto table = currentDiyTable(image);
    if (!table || slot < 0 || slot >= model::kSlotCount) return std::nullopt;
    return colourOf(std::span(image).subspan(diyCellOffset(*table, slot), img::kDiyCellSize));
}

std::optional<Stroke> clickDiyKey(model::Image& image, int slot, Rgb paint) {
    auto cell = cellOf(image, slot);
    if (!cell) return std::nullopt;
    // The default colour keeps the toggle's rule: any blue turns the key off.
    const bool off = paint == kDefaultPaint ? (*cell)[kBlue] != 0 : colourOf(*cell) == paint;
    const Stroke stroke = off || paint == kOff ? Stroke::Erase : Stroke::Paint;
    store(*cell, stroke == Stroke::Erase ? kOff : paint);
    return stroke;
}

bool strokeDiyKey(model::Image& image, int slot, Stroke stroke, Rgb paint) {
    auto cell = cellOf(image, slot);
    return cell && store(*cell, stroke == Stroke::Erase ? kOff : paint);
}

bool fillDiyTable(model::Image& image, Rgb colour) {
    return storeAll(image, colour);
}

bool clearDiyTable(model::Image& image) {
    return storeAll(image, kOff);
}

}  // namespace tavrik::settings
