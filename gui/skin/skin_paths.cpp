#include "skin/skin_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "common/language.h"
#include "host/qt/qt_text.h"

namespace tavrik::skin {

QString programFolderOf(const QString& exePath) {
    const qsizetype slash = exePath.lastIndexOf(u'/');
    if (slash < 0) return QStringLiteral("./");
    return exePath.left(slash + 1);
}

QString programFolder() {
    return programFolderOf(QCoreApplication::applicationFilePath());
}

QString languageFolder(int languageCode) {
    return languageCode == kChineseLanguageCode ? QStringLiteral("png/chinese/")
                                                : QStringLiteral("png/english/");
}

QString skinRoot(const QString& programFolder) {
    if (QFileInfo(programFolder + QStringLiteral("png")).isDir()) return programFolder;
    const QString shared =
        QDir::cleanPath(programFolder + QStringLiteral("../share/tavrik-87rev")) + u'/';
    if (QFileInfo(shared + QStringLiteral("png")).isDir()) return shared;
    return programFolder;
}

QString skinFolder(const QString& programFolder, int languageCode, SkinPart part) {
    const std::string_view sub = partFolder(part);
    return skinRoot(programFolder) + languageFolder(languageCode) + app::qs(sub);
}

QString skinPath(const QString& programFolder, int languageCode, SkinPart part,
                 const QString& fileName) {
    return skinFolder(programFolder, languageCode, part) + fileName;
}

}  // namespace tavrik::skin
