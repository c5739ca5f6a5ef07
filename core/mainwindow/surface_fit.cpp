#include "mainwindow/surface_fit.h"

#include <algorithm>
#include <cmath>

namespace tavrik::mainwindow {

double surfaceFitScale(FitSize surface, FitSize available) {
    if (surface.width <= 0 || surface.height <= 0) return 1.0;
    if (available.width <= 0 || available.height <= 0) return 1.0;
    const double scale = std::min(static_cast<double>(available.width) / surface.width,
                                  static_cast<double>(available.height) / surface.height);
    return std::min(1.0, scale);
}

FitSize scaledSurface(FitSize surface, double scale) {
    return {static_cast<int>(std::floor(surface.width * scale)),
            static_cast<int>(std::floor(surface.height * scale))};
}

FitPoint toSurface(FitPoint window, double scale) {
    // The window pixel's centre, in surface pixels.
    return {static_cast<int>(std::floor((window.x + 0.5) / scale)),
            static_cast<int>(std::floor((window.y + 0.5) / scale))};
}

FitPoint toWindow(FitPoint surface, double scale) {
    return {static_cast<int>(std::floor((surface.x + 0.5) * scale)),
            static_cast<int>(std::floor((surface.y + 0.5) * scale))};
}

}  // namespace tavrik::mainwindow
