#include "settings/sliders.h"

#include <algorithm>

namespace tavrik::settings {
namespace {
namespace img = model::image;

constexpr SliderRange kSpeed{0, 9, 0, img::kSpeed};
constexpr SliderRange kBrightness{0, 50, 1, img::kBrightness};
constexpr SliderRange kReportRate{0, 3, 1, img::kReportRate};

}  // namespace

const SliderRange& sliderRange(SliderId id) {
    switch (id) {
        case SliderId::Speed:
            return kSpeed;
        case SliderId::Brightness:
            return kBrightness;
        case SliderId::ReportRate:
            break;
    }
    return kReportRate;
}

std::optional<SliderId> sliderFromControlId(int controlId) {
    for (SliderId id : kSliders) {
        if (static_cast<int>(id) == controlId) return id;
    }
    return std::nullopt;
}

int clampToSlider(SliderId id, int value) {
    const auto& r = sliderRange(id);
    return std::clamp(value, r.min, r.max);
}

SliderPositions initialSliderPositions() {
    SliderPositions p{};
    for (SliderId id : kSliders) p[sliderIndex(id)] = sliderRange(id).initial;
    return p;
}

SliderPositions sliderPositionsFromImage(const model::Image& image) {
    SliderPositions p{};
    for (SliderId id : kSliders) {
        p[sliderIndex(id)] = clampToSlider(id, image[sliderRange(id).byte]);
    }
    return p;
}

void storeSliderPosition(model::Image& image, SliderId id, int position) {
    image[sliderRange(id).byte] = static_cast<std::uint8_t>(clampToSlider(id, position));
}

bool SliderMemory::moved(model::Image& image, SliderId id, int position) {
    position = clampToSlider(id, position);
    int& last = m_last[sliderIndex(id)];
    if (position == last) return false;
    storeSliderPosition(image, id, position);
    last = position;
    return true;
}

}  // namespace tavrik::settings
