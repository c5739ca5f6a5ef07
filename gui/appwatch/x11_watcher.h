#pragma once
// The X11 backend (also XWayland-only sessions): a connection of its own to the display, the
// root window's _NET_ACTIVE_WINDOW and _NET_CLIENT_LIST as an EWMH window manager keeps them,
// read when the server reports a change (no polling).

#include <QSocketNotifier>
#include <cstdint>
#include <memory>
#include <optional>

#include "appwatch/active_app_watcher.h"

struct xcb_connection_t;

namespace tavrik::app {

class X11Watcher final : public ActiveAppWatcher {
    Q_OBJECT
public:
    // `display` as in DISPLAY (":0"); empty: the process's DISPLAY.
    explicit X11Watcher(QString display, QObject* parent = nullptr);
    ~X11Watcher() override;

    QString backendName() const override { return QStringLiteral("X11"); }
    bool start() override;
    bool canListOpenApps() const override { return true; }
    QStringList openApps() const override { return m_openApps; }

private:
    // The ids of one window (WM_CLASS instance and class, the executable of _NET_WM_PID); empty
    // when the window is gone or names nothing.
    ActiveApp appOfWindow(uint32_t window);
    void onReadable();
    void refreshActive();
    void refreshOpenApps();
    bool connectionLost();
    void fail(const QString& why);
    uint32_t activeWindow();

    QString m_display;
    xcb_connection_t* m_connection = nullptr;
    uint32_t m_root = 0;
    uint32_t m_atomActiveWindow = 0;
    uint32_t m_atomClientList = 0;
    uint32_t m_atomWmPid = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::optional<ActiveApp> m_active;  // nothing reported yet
    QStringList m_openApps;
    bool m_failed = false;
};

}  // namespace tavrik::app
