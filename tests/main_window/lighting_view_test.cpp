#include <gtest/gtest.h>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "model/keycap.h"
#include "model/slot_table.h"
#include "qt_app_fixture.h"

namespace tavrik::app::lighting_view_test {
namespace {

namespace img = model::image;

constexpr int kA = 63;
constexpr int kS = 64;

class LightingViewTest : public test_support::MainWindowFixture {
protected:
    void setLighting(MainWindow& w, std::uint8_t effect, std::uint8_t colourChoice = 1,
                     std::uint8_t brightness = 50) {
        w.configModel().withLock([&](model::ConfigState& s) {
            s.image[img::kEffect] = effect;
            s.image[img::kColourChoice] = colourChoice;
            s.image[img::kBrightness] = brightness;
            s.image[img::kSpeed] = 5;
            // The factory colour table: red, green, blue, yellow, cyan, magenta, white.
            const std::uint8_t table[7][3] = {{255, 0, 0},    {0, 255, 0},   {0, 0, 255},
                                              {255, 255, 0},  {0, 255, 255}, {255, 0, 255},
                                              {255, 255, 255}};
            for (std::size_t e = 0; e < 7; ++e) {
                for (std::size_t c = 0; c < 3; ++c) s.image[img::colourEntry(e) + c] = table[e][c];
            }
        });
    }
    // A window point of a slot's cap, in picture pixels from the cap's face's top-left corner.
    static QPoint onFace(int slot, int dx, int dy) {
        const model::Keycap k = model::keycap(model::slot(slot));
        return {static_cast<int>(k.face.left + model::kKeyboardOrigin.x) + dx,
                static_cast<int>(k.face.top + model::kKeyboardOrigin.y) + dy};
    }
    // The box of the pixels of a slot's face that `isLabel` takes for its label.
    template <typename F>
    static QRect labelBox(const QImage& surface, int slot, F isLabel) {
        const model::Keycap k = model::keycap(model::slot(slot));
        QRect box;
        for (int y = 1; y < static_cast<int>(k.face.height) - 1; ++y) {
            for (int x = 1; x < static_cast<int>(k.face.width) - 1; ++x) {
                const QPoint at = onFace(slot, x, y);
                if (isLabel(surface.pixelColor(at))) box |= QRect(at, QSize(1, 1));
            }
        }
        return box;
    }
};

TEST_F(LightingViewTest, PreviewTimerRunsOnlyWhileShownAndTheEffectMoves) {
    auto w = makeWindow();  // shown as start-up presents it
    setLighting(*w, 3);     // Wave
    w->renderSurface();
    EXPECT_TRUE(w->lightingPreviewRunning());
    QSignalSpy frames(&w->lightingPreview(), &LightingPreview::frame);
    EXPECT_TRUE(frames.wait(5000));
    EXPECT_GE(LightingPreview::kFrameMs, 34);  // at most 30 frames a second

    w->hide();
    EXPECT_FALSE(w->lightingPreviewRunning());
    w->show();
    w->renderSurface();
    EXPECT_TRUE(w->lightingPreviewRunning());
    w->setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(w->lightingPreviewRunning());
    w->setWindowState(Qt::WindowNoState);
    w->renderSurface();
    EXPECT_TRUE(w->lightingPreviewRunning());

    setLighting(*w, 1);  // Static does not move
    w->renderSurface();
    EXPECT_FALSE(w->lightingPreviewRunning());
    setLighting(*w, 0);  // no effect
    w->renderSurface();
    EXPECT_FALSE(w->lightingPreviewRunning());
}

TEST_F(LightingViewTest, StaticLightsEveryCapAndKeepsItsShapeGapsAndLabel) {
    auto w = makeWindow();
    w->show();
    setLighting(*w, 0);
    const QImage unlit = w->renderSurface();
    setLighting(*w, 1, 4);  // Static, yellow
    const QImage yellow = w->renderSurface();
    EXPECT_EQ(yellow.pixelColor(onFace(kA, 2, 3)), QColor(255, 255, 0));
    EXPECT_EQ(yellow.pixelColor(onFace(kS, 2, 3)), QColor(255, 255, 0));
    // The gap between A and S keeps the picture's plate.
    const model::Rect a = model::windowRect(kA);
    const QPoint gap(a.right + 1, (a.top + a.bottom) / 2);
    EXPECT_EQ(yellow.pixelColor(gap), unlit.pixelColor(gap));
    // The label: light on the unlit cap, black on yellow, in the same place and size.
    const QRect unlitLabel =
        labelBox(unlit, kA, [](const QColor& c) { return c.lightness() > 150; });
    const QRect yellowLabel = labelBox(yellow, kA, [](const QColor& c) {
        return c.red() < 60 && c.green() < 60 && c.blue() < 60;
    });
    ASSERT_FALSE(unlitLabel.isEmpty());
    EXPECT_LE(std::abs(unlitLabel.left() - yellowLabel.left()), 1);
    EXPECT_LE(std::abs(unlitLabel.right() - yellowLabel.right()), 1);
    EXPECT_LE(std::abs(unlitLabel.top() - yellowLabel.top()), 1);
    EXPECT_LE(std::abs(unlitLabel.bottom() - yellowLabel.bottom()), 1);
    // On blue the label is white.
    setLighting(*w, 1, 3);
    const QImage blue = w->renderSurface();
    EXPECT_FALSE(labelBox(blue, kA, [](const QColor& c) { return c.lightness() > 230; }).isEmpty());
}

TEST_F(LightingViewTest, DiyColoursShowInTheKeyMapToo) {
    auto w = makeWindow();
    w->show();
    const std::size_t cell = img::diyTable(1) + model::diyOffset(kA);
    setLighting(*w, 52);
    w->configModel().withLock([&](model::ConfigState& s) {
        s.image[cell + 1] = 0x10;
        s.image[cell + 2] = 0x80;
        s.image[cell + 3] = 0xF0;
    });
    ASSERT_FALSE(w->viewState().panel.diyView);
    const QImage surface = w->renderSurface();
    EXPECT_EQ(surface.pixelColor(onFace(kA, 2, 3)), QColor(0xF0, 0x80, 0x10));
    EXPECT_NE(surface.pixelColor(onFace(kS, 2, 3)), QColor(0xF0, 0x80, 0x10));
    EXPECT_FALSE(w->lightingPreviewRunning());  // nothing moves
}

TEST_F(LightingViewTest, RemappedAndHoveredKeysStayMarkedOverTheLight) {
    auto w = makeWindow();
    w->show();
    setLighting(*w, 1, 1);  // Static red: the light nearest the remapped mark's colour
    const QImage plain = w->renderSurface();
    w->configModel().withLock([](model::ConfigState& s) { s.changedKeys[kA] = 1; });
    const QImage marked = w->renderSurface();
    const model::Rect a = model::windowRect(kA);
    // The rim of a remapped key shows the highlight picture, not the light's rim.
    const QPoint rim(a.left + 2, (a.top + a.bottom) / 2);
    EXPECT_NE(marked.pixelColor(rim), plain.pixelColor(rim));
    EXPECT_EQ(marked.pixelColor(onFace(kA, 4, 5)), QColor(255, 0, 0));  // its light inside
    // The hovered key gets a white outline in the gap around its cap (Esc: the plate beside it).
    const model::Rect esc = model::windowRect(0);
    const QPointF at(esc.left + 5, esc.top + 5);
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w.get(), &move);
    ASSERT_EQ(w->viewState().hoveredSlot, std::optional<int>(0));
    const QImage hovered = w->renderSurface();
    const QPoint beside(esc.left - 2, (esc.top + esc.bottom) / 2);
    EXPECT_EQ(hovered.pixelColor(beside), QColor(Qt::white));
    const QPoint right(esc.right + 2, (esc.top + esc.bottom) / 2);  // as far out on the right
    EXPECT_EQ(hovered.pixelColor(right), QColor(Qt::white));
    EXPECT_NE(hovered.pixelColor(esc.right - 1, (esc.top + esc.bottom) / 2), QColor(Qt::white));
    EXPECT_NE(marked.pixelColor(beside), QColor(Qt::white));
}

TEST_F(LightingViewTest, PaintingFramesNeverWritesTheConfiguration) {
    auto w = makeWindow();
    w->show();
    setLighting(*w, 6, 8);  // Ripple over the spectrum
    const auto before = w->configModel().withLock(
        [](const model::ConfigState& s) { return std::make_unique<model::Image>(s.image); });
    double clock = 0;
    w->lightingPreview().setClock([&clock] { return clock; });
    for (int i = 0; i < 20; ++i) {
        clock += 0.25;
        w->renderSurface();
    }
    w->lightingPreview().setClock({});
    w->configModel().withLock([&](const model::ConfigState& s) { EXPECT_EQ(s.image, *before); });
}

}  // namespace
}  // namespace tavrik::app::lighting_view_test
