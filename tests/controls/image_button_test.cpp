#include "controls/image_button.h"

#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

namespace tavrik::app {
namespace {

struct FrameCase {
    int frames;
    bool checked;
    int hover;
    int pressed;
    int released;
    int left;
};

class BitWndFrameTest : public ::testing::TestWithParam<FrameCase> {};

TEST_P(BitWndFrameTest, FollowsTheMouse) {
    const FrameCase c = GetParam();
    ImageButton button(5);
    button.setStrip(QImage(15 * c.frames, 14, QImage::Format_RGB32), c.frames);
    button.setChecked(c.checked);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(&button, &enter);
    EXPECT_EQ(button.currentFrame(), c.hover);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(button.currentFrame(), c.pressed);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(button.currentFrame(), c.released);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(button.currentFrame(), c.left);
}

INSTANTIATE_TEST_SUITE_P(Strips, BitWndFrameTest,
                         ::testing::Values(FrameCase{1, false, 0, 0, 0, 0},
                                           FrameCase{2, false, 1, 0, 1, 0},
                                           FrameCase{3, false, 1, 2, 1, 0},
                                           FrameCase{3, true, 2, 0, 0, 2},
                                           FrameCase{1, true, 2, 0, 0, 0}));

TEST(BitWndTest, NotifiesOnReleaseOrOnPressAndToggles) {
    ImageButton button(42);
    button.setStrip(QImage(14, 42, QImage::Format_RGB32), 3);
    EXPECT_TRUE(button.vertical());
    EXPECT_EQ(button.size(), QSize(14, 14));
    QSignalSpy spy(&button, &ImageButton::command);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(spy.count(), 0);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 42);

    button.setNotifyOnPress(true);
    button.setToggle(true);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(spy.count(), 2);
    EXPECT_TRUE(button.isChecked());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(spy.count(), 2);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(button.isChecked());
}

}  // namespace
}  // namespace tavrik::app
