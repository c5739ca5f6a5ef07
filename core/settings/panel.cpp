#include "settings/panel.h"

#include <algorithm>
#include <cstdlib>
#include <span>

#include "settings/effects.h"
#include "settings/response_time.h"

namespace tavrik::settings {
namespace {
namespace img = model::image;

constexpr std::uint8_t kColourChoiceMin = 1;
constexpr std::uint8_t kColourChoiceMax = 8;
constexpr std::uint8_t kDiyCellOn = 255;  // blue byte of a toggled-on DIY cell

std::optional<int> rowAt(model::Point p, int left, int right, int top, int rows) {
    if (p.x < left || p.x > right || p.y < top) return std::nullopt;
    const int row = (p.y - top) / kListRowHeight;
    if (row >= rows) return std::nullopt;
    return row;
}

// Perceived brightness 0..255 of a colour.
int luma(Rgb c) {
    return (299 * c.r + 587 * c.g + 114 * c.b) / 1000;
}
constexpr int kMinLabelContrast = 96;

std::uint8_t effectOf(const model::Image& image) {
    return image[img::kEffect];
}

}  // namespace

std::optional<int> effectListRowAt(model::Point p) {
    return rowAt(p, kEffectListLeft, kEffectListRight, kEffectListTop, kEffectCount);
}

std::optional<int> responseListRowAt(model::Point p, int listTop) {
    return rowAt(p, kResponseListLeft, kResponseListRight, listTop, kResponseRowCount);
}

void openEffectList(PanelView& view) {
    view.effectListOpen = true;
}

bool chooseEffect(model::Image& image, PanelView& view, int row) {
    view.effectListOpen = false;
    if (row < 0 || row >= kEffectCount) return false;
    const std::uint8_t code = effectTable()[static_cast<std::size_t>(row)].code;
    image[img::kEffect] = code;
    view.diyView = offersDiyView(code);
    std::uint8_t& colour = image[img::kColourChoice];
    if (code == effect::kStatic && colour == kColourChoiceMax) colour = kColourChoiceMin;
    if (code == effect::kWave) colour = kColourChoiceMax;
    return true;
}

bool clickEffectList(model::Image& image, PanelView& view, model::Point p) {
    const auto row = effectListRowAt(p);
    view.effectListOpen = false;
    return row && chooseEffect(image, view, *row);
}

bool pressDirectionButton(model::Image& image, int button) {
    if (button < 0 || button >= kDirectionButtonCount) return false;
    const auto dir = directionButtons(effectOf(image))[static_cast<std::size_t>(button)];
    if (!dir) return false;
    image[img::kDirection] = static_cast<std::uint8_t>(*dir);
    return true;
}

void setGameMode(model::Image& image, bool on) {
    image[img::kGameMode] = on ? 1 : 0;
}
void setWinLock(model::Image& image, bool on) {
    image[img::kWinLock] = on ? 1 : 0;
}

void openResponseList(PanelView& view) {
    view.responseListOpen = true;
}

bool chooseResponseRow(model::Image& image, PanelView& view, int row) {
    view.responseListOpen = false;
    if (row < 0 || row >= kResponseRowCount) return false;
    image[img::kResponseTime] = static_cast<std::uint8_t>(responseByteForRow(row));
    return true;
}

bool clickResponseList(model::Image& image, PanelView& view, model::Point p, int listTop) {
    const auto row = responseListRowAt(p, listTop);
    view.responseListOpen = false;
    return row && chooseResponseRow(image, view, *row);
}

bool setDiyView(const model::Image& image, PanelView& view, bool diy) {
    if (!offersDiyView(effectOf(image))) return false;
    view.diyView = diy;
    return true;
}

std::optional<std::size_t> currentDiyTable(const model::Image& image) {
    return diyTableOf(effectOf(image));
}

std::size_t diyCellOffset(std::size_t table, int slot) {
    return img::diyTable(table) + model::diyOffset(slot);
}

bool toggleDiyCell(model::Image& image, int slot) {
    const auto table = currentDiyTable(image);
    if (!table) return false;
    const auto cell = std::span(image).subspan(diyCellOffset(*table, slot), img::kDiyCellSize);
    const bool on = cell[1] != 0;
    std::fill(cell.begin(), cell.end(), std::uint8_t{0});
    if (!on) cell[1] = kDiyCellOn;
    return true;
}

std::optional<DiyKeyColour> diyKeyColour(const model::Image& image, int slot) {
    const auto table = currentDiyTable(image);
    if (!table) return std::nullopt;
    const auto cell = std::span(image).subspan(diyCellOffset(*table, slot), img::kDiyCellSize);
    if (cell[1] == 0 && cell[2] == 0 && cell[3] == 0) return std::nullopt;
    const Rgb fill{cell[3], cell[2], cell[1]};
    const auto inv = [](std::uint8_t c) { return static_cast<std::uint8_t>(c ^ 0xFF); };
    const Rgb inverse{inv(fill.r), inv(fill.g), inv(fill.b)};
    // Near mid-grey the inverse is about as bright as the fill: black or white stays legible.
    const int fillLuma = luma(fill);
    if (std::abs(fillLuma - luma(inverse)) >= kMinLabelContrast) return DiyKeyColour{fill, inverse};
    const std::uint8_t plain = fillLuma > 127 ? 0 : 255;
    return DiyKeyColour{fill, {plain, plain, plain}};
}

void clampColourChoice(model::Image& image) {
    if (effectOf(image) > effect::kLastColourClamped) return;
    std::uint8_t& colour = image[img::kColourChoice];
    colour = std::clamp(colour, kColourChoiceMin, kColourChoiceMax);
}

bool sliderStoresAtPaint(const model::Image& image, const PanelView& view, SliderId id) {
    switch (id) {
        case SliderId::Speed:
            return !view.lightingCollapsed && showsSpeed(effectOf(image));
        case SliderId::Brightness:
            return !view.lightingCollapsed && !view.effectListOpen;
        case SliderId::ReportRate:
            break;
    }
    return !view.reportCollapsed;
}

bool sliderShown(const model::Image& image, const PanelView& view, SliderId id) {
    if (!sliderStoresAtPaint(image, view, id)) return false;
    if (id == SliderId::ReportRate) return true;
    return !view.effectListOpen && !view.responseListOpen;
}

void applyPanelPaint(model::Image& image, const PanelView& view, const SliderPositions& positions) {
    clampColourChoice(image);
    for (SliderId id : kSliders) {
        if (sliderStoresAtPaint(image, view, id)) {
            storeSliderPosition(image, id, positions[sliderIndex(id)]);
        }
    }
}

void collapseAllSections(PanelView& view) {
    view.lightingCollapsed = view.gameCollapsed = view.responseCollapsed = view.reportCollapsed =
        true;
}

}  // namespace tavrik::settings
