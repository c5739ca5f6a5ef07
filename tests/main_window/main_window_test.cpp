#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSlider>
#include <QTest>

#include <algorithm>

#include "macro/macro_layout.h"
#include "model/keymap_file.h"
#include "qt_app_fixture.h"

namespace tavrik::app {
namespace {

namespace img = model::image;

class MainWindowTest : public test_support::MainWindowFixture {
protected:
    // keymap.bin with a recognisable configuration: effect Wave, speed 4, game mode on.
    void writeKeymap() {
        auto s = std::make_unique<model::ConfigState>();
        s->image[img::kEffect] = 3;
        s->image[img::kSpeed] = 4;
        s->image[img::kBrightness] = 20;
        s->image[img::kGameMode] = 1;
        ASSERT_TRUE(model::saveConfigFile(keymapPath(), s->image, s->actions));
    }
    std::filesystem::path keymapPath() const {
        return (m_dir.path() + QStringLiteral("/keymap.bin")).toStdString();
    }
    model::Image imageOnDisk() const {
        auto s = std::make_unique<model::ConfigState>();
        EXPECT_TRUE(model::readConfigFile(keymapPath(), s->image, s->actions));
        return s->image;
    }
    static void click(QWidget& w, QPoint p) { QTest::mouseClick(&w, Qt::LeftButton, {}, p); }
};

TEST_F(MainWindowTest, StartingWithoutFilesCreatesThem) {
    auto w = makeWindow();
    EXPECT_EQ(QFileInfo(m_dir.filePath("keymap.bin")).size(),
              static_cast<qint64>(model::kKeymapFileSize));
    EXPECT_EQ(QFileInfo(m_dir.filePath("MacroDefine.bin")).size(),
              static_cast<qint64>(sizeof(macro::MacroStore)));
}

TEST_F(MainWindowTest, CancelHidesAndRevertsWithoutTouchingTheSnapshot) {
    writeKeymap();
    auto w = makeWindow();
    w->show();
    w->configModel().withLock([](model::ConfigState& s) {
        s.image[img::kGameMode] = 0;
        s.image[img::kEffect] = 52;
    });
    click(*w, {880, 620});
    EXPECT_TRUE(!w->isVisible() || w->isMinimized());  // minimised where there is no tray
    const model::Image disk = imageOnDisk();
    EXPECT_EQ(disk[img::kGameMode], 1);
    EXPECT_EQ(disk[img::kEffect], 3);
    w->configModel().withLock([](model::ConfigState& s) { EXPECT_EQ(s.image, s.syncedImage); });
    EXPECT_FALSE(w->viewState().panel.diyView);
}

TEST_F(MainWindowTest, CloseKeepsOnlyTheSynchronisedStateInTheFile) {
    writeKeymap();
    auto w = makeWindow();
    w->show();
    w->configModel().withLock([](model::ConfigState& s) { s.image[img::kSpeed] = 9; });
    ASSERT_TRUE(w->configModel().save());  // an edit that reached the file but not the keyboard
    EXPECT_EQ(imageOnDisk()[img::kSpeed], 9);
    click(*w, {985, 10});
    EXPECT_EQ(imageOnDisk()[img::kSpeed], 4);
}

TEST_F(MainWindowTest, EscEnterAndF1DoNotCloseTheWindow) {
    auto w = makeWindow();
    w->show();
    for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_F1}) {
        QTest::keyClick(w.get(), static_cast<Qt::Key>(key));
        EXPECT_TRUE(w->isVisible()) << key;
    }
}

TEST_F(MainWindowTest, SectionsShowTheirSlidersAndTheFileValuesSurvive) {
    writeKeymap();
    auto w = makeWindow();
    w->show();
    click(*w, {100, 115});                                                  // expand lighting
    click(*w, test_support::hitCentre(*w, mainwindow::hit::kReportTitle));  // moved down
    w->renderSurface();
    int visible = 0;
    for (QSlider* s : w->findChildren<QSlider*>()) visible += s->isVisible() ? 1 : 0;
    EXPECT_EQ(visible, 3);
    // Showing the sliders must not overwrite the values loaded from keymap.bin.
    w->configModel().withLock([](model::ConfigState& s) {
        EXPECT_EQ(s.image[img::kSpeed], 4);
        EXPECT_EQ(s.image[img::kBrightness], 20);
    });
}

