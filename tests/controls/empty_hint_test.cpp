// The empty-state hint shows exactly while its view has no rows and a text, and is drawn centred
// in the view in its colour.
#include "controls/empty_hint.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>

namespace tavrik::app {
namespace {

// Whether some pixel of the view's picture has (nearly: text is antialiased) the hint's colour.
bool drawsColour(QWidget& view, const QColor& colour) {
    const QImage shot = view.grab().toImage();
    const auto close = [](int a, int b) { return std::abs(a - b) <= 40; };
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (close(c.red(), colour.red()) && close(c.green(), colour.green()) &&
                close(c.blue(), colour.blue()))
                return true;
        }
    }
    return false;
}

TEST(EmptyHintTest, ShowsOnlyWhileTheListIsEmpty) {
    QListWidget list;
    list.resize(120, 200);
    EmptyHint hint(&list, QStringLiteral("Nothing here yet"));
    list.show();
    EXPECT_TRUE(hint.showing());
    list.addItem(QStringLiteral("one"));
    EXPECT_FALSE(hint.showing());
    list.addItem(QStringLiteral("two"));
    delete list.takeItem(0);
    EXPECT_FALSE(hint.showing()) << "one row is left";
    delete list.takeItem(0);
    EXPECT_TRUE(hint.showing());
    list.addItem(QStringLiteral("three"));
    list.clear();
    EXPECT_TRUE(hint.showing());
    // No text, no hint; a text again brings it back.
    hint.setText(QString());
    EXPECT_FALSE(hint.showing());
    hint.setText(QStringLiteral("Again"));
    EXPECT_TRUE(hint.showing());
}

TEST(EmptyHintTest, IsDrawnInItsColourOverTheWholeViewAndPassesClicksOn) {
    QListWidget list;
    list.resize(160, 120);
    list.setPalette(QPalette(Qt::black));
    EmptyHint hint(&list, QStringLiteral("No rows"));
    const QColor colour(250, 10, 200);
    hint.setColour(colour);
    list.show();
    QApplication::processEvents();
    EXPECT_EQ(hint.geometry(), list.viewport()->rect());
    EXPECT_TRUE(drawsColour(list, colour));
    list.resize(220, 140);
    QApplication::processEvents();
    EXPECT_EQ(hint.geometry(), list.viewport()->rect()) << "follows the view's size";
    EXPECT_TRUE(hint.testAttribute(Qt::WA_TransparentForMouseEvents));
    list.addItem(QStringLiteral("row"));
    QApplication::processEvents();
    EXPECT_FALSE(drawsColour(list, colour));
}

}  // namespace
}  // namespace tavrik::app
