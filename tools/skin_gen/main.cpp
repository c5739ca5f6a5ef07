// Draws the tool's skin: every image of the skin manifest, for both language folders, at its
// manifest size, plus the application icon. Usage: tavrik-skin-gen <output folder> [<icon theme
// folder>]; the images land in <output folder>/png/english/..., <output folder>/png/chinese/...
// and <output folder>/png/app-icon.png (with app-icon@2x.png); the desktop's icons in <icon theme
// folder>/hicolor/.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "app_icon_theme.h"
#include "artwork.h"
#include "common/language.h"
#include "host/qt/qt_text.h"
#include "skin/skin_manifest.h"

namespace {

using tavrik::app::qs;

bool writeLanguage(const QString& root, const QString& folder, int languageCode) {
    bool ok = true;
    for (const auto& entry : tavrik::skin::skinManifest()) {
        const QString part = qs(tavrik::skin::partFolder(entry.part));
        const QString name = qs(entry.name);
        const QString dir = root + "/png/" + folder + "/" + part;
        QDir().mkpath(dir);
        // Each image also at twice the size ("name@2x.png") for screens scaled 150 % and more.
        for (int scale : {1, 2}) {
            QImage image(entry.width * scale, entry.height * scale, QImage::Format_RGB32);
            image.setDevicePixelRatio(scale);
            if (!tavrik::skingen::paintSkinImage(image, part, name, languageCode)) {
                std::fprintf(stderr, "no artwork for %s%s\n", qPrintable(part), qPrintable(name));
                ok = false;
                break;
            }
            const QString file =
                scale == 1 ? name
                           : QString::fromStdString(tavrik::skin::doubleSizeName(entry.name));
            if (!image.save(dir + file, "PNG")) {
                std::fprintf(stderr, "cannot write %s%s\n", qPrintable(dir), qPrintable(file));
                ok = false;
            }
        }
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: tavrik-skin-gen <output folder> [<icon theme folder>]\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    bool ok = writeLanguage(root, "english", 0);
    ok = writeLanguage(root, "chinese", tavrik::kChineseLanguageCode) && ok;
    // The icon, and its twin at twice the size for scaled screens.
    for (int scale : {1, 2}) {
        const std::string name = scale == 1 ? std::string(tavrik::skin::kAppIcon)
                                            : tavrik::skin::doubleSizeName(tavrik::skin::kAppIcon);
        const QString icon = root + "/png/" + QString::fromStdString(name);
        if (!tavrik::skingen::appIcon(tavrik::skin::kAppIconSize * scale).save(icon, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(icon));
            ok = false;
        }
    }
    if (argc == 3) ok = tavrik::skingen::writeThemeIcons(QString::fromLocal8Bit(argv[2])) && ok;
    return ok ? 0 : 1;
}
