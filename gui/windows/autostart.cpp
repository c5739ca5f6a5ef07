#include "windows/autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "appconfig/autostart_entry.h"

namespace tavrik::app {

QString autostartEntryFile() {
    const auto path = appconfig::autostartEntryPath(
        qEnvironmentVariable("XDG_CONFIG_HOME").toStdString(), QDir::homePath().toStdString());
    return QString::fromStdString(path.string());
}

bool autostartEnabled() {
    return QFileInfo::exists(autostartEntryFile());
}

bool setAutostart(bool enabled, const QString& program, QString* error) {
    const QString path = autostartEntryFile();
    if (!enabled) {
        QFile entry(path);
        if (!entry.exists() || entry.remove()) return true;
        *error = entry.errorString();
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).path())) {
        *error = QStringLiteral("cannot create %1").arg(QFileInfo(path).path());
        return false;
    }
    QSaveFile entry(path);
    const std::string text = appconfig::autostartEntry(program.toStdString());
    if (!entry.open(QIODevice::WriteOnly) ||
        entry.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !entry.commit()) {
        *error = entry.errorString();
        return false;
    }
    return true;
}

}  // namespace tavrik::app
