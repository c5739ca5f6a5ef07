// The scale-to-fit rule: the factor for a screen's available area, the window's size at it, and
// the round trip of a point between the window and the surface.
#include "mainwindow/surface_fit.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tavrik::mainwindow {
namespace {

struct FitCase {
    FitSize available;
    double scale;
    FitSize window;
};

class SurfaceFitTest : public ::testing::TestWithParam<FitCase> {};

constexpr FitSize kSurface{1000, 640};

TEST_P(SurfaceFitTest, FactorAndWindowSize) {
    const FitCase& c = GetParam();
    const double scale = surfaceFitScale(kSurface, c.available);
    EXPECT_DOUBLE_EQ(scale, c.scale);
    const FitSize w = scaledSurface(kSurface, scale);
    EXPECT_EQ(w.width, c.window.width);
    EXPECT_EQ(w.height, c.window.height);
    EXPECT_LE(w.width, c.available.width > 0 ? c.available.width : w.width);
    EXPECT_LE(w.height, c.available.height > 0 ? c.available.height : w.height);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, SurfaceFitTest,
    ::testing::Values(FitCase{{1920, 1080}, 1.0, {1000, 640}},  // fits: never scaled up
                      FitCase{{1000, 640}, 1.0, {1000, 640}},   // exactly
                      FitCase{{800, 600}, 0.8, {800, 512}},  // 1600 x 1200 at 200 %: width decides
                      FitCase{{800, 570}, 0.8, {800, 512}},  // ... less a panel of 30 pixels
                      FitCase{{1200, 480}, 0.75, {750, 480}},  // height decides
                      FitCase{{0, 0}, 1.0, {1000, 640}}));     // no screen known

TEST(SurfaceFitPoints, EveryWindowPixelMapsIntoTheSurfacePixelDrawnUnderIt) {
    for (double scale : {0.8, 0.75, 0.5, 1.0}) {
        for (int x = 0; x < 1000; x += 7) {
            const FitPoint s = toSurface({x, 0}, scale);
            // The surface pixel s covers window x from s * scale to (s + 1) * scale.
            EXPECT_LE(s.x * scale, x + 0.5) << scale << " " << x;
            EXPECT_GE((s.x + 1) * scale, x + 0.5) << scale << " " << x;
            // A surface point drawn in the window and clicked there is itself or a neighbour
            // (a window pixel covers up to 1 / scale surface pixels).
            const FitPoint back = toSurface(toWindow(s, scale), scale);
            EXPECT_LE(std::abs(back.x - s.x), 1) << scale << " " << x;
        }
    }
}

}  // namespace
}  // namespace tavrik::mainwindow
