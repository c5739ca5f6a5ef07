#include "appwatch/wlroots_watcher.h"

#include <wayland-client.h>

#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "appwatch/app_ids.h"
#include "host/qt/log_categories.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace tavrik::app {

// One toplevel: what the compositor has said so far (pending) and what its last done made
// true.
struct WlrootsWatcher::Toplevel {
    WlrootsWatcher* watcher = nullptr;
    zwlr_foreign_toplevel_handle_v1* handle = nullptr;
    QString appId, pendingAppId;
    bool activated = false, pendingActivated = false;
    uint64_t activatedAt = 0;  // when it last became activated, to choose among several seats
    ~Toplevel() {
        if (handle) zwlr_foreign_toplevel_handle_v1_destroy(handle);
    }
};

namespace {

constexpr uint32_t kManagerVersion = 3;
constexpr const char* kManagerInterface = "zwlr_foreign_toplevel_manager_v1";

using Toplevel = WlrootsWatcher::Toplevel;

void onTitle(void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}
void onAppId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId) {
    auto* t = static_cast<Toplevel*>(data);
    t->pendingAppId = appIdFromBytes(QByteArrayView(appId ? appId : ""));
}
void onOutputEnter(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void onOutputLeave(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void onState(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
    auto* t = static_cast<Toplevel*>(data);
    t->pendingActivated = false;
    if (!states) return;
    const size_t count = states->size / sizeof(uint32_t);
    for (size_t i = 0; i < count; ++i) {
        uint32_t state;
        std::memcpy(&state, static_cast<const char*>(states->data) + i * sizeof state,
                    sizeof state);
        if (state == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) t->pendingActivated = true;
    }
}
void onDone(void* data, zwlr_foreign_toplevel_handle_v1*) {
    auto* t = static_cast<Toplevel*>(data);
    t->appId = t->pendingAppId;
    t->activated = t->pendingActivated;
}
void onClosed(void* data, zwlr_foreign_toplevel_handle_v1*) {
    auto* t = static_cast<Toplevel*>(data);
    t->watcher->toplevelClosed(t);
}
void onParent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

const zwlr_foreign_toplevel_handle_v1_listener kToplevelListener = {
    onTitle, onAppId, onOutputEnter, onOutputLeave, onState, onDone, onClosed, onParent,
};

void onToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                zwlr_foreign_toplevel_handle_v1* handle) {
    auto* watcher = static_cast<WlrootsWatcher*>(data);
    auto toplevel = std::make_unique<Toplevel>();
    toplevel->watcher = watcher;
    toplevel->handle = handle;
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kToplevelListener, toplevel.get());
    watcher->toplevelAdded(std::move(toplevel));
}
void onFinished(void* data, zwlr_foreign_toplevel_manager_v1*) {
    static_cast<WlrootsWatcher*>(data)->managerFinished();
}
const zwlr_foreign_toplevel_manager_v1_listener kManagerListener = {onToplevel, onFinished};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t version) {
    static_cast<WlrootsWatcher*>(data)->globalAdded(registry, name, interface, version);
}
void onGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

// For the probe: whether the global is there.
void onProbeGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
    if (std::strcmp(interface, kManagerInterface) == 0) *static_cast<bool*>(data) = true;
}
const wl_registry_listener kProbeListener = {onProbeGlobal, onGlobalRemove};

wl_display* connectTo(const QString& display) {
    const QByteArray name = display.toLocal8Bit();
    return wl_display_connect(name.isEmpty() ? nullptr : name.constData());
}

}  // namespace

WlrootsWatcher::WlrootsWatcher(QString display, QObject* parent)
    : ActiveAppWatcher(parent), m_displayName(std::move(display)) {}

WlrootsWatcher::~WlrootsWatcher() {
    m_notifier.reset();
    m_toplevels.clear();  // destroys the handles
    if (m_manager) {
        zwlr_foreign_toplevel_manager_v1_stop(m_manager);
        zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    }
    if (m_registry) wl_registry_destroy(m_registry);
    if (m_display) {
        wl_display_flush(m_display);
        wl_display_disconnect(m_display);
    }
}

bool WlrootsWatcher::compositorOffersToplevels(const QString& display) {
    wl_display* connection = connectTo(display);
    if (!connection) return false;
    bool offered = false;
    wl_registry* registry = wl_display_get_registry(connection);
    wl_registry_add_listener(registry, &kProbeListener, &offered);
    const bool answered = wl_display_roundtrip(connection) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(connection);
    return answered && offered;
}

