#include "app_icon_theme.h"

#include <QDir>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

#include "artwork.h"

namespace tavrik::skingen {
namespace {

constexpr int kSvgSide = 64;  // the drawing's own square

QString appsFolder(const QString& root, const QString& sizeFolder) {
    return root + QStringLiteral("/hicolor/") + sizeFolder + QStringLiteral("/apps/");
}

bool writeSvg(const QString& root) {
    const QString dir = appsFolder(root, QStringLiteral("scalable"));
    if (!QDir().mkpath(dir)) return false;
    QSvgGenerator svg;
    svg.setFileName(dir + QLatin1String(kThemeIconName) + QStringLiteral(".svg"));
    svg.setSize(QSize(kSvgSide, kSvgSide));
    svg.setViewBox(QRect(0, 0, kSvgSide, kSvgSide));
    svg.setTitle(QStringLiteral("Tavrik 87Rev"));
    QPainter p;
    if (!p.begin(&svg)) return false;
    p.setRenderHint(QPainter::Antialiasing);
    paintAppIcon(p);
    return p.end();
}

}  // namespace

bool writeThemeIcons(const QString& root) {
    bool ok = true;
    for (int size : kThemeIconSizes) {
        const QString dir = appsFolder(root, QStringLiteral("%1x%1").arg(size));
        const QString file = dir + QLatin1String(kThemeIconName) + QStringLiteral(".png");
        if (!QDir().mkpath(dir) || !appIcon(size).save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            ok = false;
        }
    }
    if (!writeSvg(root)) {
        std::fprintf(stderr, "cannot write the scalable icon under %s\n", qPrintable(root));
        ok = false;
    }
    return ok;
}

}  // namespace tavrik::skingen