TEST_F(MainWindowTest, TheOpenEffectListLeavesNoCaptionOrTitleBesideIt) {
    auto w = makeWindow();
    w->show();
    w->configModel().withLock([](model::ConfigState& s) { s.image[img::kEffect] = 3; });  // speed
    click(*w, {100, 115});  // expand lighting
    // Light text pixels in a strip beside the list.
    const auto lightPixels = [](const QImage& surface, int left, int right, int top, int bottom) {
        int light = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                const QColor c = surface.pixelColor(x, y);
                light += std::min({c.red(), c.green(), c.blue()}) > 170 ? 1 : 0;
            }
        }
        return light;
    };
    // Right of the list beside the speed and brightness rows; left of it beside the titles of
    // the macro button and the sections below.
    const auto rightOfList = [&](const QImage& s) {
        return lightPixels(s, 28 + 220, 262, 240, 335);
    };
    const auto leftOfList = [&](const QImage& s) { return lightPixels(s, 19, 28, 330, 530); };
    // Expand the game section: its title row moves under the list.
    click(*w, test_support::hitCentre(*w, mainwindow::hit::kGameTitle));
    const QImage closed = w->renderSurface();
    EXPECT_GT(rightOfList(closed), 0);  // "Bright" and "Fast" reach into it
    EXPECT_GT(leftOfList(closed), 0);   // the titles' first letters
    click(*w, {100, 170});
    ASSERT_TRUE(w->viewState().panel.effectListOpen);
    const QImage open = w->renderSurface();
    EXPECT_EQ(rightOfList(open), 0);
    EXPECT_EQ(leftOfList(open), 0);
}

TEST_F(MainWindowTest, DiyViewFillsKeysWithTheirCellColour) {
    auto w = makeWindow();
    w->show();
    const int slot = 63;  // "A"
    const std::size_t cell = img::kDiyTables + 2 * img::kDiyTableSize + model::diyOffset(slot);
    w->configModel().withLock([&](model::ConfigState& s) {
        s.image[img::kEffect] = 53;
        s.image[cell + 1] = 0x10;  // blue
        s.image[cell + 2] = 0x80;  // green
        s.image[cell + 3] = 0xF0;  // red
    });
    click(*w, {100, 115});
    click(*w, test_support::hitCentre(*w, mainwindow::hit::kDiyView));
    ASSERT_TRUE(w->viewState().panel.diyView);
    const QImage surface = w->renderSurface();
    // On the cap's face: the key keeps its cap's rim and shape.
    const model::Rect r = model::windowRect(slot);
    EXPECT_EQ(surface.pixelColor(r.left + 6, r.top + 6), QColor(0xF0, 0x80, 0x10));
    const model::Rect other = model::windowRect(64);  // a cell of zeros stays unfilled
    EXPECT_NE(surface.pixelColor(other.left + 6, other.top + 6), QColor(0xF0, 0x80, 0x10));
}

TEST_F(MainWindowTest, ChangedKeysAreHighlightedButNeverTheWinKey) {
    // A skin of our own: a highlight picture of one colour over the whole keyboard.
    QTemporaryDir program;
    ASSERT_TRUE(QDir().mkpath(program.path() + QStringLiteral("/png/english")));
    QImage highlight(700, 380, QImage::Format_RGB32);
    highlight.fill(QColor(0, 200, 255));
    ASSERT_TRUE(highlight.save(program.path() + QStringLiteral("/png/english/kb_hl.png")));
    AppContext c = context();
    c.paths.programFolder = program.path() + QLatin1Char('/');
    MainWindow w(c);
    w.initialise(false);
    w.show();
    w.configModel().withLock([](model::ConfigState& s) {
        s.changedKeys[63] = 1;
        s.changedKeys[mainwindow::kWinKeySlot] = 1;
    });
    const auto pixelIn = [](const QImage& image, int slot) {
        const model::Rect r = model::windowRect(slot);
        return image.pixelColor(r.left + 3, r.top + 3);
    };
    QImage surface = w.renderSurface();
    EXPECT_EQ(pixelIn(surface, 63), QColor(0, 200, 255));
    EXPECT_NE(pixelIn(surface, mainwindow::kWinKeySlot), QColor(0, 200, 255));
    EXPECT_NE(pixelIn(surface, 64), QColor(0, 200, 255));
    // The hovered key is highlighted too.
    const model::Rect r = model::windowRect(64);
    const QPointF at(r.left + 5, r.top + 5);
    QMouseEvent move(QEvent::MouseMove, at, w.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &move);
    surface = w.renderSurface();
    EXPECT_EQ(pixelIn(surface, 64), QColor(0, 200, 255));
}

}  // namespace
}  // namespace tavrik::app
