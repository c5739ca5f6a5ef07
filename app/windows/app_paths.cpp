#include "windows/app_paths.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include "macro/macro_store.h"
#include "mainwindow/update_check.h"
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
    const QString own = QDir(dataFolder).filePath(mainwindow::kVersionFileName);
    if (QFileInfo::exists(own)) return own;
    return QDir(programFolder).filePath(mainwindow::kVersionFileName);
}

QString AppPaths::updaterProgram() const {
    return QDir(programFolder)
        .filePath(QString::fromUtf8(mainwindow::kUpdaterFileName.data(),
                                    static_cast<qsizetype>(mainwindow::kUpdaterFileName.size())));
}

AppPaths resolveAppPaths(const mainwindow::Options& options) {
    AppPaths paths;
    paths.programFolder = skin::programFolder();
    mainwindow::DataFolderInputs in;
    in.programFolder = paths.programFolder.toStdString();
    in.programFolderWritable = QFileInfo(paths.programFolder).isWritable();
    in.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME").toStdString();
    in.home = QDir::homePath().toStdString();
    in.dataDir = options.dataDir;
    paths.dataFolder = QString::fromStdString(mainwindow::dataFolder(in).string());
    if (!QDir().mkpath(paths.dataFolder)) qDebug() << "cannot create" << paths.dataFolder;
    return paths;
}

}  // namespace tavrik::app
