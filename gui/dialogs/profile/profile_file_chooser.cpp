#include "dialogs/profile/profile_file_chooser.h"

#include <QFile>
#include <QFileDialog>

namespace tavrik::app {
namespace {

std::optional<std::filesystem::path> runChooser(QWidget* parent, const QString& startFolder,
                                                QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    dialog.setNameFilter(QString::fromLatin1(kProfileFileFilter));
    dialog.setDefaultSuffix(QString::fromLatin1(kProfileFileSuffix));
    dialog.setDirectory(startFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return std::filesystem::path(QFile::encodeName(dialog.selectedFiles().first()).toStdString());
}

}  // namespace

std::optional<std::filesystem::path> QtProfileFileChooser::chooseSavePath(
    QWidget* parent, const QString& startFolder) {
    return runChooser(parent, startFolder, QFileDialog::AcceptSave);
}

std::optional<std::filesystem::path> QtProfileFileChooser::chooseOpenPath(
    QWidget* parent, const QString& startFolder) {
    return runChooser(parent, startFolder, QFileDialog::AcceptOpen);
}

}  // namespace tavrik::app
