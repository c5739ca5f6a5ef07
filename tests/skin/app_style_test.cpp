// The application's look reaches the standard windows: a message box and a menu are drawn in the
// skin's colours once the style is applied, and the icon comes in both sizes.
#include "skin/app_style.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>

#include "skin/skin_manifest.h"

namespace tavrik::skin {
namespace {

// Applies the style for one test and takes the style sheet off again, so that the other tests of
// this executable draw as before.
class AppStyleTest : public ::testing::Test {
protected:
    void SetUp() override { applyDarkStyle(*qApp); }
    void TearDown() override { qApp->setStyleSheet(QString()); }
};

bool near(const QColor& a, const QColor& b, int tolerance = 3) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

TEST_F(AppStyleTest, MessageBoxHasTheSkinsPanelTextAndButtons) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Caption"),
                    QStringLiteral("A message of some length"), QMessageBox::Ok);
    box.show();
    QApplication::processEvents();
    const QImage shot = box.grab().toImage();
    // The background, at a corner away from the icon, the text and the button.
    EXPECT_TRUE(near(shot.pixelColor(2, 2), colour::kPanel))
        << shot.pixelColor(2, 2).name().toStdString();
    const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), colour::kText);
    QAbstractButton* ok = box.button(QMessageBox::Ok);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->palette().color(QPalette::ButtonText), colour::kText);
    // The button is drawn as a skin button: its face is dark, not the platform's light grey.
    const QImage face = ok->grab().toImage();
    const QColor middle = face.pixelColor(face.width() / 2, 3);
    EXPECT_LT(middle.lightness(), 110) << middle.name().toStdString();
}

TEST_F(AppStyleTest, MenuHasTheSkinsPanelAndHighlightsTheCurrentRow) {
    QMenu menu;
    QAction* first = menu.addAction(QStringLiteral("First entry"));
    menu.addAction(QStringLiteral("Second entry"));
    menu.popup(QPoint(10, 10));
    menu.setActiveAction(first);
    QApplication::processEvents();
    const QImage shot = menu.grab().toImage();
    const QRect current = menu.actionGeometry(first);
    const QRect other = menu.actionGeometry(menu.actions().at(1));
    // Sampled at the rows' right end, where no text is written.
    const QColor highlighted = shot.pixelColor(current.right() - 3, current.center().y());
    const QColor plain = shot.pixelColor(other.right() - 3, other.center().y());
    EXPECT_TRUE(near(highlighted, colour::kSelection)) << highlighted.name().toStdString();
    EXPECT_TRUE(near(plain, colour::kPanel)) << plain.name().toStdString();
    menu.hide();
}

TEST(AppIconTest, LoadsTheIconAndItsDoubleSizeTwin) {
    const QIcon icon = appIcon(QStringLiteral(TAVRIK_BUILT_SKIN_DIR) + "/");
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(kAppIconSize, kAppIconSize)));
    EXPECT_TRUE(sizes.contains(QSize(2 * kAppIconSize, 2 * kAppIconSize)));
    // On a screen scaled 200 % the twin is drawn, not the small picture scaled up.
    const QPixmap scaled = icon.pixmap(QSize(kAppIconSize, kAppIconSize), 2.0);
    EXPECT_EQ(scaled.size(), QSize(2 * kAppIconSize, 2 * kAppIconSize));
    EXPECT_EQ(scaled.toImage(), QImage(QStringLiteral(TAVRIK_BUILT_SKIN_DIR) + "/png/" +
                                       QString::fromStdString(doubleSizeName(kAppIcon)))
                                    .convertToFormat(scaled.toImage().format()));
    EXPECT_TRUE(appIcon(QStringLiteral("/nonexistent/")).isNull());
}

}  // namespace
}  // namespace tavrik::skin
