#include "launcher/desktop_launcher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

#include "host/qt/log_categories.h"
#include "host/qt/qt_text.h"

namespace tavrik::app {

DesktopLauncher::DesktopLauncher(UrlOpener openUrl) : m_openUrl(std::move(openUrl)) {
    if (!m_openUrl) m_openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void DesktopLauncher::launch(const keyassign::LaunchRequest& request) {
    const QFileInfo target(qs(request.path));
    if (!target.exists()) {
        qCDebug(lcLaunch).noquote() << "launch path not found:" << target.filePath();
        return;
    }
    if (request.kind == keyassign::LaunchKind::Program && target.isFile() &&
        target.isExecutable()) {
        const QString folder =
            request.workingFolder.empty() ? target.absolutePath() : qs(request.workingFolder);
        if (!QProcess::startDetached(target.absoluteFilePath(), {}, folder)) {
            qCDebug(lcLaunch).noquote() << "launch failed:" << target.absoluteFilePath();
        }
        return;
    }
    if (!m_openUrl(QUrl::fromLocalFile(target.absoluteFilePath()))) {
        qCDebug(lcLaunch).noquote() << "launch failed:" << target.absoluteFilePath();
    }
}

}  // namespace tavrik::app
