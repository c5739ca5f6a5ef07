#pragma once
// How the main window fits a small screen: the surface (the background picture's size, in window
// pixels) is scaled down by one uniform factor when it is larger than the screen's available
// area, so that painting and hit testing agree at every factor.

namespace tavrik::mainwindow {

struct FitSize {
    int width;
    int height;
};

// The factor the surface is drawn at on a screen whose available area is `available` (both in
// the same units, the screen's logical pixels): 1 when it fits, else the largest factor at which
// it does. An empty available area (no screen known) gives 1.
double surfaceFitScale(FitSize surface, FitSize available);

// The window's size at `scale`: the surface's, rounded down so that the window stays inside the
// area the factor was made for.
FitSize scaledSurface(FitSize surface, double scale);

// A point of the scaled window in surface pixels, and back; a point maps to the surface pixel
// that is drawn under it.
struct FitPoint {
    int x;
    int y;
};
FitPoint toSurface(FitPoint window, double scale);
FitPoint toWindow(FitPoint surface, double scale);

}  // namespace tavrik::mainwindow
