#include "windows/app_paths.h"

#include <QDir>
#include <QFileInfo>

#include "appconfig/update_check.h"
#include "host/data_folder.h"
#include "host/qt/log_categories.h"
#include "host/qt/qt_text.h"
#include "macro/macro_store.h"
#include "model/keymap_file.h"
#include "skin/skin_paths.h"

namespace tavrik::app {

QString AppPaths::keymapFile() const {
    return QDir(dataFolder).filePath(QString::fromUtf8(model::kKeymapFileName));
}
QString AppPaths::macroFile() const {
    return QDir(dataFolder).filePath(QString::fromUtf8(macro::kMacroFileName));
}
QString AppPaths::versionFile() const {
    const QString name = QString::fromUtf8(appconfig::kVersionFileName);
    const QString own = QDir(dataFolder).filePath(name);
    if (QFileInfo::exists(own)) return own;
    const QString shipped = shippedFile(name);
    return shipped.isEmpty() ? QDir(programFolder).filePath(name) : shipped;
}

QString AppPaths::updaterProgram() const {
    return QDir(programFolder).filePath(qs(appconfig::kUpdaterFileName));
}

QString AppPaths::shippedFile(const QString& name) const {
    for (const QString& folder : {programFolder, installedShareFolder(programFolder)}) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isFile()) return path;
    }
    return {};
}

QString installedShareFolder(const QString& programFolder) {
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/") +
                           QString::fromUtf8(appconfig::kDataFolderName)) +
           u'/';
}

AppPaths resolveAppPaths(const appconfig::Options& options, const QString& programFolder) {
    AppPaths paths;
    paths.programFolder = programFolder;
    paths.dataFolder = dataFolderFor(options, paths.programFolder);
    if (!QDir().mkpath(paths.dataFolder)) qCWarning(lcFiles) << "cannot create" << paths.dataFolder;
    return paths;
}

AppPaths resolveAppPaths(const appconfig::Options& options) {
    return resolveAppPaths(options, skin::programFolder());
}

}  // namespace tavrik::app
