#pragma once
// ActiveAppWatcher: reports which application the user is working in, for profiles that follow
// the application in front. One backend per kind of desktop session (X11 and XWayland-only
// sessions, wlroots compositors, KDE Plasma on Wayland), chosen from the session's environment;
// every backend reports on the thread that created it, through the signals below.

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

namespace tavrik::app {

// The application in front: the ids a profile rule may name, most specific first (on X11 the
// WM_CLASS instance, the WM_CLASS class and the executable's name; on Wayland the app_id).
// Empty when no window is active (a desktop or an unmanaged window has the focus).
struct ActiveApp {
    QStringList ids;
    bool operator==(const ActiveApp&) const = default;
};

class ActiveAppWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ActiveAppWatcher() override = default;

    // A short name of the backend for logs and the profile window ("X11", "wlroots", "KWin").
    virtual QString backendName() const = 0;
    // Starts watching; the current application is reported soon after, then each change once.
    // False (and unavailable() emitted) when the session refuses.
    virtual bool start() = 0;
    // Whether openApps() can list the applications whose windows are open.
    virtual bool canListOpenApps() const = 0;
    // The ids of the applications whose windows are open, each once, sorted case-insensitively.
    virtual QStringList openApps() const = 0;

signals:
    // The application in front changed (emitted once per change, never for the same app twice).
    void activeAppChanged(const tavrik::app::ActiveApp& app);
    // The list openApps() returns changed.
    void openAppsChanged();
    // The backend stopped working (display connection lost, compositor gone); why, in English.
    void unavailable(const QString& why);
};

// What chooses the backend: the session's XDG_SESSION_TYPE, WAYLAND_DISPLAY, DISPLAY and
// XDG_CURRENT_DESKTOP.
struct SessionEnvironment {
    QString sessionType;
    QString waylandDisplay;
    QString display;
    QString currentDesktop;
    static SessionEnvironment fromProcess();
};

// Why a session has no watcher: empty when it has one. GNOME on Wayland offers applications
// no way to learn the active window; the text says so (English; the window shows its own
// two-language text for this case).
enum class WatchSupport { Supported, GnomeWayland, NoDisplay };
WatchSupport watchSupport(const SessionEnvironment& env);

// The backend for this session, or null when it has none (see watchSupport).
std::unique_ptr<ActiveAppWatcher> createActiveAppWatcher(const SessionEnvironment& env,
                                                         QObject* parent = nullptr);

}  // namespace tavrik::app

Q_DECLARE_METATYPE(tavrik::app::ActiveApp)
