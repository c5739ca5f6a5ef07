#pragma once
// The KDE Plasma (Wayland) backend: a KWin script of ours, loaded through KWin's scripting
// interface on the session bus, reports the active window to an object we register there.

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusServiceWatcher>
#include <QTemporaryFile>
#include <memory>
#include <optional>

#include "appwatch/active_app_watcher.h"

namespace tavrik::app {

class KWinWatcher final : public ActiveAppWatcher, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tavrik87rev.ActiveApp")
public:
    // Where the script calls us, and the name it is loaded under in KWin.
    static constexpr const char* kService = "org.tavrik87rev.ActiveApp";
    static constexpr const char* kPath = "/ActiveApp";
    static constexpr const char* kPluginName = "tavrik-87rev-active-app";
    // The script as shipped.
    static constexpr const char* kScriptResource = ":/appwatch/kwin/active_app.js";

    explicit KWinWatcher(QDBusConnection bus, QObject* parent = nullptr);
    ~KWinWatcher() override;

    QString backendName() const override { return QStringLiteral("KWin"); }
    bool start() override;
    bool canListOpenApps() const override { return true; }
    QStringList openApps() const override { return m_openApps; }

public slots:
    // Called by the script over D-Bus; calls from anyone but KWin are ignored.
    Q_SCRIPTABLE void activeWindowChanged(const QString& resourceClass,
                                          const QString& resourceName);
    // The resource classes of the open windows, one a line.
    Q_SCRIPTABLE void openWindowsChanged(const QString& resourceClasses);

private:
    bool fromKWin();
    bool loadScript();
    void unloadScript();
    void fail(const QString& why);

    QDBusConnection m_bus;
    QString m_kwinOwner;  // KWin's unique name on the bus
    std::unique_ptr<QTemporaryFile> m_script;
    std::unique_ptr<QDBusServiceWatcher> m_kwinWatch;
    std::optional<ActiveApp> m_active;
    QStringList m_openApps;
    bool m_registered = false;
    bool m_loaded = false;
    bool m_started = false;
    bool m_failed = false;
};

}  // namespace tavrik::app
