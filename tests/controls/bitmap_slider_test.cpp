#include "controls/bitmap_slider.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "settings/sliders.h"

namespace tavrik::app {
namespace {

struct JumpCase {
    int maximum;
    int x;
    int expected;
};

class SliderJumpTest : public ::testing::TestWithParam<JumpCase> {
protected:
    // 195 wide: the thumb centre runs from x 7 to x 187, a channel of 180 pixels.
    SliderJumpTest() : m_slider(static_cast<int>(settings::SliderId::Speed), &m_window) {
        m_slider.setGeometry(0, 0, 195, 14);
    }
    QWidget m_window;
    BitmapSlider m_slider;
};

TEST_P(SliderJumpTest, PressJumpsToTheRoundedStep) {
    m_slider.setRange(0, GetParam().maximum);
    m_slider.setValue(GetParam().maximum == 50 ? 1 : 0);
    QTest::mousePress(&m_slider, Qt::LeftButton, {}, QPoint(GetParam().x, 7));
    EXPECT_EQ(m_slider.value(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rounding, SliderJumpTest,
                         ::testing::Values(JumpCase{9, 7, 0},   // channel's left edge
                                           JumpCase{9, 0, 0},   // left of the channel
                                           JumpCase{9, 16, 0},  // 0.45 of a step
                                           JumpCase{9, 17, 1},  // exactly half-way: the higher step
                                           JumpCase{9, 97, 5},  // 4.5 steps
                                           JumpCase{9, 187, 9},  // right edge
                                           JumpCase{9, 194, 9},  // beyond it
                                           JumpCase{3, 36, 0},   // 60-pixel steps
                                           JumpCase{3, 37, 1},   // half-way
                                           JumpCase{3, 157, 3},  // 2.5 steps
                                           JumpCase{50, 7, 0},   // from 1 back to 0
                                           JumpCase{50, 9, 1},   // 0.56 of a step
                                           JumpCase{50, 187, 50}));

TEST(BitSliderTest, ReportsEveryChangeWithItsIdentifier) {
    QWidget window;
    BitmapSlider slider(static_cast<int>(settings::SliderId::Brightness), &window);
    slider.setGeometry(0, 0, 220, 14);
    slider.setRange(0, 50);
    QSignalSpy moved(&slider, &BitmapSlider::moved);
    slider.setValue(25);
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved[0][0].toInt(), 25);
    EXPECT_EQ(slider.controlId(), 1017);  // the brightness slider's control identifier
    EXPECT_EQ(slider.reportedPosition(), QPoint(slider.thumbRect().left() - 10, 0));
    // Thumb centred on the channel's middle (7 + 205 / 2, rounded half up).
    EXPECT_EQ(slider.thumbRect().center().x(), 110);
}

// A mouse move over the slider and its showing report the position without changing it.
TEST(BitSliderTest, ReportsOnMouseMoveAndShowToo) {
    QWidget window;
    BitmapSlider slider(static_cast<int>(settings::SliderId::Speed), &window);
    slider.setGeometry(0, 0, 195, 14);
    slider.setRange(0, 4);
    slider.setValue(3);
    slider.hide();
    QSignalSpy moved(&slider, &BitmapSlider::moved);
    QMouseEvent over(QEvent::MouseMove, QPointF(20, 7), QPointF(20, 7), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&slider, &over);
    window.show();
    slider.show();
    ASSERT_EQ(moved.count(), 2);
    EXPECT_EQ(moved[0][0].toInt(), 3);
    EXPECT_EQ(moved[1][0].toInt(), 3);
    EXPECT_EQ(slider.value(), 3);
}

TEST(BitSliderTest, WheelDoesNotMove) {
    QWidget window;
    BitmapSlider slider(static_cast<int>(settings::SliderId::ReportRate), &window);
    slider.setGeometry(0, 0, 220, 14);
    slider.setRange(0, 3);
    slider.setValue(1);
    QSignalSpy moved(&slider, &BitmapSlider::moved);
    for (int delta : {120, -120, 480}) {
        QWheelEvent wheel(QPointF(50, 7), QPointF(50, 7), {}, QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&slider, &wheel);
    }
    EXPECT_EQ(slider.value(), 1);
    EXPECT_EQ(moved.count(), 0);
}

}  // namespace
}  // namespace tavrik::app
