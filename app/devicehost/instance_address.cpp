#include "devicehost/instance_address.h"

#include <QDir>
#include <QStandardPaths>

namespace tavrik::app {

QString instanceName() {
    return QStringLiteral("tavrik-87rev-{5B0F4E1C-8A6D-4C2B-9E37-1D84A0C6F2B9}");
}

QString instanceFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return folder;
}

QString instanceSocketPath() {
    return QDir(instanceFolder()).filePath(instanceName() + QStringLiteral(".sock"));
}

QString instanceLockPath() {
    return QDir(instanceFolder()).filePath(instanceName() + QStringLiteral(".lock"));
}

}  // namespace tavrik::app
