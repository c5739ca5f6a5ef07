#pragma once
// The wlroots backend (Sway, Hyprland and other compositors that offer the foreign-toplevel
// list): the toplevels' app_ids and which one is activated, read from a Wayland connection of
// our own whenever the compositor writes to it.

#include <QSocketNotifier>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "appwatch/active_app_watcher.h"

struct wl_display;
struct wl_registry;
struct zwlr_foreign_toplevel_manager_v1;

namespace tavrik::app {

class WlrootsWatcher final : public ActiveAppWatcher {
    Q_OBJECT
public:
    // `display` as in WAYLAND_DISPLAY (a name in XDG_RUNTIME_DIR or an absolute path); empty:
    // the process's default.
    explicit WlrootsWatcher(QString display, QObject* parent = nullptr);
    ~WlrootsWatcher() override;

    // Whether the compositor at `display` offers the foreign-toplevel list (a short connection
    // of its own); false also when it cannot be reached.
    static bool compositorOffersToplevels(const QString& display);

    QString backendName() const override { return QStringLiteral("wlroots"); }
    bool start() override;
    bool canListOpenApps() const override { return true; }
    QStringList openApps() const override { return m_openApps; }

    struct Toplevel;
    // Called by the protocol's listeners.
    void toplevelAdded(std::unique_ptr<Toplevel> toplevel);
    void toplevelClosed(Toplevel* toplevel);
    void managerFinished();
    void globalAdded(wl_registry* registry, uint32_t name, const char* interface, uint32_t version);

private:
    void onReadable();
    bool dispatchFailed();
    void update();
    void fail(const QString& why);

    QString m_displayName;
    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    std::vector<std::unique_ptr<Toplevel>> m_toplevels;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::optional<ActiveApp> m_active;
    QStringList m_openApps;
    uint64_t m_activationCount = 0;
    bool m_failed = false;
};

}  // namespace tavrik::app
