// The main window on a screen too small for it: scaled down by one factor, every point of the
// surface is still the same item under the mouse, a click does what it does unscaled, and the
// sliders take the same value at the same drawn place. Run on the offscreen screen (800 x 600)
// and, as its own ctest entry, on a 1600 x 1200 screen at 200 %.

#include <QMouseEvent>
#include <QScreen>

#include "controls/bitmap_slider.h"
#include "mainwindow/surface_fit.h"
#include "model/slot_table.h"
#include "qt_app_fixture.h"

namespace tavrik::app::test_support {
namespace {

using mainwindow::FitPoint;

void send(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? button : Qt::NoButton;
    QMouseEvent e(type, QPointF(at), QPointF(w.mapToGlobal(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

QPoint windowPoint(QPoint surface, double scale) {
    const FitPoint p = mainwindow::toWindow({surface.x(), surface.y()}, scale);
    return {p.x, p.y};
}

struct Under {
    std::optional<int> code;
    std::optional<int> slot;
    bool operator==(const Under&) const = default;
};

Under underMouse(MainWindow& w, QPoint at) {
    send(w, QEvent::MouseMove, at);
    return {w.viewState().hoveredCode, w.viewState().hoveredSlot};
}

class ScaleToFit : public MainWindowFixture {
protected:
    std::unique_ptr<MainWindow> window(bool fit) {
        AppContext c = context();
        c.fitScreen = fit;
        auto w = std::make_unique<MainWindow>(std::move(c));
        w->initialise(false);
        w->show();
        settle(*w);
        return w;
    }
};

TEST_F(ScaleToFit, ScalesByTheRuleToTheScreensAvailableArea) {
    auto plain = window(false);
    auto fitted = window(true);
    const QSize surface = plain->size();
    const QSize available = fitted->screen()->availableGeometry().size();
    const double expected = mainwindow::surfaceFitScale({surface.width(), surface.height()},
                                                        {available.width(), available.height()});
    ASSERT_LT(expected, 1.0) << "the test screen must be smaller than the window";
    EXPECT_EQ(plain->surfaceScale(), 1.0);
    EXPECT_EQ(fitted->surfaceScale(), expected);
    EXPECT_LE(fitted->width(), available.width());
    EXPECT_LE(fitted->height(), available.height());
    // The picture on screen is the window's scaled size.
    EXPECT_EQ(fitted->renderSurface().size(), fitted->size() * fitted->devicePixelRatioF());
}

TEST_F(ScaleToFit, EveryItemStaysUnderTheSamePoint) {
    auto plain = window(false);
    auto fitted = window(true);
    const double scale = fitted->surfaceScale();
    ASSERT_LT(scale, 1.0);
    std::vector<QPoint> points{{944, 12},  {965, 12},  {986, 12}, {950, 620}, {54, 619},
                               {100, 115}, {150, 395}, {600, 40}, {5, 5}};
    for (int slot : {0, 25, 60, 96}) {
        const model::Rect r = model::windowRect(slot);
        points.push_back({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    for (const QPoint p : points) {
        const Under unscaled = underMouse(*plain, p);
        EXPECT_EQ(underMouse(*fitted, windowPoint(p, scale)), unscaled)
            << "surface point " << p.x() << ", " << p.y();
    }
    // Something was hit at all: the keys and buttons are in the list.
    EXPECT_TRUE(underMouse(*plain, {950, 620}).code.has_value());
}

TEST_F(ScaleToFit, ClicksDoWhatTheyDoUnscaled) {
    auto plain = window(false);
    auto fitted = window(true);
    const double scale = fitted->surfaceScale();
    // Fold the lighting section, then open the help box.
    for (const QPoint p : {QPoint(100, 115), QPoint(944, 12)}) {
        for (auto* w : {plain.get(), fitted.get()}) {
            const QPoint at = w == fitted.get() ? windowPoint(p, scale) : p;
            send(*w, QEvent::MouseButtonPress, at, Qt::LeftButton);
            send(*w, QEvent::MouseButtonRelease, at, Qt::LeftButton);
        }
        EXPECT_EQ(fitted->viewState().panel.lightingCollapsed,
                  plain->viewState().panel.lightingCollapsed);
        EXPECT_EQ(fitted->viewState().helpOpen, plain->viewState().helpOpen);
    }
    EXPECT_TRUE(plain->viewState().helpOpen);
}

TEST_F(ScaleToFit, SlidersAreScaledAndTakeTheSameValueAtTheSamePlace) {
    auto plain = window(false);
    auto fitted = window(true);
    const double scale = fitted->surfaceScale();
    const auto plainSliders = plain->findChildren<BitmapSlider*>();
    const auto fittedSliders = fitted->findChildren<BitmapSlider*>();
    ASSERT_EQ(plainSliders.size(), fittedSliders.size());
    ASSERT_FALSE(plainSliders.isEmpty());
    for (qsizetype i = 0; i < plainSliders.size(); ++i) {
        BitmapSlider& a = *plainSliders[i];
        BitmapSlider& b = *fittedSliders[i];
        ASSERT_EQ(a.controlId(), b.controlId());
        const mainwindow::FitSize at = mainwindow::scaledSurface({a.pos().x(), a.pos().y()}, scale);
        EXPECT_EQ(b.pos(), QPoint(at.width, at.height)) << "slider " << a.controlId();
        EXPECT_LE(b.width(), a.width() * scale + 1);
        // A press a third of the way along picks the same value.
        const QPoint third(a.width() / 3, a.height() / 2);
        send(a, QEvent::MouseButtonPress, third, Qt::LeftButton);
        send(a, QEvent::MouseButtonRelease, third, Qt::LeftButton);
        send(b, QEvent::MouseButtonPress, windowPoint(third, scale), Qt::LeftButton);
        send(b, QEvent::MouseButtonRelease, windowPoint(third, scale), Qt::LeftButton);
        EXPECT_EQ(b.value(), a.value()) << "slider " << a.controlId();
        EXPECT_EQ(b.thumbRect(), a.thumbRect()) << "the thumb in surface pixels";
    }
}

}  // namespace
}  // namespace tavrik::app::test_support