void WlrootsWatcher::globalAdded(wl_registry* registry, uint32_t name, const char* interface,
                                 uint32_t version) {
    if (m_manager || std::strcmp(interface, kManagerInterface) != 0) return;
    m_manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_foreign_toplevel_manager_v1_interface,
                         std::min(version, kManagerVersion)));
    zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &kManagerListener, this);
}

void WlrootsWatcher::toplevelAdded(std::unique_ptr<Toplevel> toplevel) {
    m_toplevels.push_back(std::move(toplevel));
}

void WlrootsWatcher::toplevelClosed(Toplevel* toplevel) {
    std::erase_if(m_toplevels, [toplevel](const auto& t) { return t.get() == toplevel; });
}

void WlrootsWatcher::managerFinished() {
    // The compositor has let go of the object: no more requests on it.
    if (m_manager) zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    m_manager = nullptr;
    fail(QStringLiteral("the compositor stopped sending its toplevel list"));
}

void WlrootsWatcher::fail(const QString& why) {
    if (m_failed) return;
    m_failed = true;
    if (m_notifier) m_notifier->setEnabled(false);
    qCWarning(lcApps).noquote() << "wlroots watcher:" << why;
    emit unavailable(why);
}

bool WlrootsWatcher::dispatchFailed() {
    if (m_failed) return true;
    if (wl_display_get_error(m_display) == 0) return false;
    fail(QStringLiteral("the connection to the Wayland compositor was lost (%1)")
             .arg(QString::fromLocal8Bit(std::strerror(wl_display_get_error(m_display)))));
    return true;
}

bool WlrootsWatcher::start() {
    if (m_display) return !m_failed;
    m_display = connectTo(m_displayName);
    if (!m_display) {
        fail(QStringLiteral("cannot connect to the Wayland compositor %1")
                 .arg(m_displayName.isEmpty() ? QStringLiteral("(default)") : m_displayName));
        return false;
    }
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &kRegistryListener, this);
    // The globals, then the toplevels that exist now with their first states.
    if (wl_display_roundtrip(m_display) < 0 || dispatchFailed()) {
        fail(QStringLiteral("the Wayland compositor did not answer"));
        return false;
    }
    if (!m_manager) {
        fail(QStringLiteral("the Wayland compositor offers no foreign-toplevel list"));
        return false;
    }
    if (wl_display_roundtrip(m_display) < 0 || dispatchFailed()) {
        fail(QStringLiteral("the Wayland compositor did not answer"));
        return false;
    }
    m_notifier =
        std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &WlrootsWatcher::onReadable);
    QTimer::singleShot(0, this, &WlrootsWatcher::update);
    return true;
}

void WlrootsWatcher::onReadable() {
    if (m_failed) return;
    // Reads what the socket holds without blocking, then runs the listeners of everything read.
    if (wl_display_prepare_read(m_display) == 0) {
        if (wl_display_read_events(m_display) < 0 && errno != EAGAIN) {
            if (!dispatchFailed()) fail(QStringLiteral("the Wayland compositor hung up"));
            return;
        }
    }
    if (wl_display_dispatch_pending(m_display) < 0 || dispatchFailed()) {
        if (!m_failed) fail(QStringLiteral("the Wayland compositor hung up"));
        return;
    }
    wl_display_flush(m_display);  // the destroy requests of closed toplevels
    update();
}

// Once a batch of events is in: a focus change arrives as one toplevel losing activated and
// another gaining it, which must not show as a moment with no application in front.
void WlrootsWatcher::update() {
    if (m_failed) return;
    Toplevel* front = nullptr;
    QStringList ids;
    for (const auto& t : m_toplevels) {
        if (t->activated && t->activatedAt == 0) t->activatedAt = ++m_activationCount;
        if (!t->activated) t->activatedAt = 0;
        if (t->activated && (!front || t->activatedAt > front->activatedAt)) front = t.get();
        ids.append(t->appId);
    }
    ids = sortedAppIds(ids);
    if (ids != m_openApps) {
        m_openApps = ids;
        qCDebug(lcApps) << "wlroots: open applications" << ids;
        emit openAppsChanged();
    }
    ActiveApp app;
    if (front && !front->appId.isEmpty()) app.ids = QStringList{front->appId};
    if (m_active == app) return;
    m_active = app;
    qCDebug(lcApps) << "wlroots: active application" << app.ids;
    emit activeAppChanged(app);
}

}  // namespace tavrik::app
