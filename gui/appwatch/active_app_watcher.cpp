#include "appwatch/active_app_watcher.h"

#include "appwatch/backend_choice.h"
#include "appwatch/kwin_watcher.h"
#include "appwatch/wlroots_watcher.h"
#include "appwatch/x11_watcher.h"
#include "host/qt/log_categories.h"

#include <QDBusConnection>
#include <algorithm>

namespace tavrik::app {
namespace {

// XDG_CURRENT_DESKTOP is a colon-separated list ("ubuntu:GNOME", "KDE").
bool desktopIs(const QString& currentDesktop, QLatin1StringView name) {
    const QStringList parts = currentDesktop.split(u':', Qt::SkipEmptyParts);
    return std::any_of(parts.begin(), parts.end(), [&](const QString& part) {
        return part.trimmed().compare(name, Qt::CaseInsensitive) == 0;
    });
}

bool isWaylandSession(const SessionEnvironment& env) {
    if (env.sessionType.compare(u"wayland", Qt::CaseInsensitive) == 0) return true;
    // A session manager that says nothing (or "tty": a compositor started from a console)
    // leaves WAYLAND_DISPLAY to tell; an X11 session is X11 even with a nested compositor.
    return env.sessionType.compare(u"x11", Qt::CaseInsensitive) != 0 &&
           !env.waylandDisplay.isEmpty();
}

}  // namespace

SessionEnvironment SessionEnvironment::fromProcess() {
    return {qEnvironmentVariable("XDG_SESSION_TYPE"), qEnvironmentVariable("WAYLAND_DISPLAY"),
            qEnvironmentVariable("DISPLAY"), qEnvironmentVariable("XDG_CURRENT_DESKTOP")};
}

WatchBackend chooseWatchBackend(const SessionEnvironment& env) {
    if (isWaylandSession(env)) {
        if (desktopIs(env.currentDesktop, QLatin1StringView("KDE"))) return WatchBackend::KWin;
        if (desktopIs(env.currentDesktop, QLatin1StringView("GNOME"))) return WatchBackend::None;
        return WatchBackend::Wlroots;
    }
    return env.display.isEmpty() ? WatchBackend::None : WatchBackend::X11;
}

WatchSupport watchSupport(const SessionEnvironment& env) {
    switch (chooseWatchBackend(env)) {
        case WatchBackend::X11:
        case WatchBackend::Wlroots:
        case WatchBackend::KWin:
            return WatchSupport::Supported;
        case WatchBackend::None:
            break;
    }
    return isWaylandSession(env) ? WatchSupport::GnomeWayland : WatchSupport::NoDisplay;
}

std::unique_ptr<ActiveAppWatcher> createActiveAppWatcher(const SessionEnvironment& env,
                                                         QObject* parent) {
    std::unique_ptr<ActiveAppWatcher> watcher;
    switch (chooseWatchBackend(env)) {
        case WatchBackend::None:
            qCDebug(lcApps) << "no active-application watcher for this session (type"
                            << env.sessionType << "desktop" << env.currentDesktop << ")";
            return nullptr;
        case WatchBackend::X11:
            watcher = std::make_unique<X11Watcher>(env.display);
            break;
        case WatchBackend::KWin:
            watcher = std::make_unique<KWinWatcher>(QDBusConnection::sessionBus());
            break;
        case WatchBackend::Wlroots:
            if (WlrootsWatcher::compositorOffersToplevels(env.waylandDisplay) ||
                env.display.isEmpty()) {
                watcher = std::make_unique<WlrootsWatcher>(env.waylandDisplay);
            } else {
                qCInfo(lcApps) << "the compositor offers no foreign-toplevel list: watching"
                               << env.display << "through XWayland, which sees X clients only";
                watcher = std::make_unique<X11Watcher>(env.display);
            }
            break;
    }
    qCDebug(lcApps) << "active-application watcher:" << watcher->backendName();
    watcher->setParent(parent);
    return watcher;
}

}  // namespace tavrik::app
