#include "controls/skin_tree.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

namespace tavrik::app {
namespace {

class SkinTreeTest : public ::testing::Test {
protected:
    SkinTreeTest() {
        m_tree.resize(295, 160);
        m_tree.loadPictures();
        m_tree.setBackgroundMode(SkinTree::kSolidBackground);
        m_group = new QTreeWidgetItem(&m_tree, QStringList{"Multimedia"});
        m_child = new QTreeWidgetItem(m_group, QStringList{"Mute"});
        m_leaf = new QTreeWidgetItem(&m_tree, QStringList{"Disable"});
        m_tree.show();
    }

    QColor pixel(QTreeWidgetItem* item, int x) {
        const QRect r = m_tree.visualItemRect(item);
        return m_tree.viewport()->grab().toImage().pixelColor(x, r.top() + r.height() / 2);
    }

    SkinTree m_tree;
    QTreeWidgetItem* m_group;
    QTreeWidgetItem* m_child;
    QTreeWidgetItem* m_leaf;
};

// The whole drawn expand picture takes the click, also its part over the row's text area.
TEST_F(SkinTreeTest, APressOnTheDrawnPictureExpandsAndCollapses) {
    const QRect r = m_tree.visualItemRect(m_group);
    // The picture ends kTextShift - 2 pixels right of the text area's left edge.
    const QPoint onPicture(r.left() + SkinTree::kTextShift - 4, r.top() + 8);
    ASSERT_FALSE(m_group->isExpanded());
    QTest::mouseClick(m_tree.viewport(), Qt::LeftButton, {}, onPicture);
    EXPECT_TRUE(m_group->isExpanded());
    QTest::mouseClick(m_tree.viewport(), Qt::LeftButton, {}, onPicture);
    EXPECT_FALSE(m_group->isExpanded());
    QTest::mouseClick(m_tree.viewport(), Qt::LeftButton, {}, r.center() + QPoint(30, 0));
    EXPECT_FALSE(m_group->isExpanded());  // the text itself only selects
}

TEST_F(SkinTreeTest, HighlightsTheSelectedRowOnlyWithFocusOrWhenAlwaysShown) {
    m_tree.setCurrentItem(m_leaf);
    ASSERT_FALSE(m_tree.hasFocus());
    EXPECT_EQ(pixel(m_leaf, 1), SkinTree::kSolidColour);
    m_tree.setShowSelectionAlways(true);
    EXPECT_EQ(pixel(m_leaf, 1), SkinTree::kHighlightColour);
    EXPECT_EQ(pixel(m_group, 1), SkinTree::kSolidColour);

    m_tree.setShowSelectionAlways(false);
    m_tree.activateWindow();
    m_tree.setFocus();
    if (!QTest::qWaitFor([&] { return m_tree.hasFocus(); }, 1000)) {
        GTEST_SKIP() << "the platform gives no focus";
    }
    EXPECT_EQ(pixel(m_leaf, 1), SkinTree::kHighlightColour);
}

TEST_F(SkinTreeTest, DrawsTheButtonPictureBeforeRowsWithChildrenOnly) {
    const QImage& collapsed = m_tree.collapsedPicture();
    const int groupX =
        m_tree.visualItemRect(m_group).left() + SkinTree::kTextShift - collapsed.width() - 2;
    const QRect gr = m_tree.visualItemRect(m_group);
    auto at = [&](QTreeWidgetItem* item, int dx, int dy) {
        const QRect r = m_tree.visualItemRect(item);
        return m_tree.viewport()->grab().toImage().pixelColor(groupX + dx, r.top() + 4 + dy);
    };
    // The picture's frame at its top-left corner; the collapsed one has a vertical bar.
    EXPECT_EQ(at(m_group, 0, 0), collapsed.pixelColor(0, 0));
    EXPECT_EQ(at(m_group, 4, 2), collapsed.pixelColor(4, 2));
    EXPECT_EQ(at(m_leaf, 0, 0), SkinTree::kSolidColour);
    m_tree.expandItem(m_group);
    EXPECT_EQ(at(m_group, 4, 2), m_tree.expandedPicture().pixelColor(4, 2));
    EXPECT_NE(collapsed.pixelColor(4, 2), m_tree.expandedPicture().pixelColor(4, 2));
    EXPECT_EQ(gr.left(), m_tree.visualItemRect(m_leaf).left());
}

}  // namespace
}  // namespace tavrik::app
