// The settings panel as drawn: the drop-down lists' rows (height, the current value marked, the
// hovered row, text at their box's size, the box's text left in sight), and the sliders placed
// where the layout puts their rows.
#include <gtest/gtest.h>
#include <QMouseEvent>
#include <QSlider>
#include <QTest>

#include <algorithm>

#include "controls/bitmap_slider.h"
#include "mainwindow/panel_scene.h"
#include "qt_app_fixture.h"
#include "settings/panel.h"
#include "settings/response_time.h"

namespace tavrik::app {
namespace {

namespace img = model::image;
namespace hit = mainwindow::hit;
using test_support::hitCentre;

// The box of light (text) pixels inside an area, empty when there are none.
QRect inkIn(const QImage& surface, const QRect& area) {
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = surface.pixelColor(x, y);
            if (std::min({c.red(), c.green(), c.blue()}) > 150) ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

class PanelDrawing : public test_support::MainWindowFixture {
protected:
    std::unique_ptr<MainWindow> shown(std::uint8_t effect, std::uint8_t response) {
        auto w = makeWindow();
        w->show();
        w->configModel().withLock([&](model::ConfigState& s) {
            s.image[img::kEffect] = effect;
            s.image[img::kResponseTime] = response;
        });
        return w;
    }
    static void click(QWidget& w, QPoint p) { QTest::mouseClick(&w, Qt::LeftButton, {}, p); }
    static void hover(QWidget& w, QPoint p) {
        QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(w.mapToGlobal(p)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &e);
    }
};

// Rows of 20 pixels, each of one colour at the list's right end: the current value's row in
// its own colour with the mark at its left, the hovered row in the hover colour, all others
// alike. `top` is the list's first row.
void expectRows(const QImage& surface, int top, int rows, int current, int hovered) {
    const int x = 240;  // right of every row's text
    int other = 0;
    while (other == current || other == hovered) ++other;
    const QColor plain = surface.pixelColor(x, top + settings::kListRowHeight * other);
    for (int r = 0; r < rows; ++r) {
        const int y = top + settings::kListRowHeight * r;
        const QColor c = surface.pixelColor(x, y);
        for (int dy = 1; dy < settings::kListRowHeight; ++dy) {
            EXPECT_EQ(surface.pixelColor(x, y + dy), c) << "row " << r << " is not 20 high";
        }
        if (r == hovered) {
            EXPECT_EQ(c, QColor(80, 0, 0)) << "hovered row " << r;
        } else if (r == current) {
            EXPECT_NE(c, plain) << "the current row " << r << " looks like the others";
        } else {
            EXPECT_EQ(c, plain) << "row " << r;
        }
        const QColor mark = surface.pixelColor(settings::kEffectListLeft, y + 10);
        EXPECT_EQ(mark.red() > 150 && mark.green() < 80, r == current) << "mark of row " << r;
    }
    // The row after the last is no longer the list.
    EXPECT_NE(surface.pixelColor(x, top + settings::kListRowHeight * rows), plain);
}

TEST_F(PanelDrawing, EffectListRowsMarkTheCurrentEffectAtTheBoxTextSize) {
    auto w = shown(3, 3);  // Wave: row 2
    click(*w, hitCentre(*w, hit::kLightingTitle));
    const QImage closed = w->renderSurface();
    click(*w, hitCentre(*w, hit::kEffectBox));
    ASSERT_TRUE(w->viewState().panel.effectListOpen);
    hover(*w, {100, settings::kEffectListTop + 20 * 6 + 5});
    const QImage open = w->renderSurface();
    expectRows(open, settings::kEffectListTop, settings::kEffectCount, 2, 6);
    // The box keeps its own text in sight.
    const QRect boxText(28, 158, 221, 14);
    EXPECT_EQ(open.copy(boxText), closed.copy(boxText));
    // "Wave" in its row is drawn as large as in the box.
    const QRect inBox = inkIn(open, boxText);
    const QRect inRow = inkIn(open, QRect(31, settings::kEffectListTop + 40, 200, 20));
    ASSERT_FALSE(inBox.isEmpty());
    ASSERT_FALSE(inRow.isEmpty());
    EXPECT_NEAR(inRow.height(), inBox.height(), 1);
    EXPECT_NEAR(inRow.width(), inBox.width(), 1);
    EXPECT_NEAR(inRow.left(), inBox.left(), 1);
}

TEST_F(PanelDrawing, ResponseListRowsMarkTheCurrentValueAndNeverCoverTheBox) {
    for (bool lightingOpen : {false, true}) {
        SCOPED_TRACE(lightingOpen ? "opening upwards" : "dropping down");
        auto w = shown(3, 4);  // "8 ms": row 3
        if (lightingOpen) {
            click(*w, hitCentre(*w, hit::kLightingTitle));
            click(*w, hitCentre(*w, hit::kGameTitle));
        }
        click(*w, hitCentre(*w, hit::kResponseTitle));
        const QPoint box = hitCentre(*w, hit::kResponseBox);
        const QImage closed = w->renderSurface();
        click(*w, box);
        ASSERT_TRUE(w->viewState().panel.responseListOpen);
        const std::uint8_t effect = 3;
        const mainwindow::PanelLayout layout =
            mainwindow::panelLayout(w->viewState().panel, effect);
        EXPECT_EQ(layout.responseListTop < box.y(), lightingOpen);
        const QImage open = w->renderSurface();
        expectRows(open, layout.responseListTop, settings::kResponseRowCount, 3, -1);
        const QRect value(28, layout.responseTop + 28, 221, 16);
        EXPECT_EQ(open.copy(value), closed.copy(value));
        // Digits as high as the box's.
        const QRect inBox = inkIn(open, value);
        const QRect inRow = inkIn(open, QRect(60, layout.responseListTop + 60, 180, 20));
        ASSERT_FALSE(inBox.isEmpty());
        ASSERT_FALSE(inRow.isEmpty());
        EXPECT_NEAR(inRow.height(), inBox.height(), 1);
        EXPECT_NEAR(inRow.left(), inBox.left(), 1);
    }
}

// The sliders sit in the rows of the layout, whatever the effect leaves out, and a slider an
// open list lies over is hidden.
TEST_F(PanelDrawing, SlidersFollowTheirRowsAndHideUnderAnOpenList) {
    for (std::uint8_t effect : {std::uint8_t{1}, std::uint8_t{3}, std::uint8_t{52}}) {
        SCOPED_TRACE(static_cast<int>(effect));
        auto w = shown(effect, 1);
        for (int code : {hit::kLightingTitle, hit::kReportTitle}) click(*w, hitCentre(*w, code));
        w->renderSurface();
        const mainwindow::PanelLayout l = mainwindow::panelLayout(w->viewState().panel, effect);
        for (BitmapSlider* s : w->findChildren<BitmapSlider*>()) {
            const auto id = settings::sliderFromControlId(s->controlId());
            ASSERT_TRUE(id);
            if (*id == settings::SliderId::Speed) {
                EXPECT_EQ(s->isVisible(), l.speedShown);
                if (!l.speedShown) continue;
                EXPECT_EQ(s->pos(), QPoint(28, l.sliderTop + 58));
            } else if (*id == settings::SliderId::Brightness) {
                EXPECT_TRUE(s->isVisible());
                EXPECT_EQ(s->pos(), QPoint(28, l.sliderTop + 15));
            } else {
                EXPECT_TRUE(s->isVisible());
                EXPECT_EQ(s->pos(), QPoint(28, l.reportTop + 23));
            }
        }
        click(*w, hitCentre(*w, hit::kEffectBox));  // the list reaches over the report slider
        w->renderSurface();
        for (BitmapSlider* s : w->findChildren<BitmapSlider*>()) {
            EXPECT_FALSE(s->isVisible()) << s->controlId();
        }
    }
}

}  // namespace
}  // namespace tavrik::app
