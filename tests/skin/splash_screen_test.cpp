#include "skin/splash_screen.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace tavrik::skin {
namespace {

QString programWithSplash(const QTemporaryDir& dir, const char* language, QSize size) {
    const QString folder = dir.path() + "/png/" + language + "/";
    QDir().mkpath(folder);
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::darkGray);
    img.save(folder + "SplashScreen.png");
    return dir.path() + "/";
}

TEST(SplashScreenTest, TakesTheImageSizeOfItsLanguageAndClosesOnThe52ndTick) {
    QTemporaryDir dir;
    programWithSplash(dir, "english", {120, 80});
    const QString program = programWithSplash(dir, "chinese", {90, 60});
    SplashScreen splash(program, 4);
    EXPECT_EQ(splash.size(), QSize(90, 60));
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(splash.exec(), QDialog::Accepted);
    EXPECT_EQ(splash.ticks(), 52);
    EXPECT_GE(clock.elapsed(), 51 * SplashScreen::kTickMs);
}

TEST(SplashScreenTest, MissingImageStillClosesOnTime) {
    QTemporaryDir dir;
    SplashScreen splash(dir.path() + "/", 0);
    EXPECT_TRUE(splash.image().isNull());
    EXPECT_EQ(splash.exec(), QDialog::Accepted);
    EXPECT_EQ(splash.ticks(), 52);
}

}  // namespace
}  // namespace tavrik::skin
