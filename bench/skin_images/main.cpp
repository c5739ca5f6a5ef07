// Measures what a main-window paint costs in image loading: decoding every PNG at each paint
// against the cache that only checks each file's modification time. Prints one table.
// Usage: tavrik-bench-skin-images (reads the skin beside this executable).

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "skin/skin_images.h"
#include "skin/skin_paths.h"

namespace {

// The images one paint of the main window draws (all sections expanded).
const char* const kPaint[] = {"main.png",
                              "button-help-normal.png",
                              "button-min-normal.png",
                              "button-close-normal.png",
                              "logo.png",
                              "kb_BK.png",
                              "kb_hl.png",
                              "button-cancel-normal.png",
                              "text.png",
                              "Config.png",
                              "itemBK.png",
                              "LEDEffect_open.png",
                              "Light_Item.png",
                              "freq.png",
                              "MacroManagementBK.png",
                              "MacroButton3.png",
                              "gamemode_open.png",
                              "Enable.png",
                              "Disable.png",
                              "responsetime_open.png",
                              "reportrate_Open.png"};

double paintMs(tavrik::skin::SkinImages& images, QImage& surface) {
    QElapsedTimer t;
    t.start();
    QPainter p(&surface);
    for (const char* name : kPaint) images.draw(p, 0, 0, QString::fromLatin1(name));
    return t.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder =
        tavrik::skin::skinFolder(tavrik::skin::programFolder(), 0, tavrik::skin::SkinPart::Main);
    QImage surface(1000, 640, QImage::Format_RGB32);
    constexpr int kRounds = 50;

    double uncached = 0;
    for (int i = 0; i < kRounds; ++i) {
        tavrik::skin::SkinImages fresh(folder);
        uncached += paintMs(fresh, surface);
    }
    tavrik::skin::SkinImages cached(folder);
    paintMs(cached, surface);  // first paint decodes
    double hit = 0;
    for (int i = 0; i < kRounds; ++i) hit += paintMs(cached, surface);

    std::printf("%-34s %10s\n", "main window paint, 21 images", "ms/paint");
    std::printf("%-34s %10.3f\n", "decode at every paint", uncached / kRounds);
    std::printf("%-34s %10.3f\n", "cache, modification time checked", hit / kRounds);
    std::printf("decodes with cache: %d for %d paints\n", cached.decodeCount(), kRounds + 1);
    return cached.missedFiles().isEmpty() ? 0 : 1;
}
