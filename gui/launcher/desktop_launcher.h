#pragma once
// Launch actions on the desktop: documents and folders open with the desktop's default
// application, programs start detached in their working folder. Nothing goes through a shell,
// and nothing waits for what was opened.

#include <QUrl>
#include <functional>

#include "keyassign/launch.h"

namespace tavrik::app {

class DesktopLauncher : public keyassign::Launcher {
public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    // `openUrl` opens documents and folders; QDesktopServices::openUrl unless a caller replaces it.
    explicit DesktopLauncher(UrlOpener openUrl = {});

    // A path that does not exist does nothing but write one debug line. A program that is not
    // an executable file (say, a Windows program) is handed to the desktop like a document.
    void launch(const keyassign::LaunchRequest& request) override;

private:
    UrlOpener m_openUrl;
};

}  // namespace tavrik::app
