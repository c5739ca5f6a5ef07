#include "launcher/launch_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

#include "host/qt/qt_text.h"
#include "keyassign/catalogue.h"
#include "keyassign/launch.h"

namespace tavrik::app {
namespace {

QString fileStartFolder() {
    return QString::fromStdString(keyassign::chooserStartFolder(
        QDir::currentPath().toStdString(), QDir::homePath().toStdString(),
        [](const std::string& p) { return QFileInfo(QString::fromStdString(p)).isDir(); }));
}

// The chooser's filters. On Windows the row's own filter and default extension; elsewhere
// programs and documents carry no fixed suffix, so nothing is filtered out or appended.
QStringList nameFilters(const keyassign::KindInfo& info, int row) {
#ifdef _WIN32
    (void)row;
    return {qs(info.filter)};
#else
    (void)info;
    const QString all = QStringLiteral("All files (*)");
    if (row == 0) {
        return {QStringLiteral("Audio files (*.mp3 *.wav *.ogg *.oga *.opus *.flac)"), all};
    }
    return {all};
#endif
}

}  // namespace

std::optional<std::string> chooseLaunchPath(QWidget* parent, int row, Language lang) {
    const keyassign::KindInfo info = keyassign::launchRowInfo(row);
    if (info.chooser == keyassign::Chooser::Folder) {
        QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        if (!QFileInfo(desktop).isDir()) desktop = QDir::homePath();
        const QString dir = QFileDialog::getExistingDirectory(
            parent, qs(keyassign::kFolderChooserTitle.in(lang)), desktop);
        if (dir.isNull()) return std::nullopt;
        return QDir::toNativeSeparators(dir).toStdString();
    }
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFilters(info, row));
#ifdef _WIN32
    dialog.setDefaultSuffix(qs(info.defaultExtension.substr(1)));
#endif
    dialog.setDirectory(fileStartFolder());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first()).toStdString();
}

}  // namespace tavrik::app
