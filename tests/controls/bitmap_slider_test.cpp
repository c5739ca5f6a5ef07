#include "controls/bitmap_slider.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWheelEvent>

#include "message_recorder.h"
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
        m_slider.setReceiver(&m_window);
        m_slider.setGeometry(0, 0, 195, 14);
    }
    MessageRecorder m_window;
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
    MessageRecorder window;
    BitmapSlider slider(static_cast<int>(settings::SliderId::Brightness), &window);
    slider.setReceiver(&window);
    slider.setGeometry(0, 0, 220, 14);
    slider.setRange(0, 50);
    window.messages.clear();
    slider.setValue(25);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0], (Message{msg::WM_SLIDERMOVED, 1017, 0}));
    EXPECT_EQ(slider.reportedPosition(), QPoint(slider.thumbRect().left() - 10, 0));
    // Thumb centred on the channel's middle (7 + 205 / 2, rounded half up).
    EXPECT_EQ(slider.thumbRect().center().x(), 110);
}

TEST(BitSliderTest, WheelDoesNotMove) {
    MessageRecorder window;
    BitmapSlider slider(static_cast<int>(settings::SliderId::ReportRate), &window);
    slider.setReceiver(&window);
    slider.setGeometry(0, 0, 220, 14);
    slider.setRange(0, 3);
    slider.setValue(1);
    window.messages.clear();
    for (int delta : {120, -120, 480}) {
        QWheelEvent wheel(QPointF(50, 7), QPointF(50, 7), {}, QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&slider, &wheel);
    }
    EXPECT_EQ(slider.value(), 1);
    EXPECT_TRUE(window.messages.empty());
}

}  // namespace
}  // namespace tavrik::app
