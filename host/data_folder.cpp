#include "host/data_folder.h"

#include <QDir>
#include <QFileInfo>

namespace tavrik::app {

QString dataFolderFor(const appconfig::Options& options, const QString& programFolder) {
    appconfig::DataFolderInputs in;
    in.programFolder = programFolder.toStdString();
    in.programFolderWritable = QFileInfo(programFolder).isWritable();
    in.skinBesideProgram = QFileInfo(programFolder + QStringLiteral("png")).isDir();
    in.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME").toStdString();
    in.home = QDir::homePath().toStdString();
    in.dataDir = options.dataDir;
    return QString::fromStdString(appconfig::dataFolder(in).string());
}

}  // namespace tavrik::app
