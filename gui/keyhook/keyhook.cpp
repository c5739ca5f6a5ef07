#include "keyhook/keyhook.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QThread>
#include <memory>

#include "host/qt/log_categories.h"
#include "keyhook/hook_target.h"
#include "keyhook/qt_key_filter.h"
#include "keyhook/x11_record_hook.h"

namespace tavrik::app {
namespace {

// One hook per process, as the two-function contract implies; it lives here.
struct HookState {
    HookTarget target;
    std::unique_ptr<X11RecordHook> x11;
    std::unique_ptr<QtKeyFilter> filter;
    QMetaObject::Connection receiverGone;
};

HookState& hookState() {
    static HookState state;
    return state;
}

// Keys typed into this application's own windows reach X only when Qt itself runs on X; on a
// Wayland session the filter adds them to what X RECORD sees of the X clients (XWayland).
bool ownWindowsBypassX() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool startBackend(HookState& s) {
    if (s.x11 || s.filter) return true;
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) s.x11 = X11RecordHook::start(s.target);
    qCDebug(lcHook) << (s.x11 ? "X RECORD hook running" : "no X RECORD hook");
    if (s.x11 && !ownWindowsBypassX()) return true;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || app->thread() != QThread::currentThread()) return s.x11 != nullptr;
    s.filter = std::make_unique<QtKeyFilter>(s.target);
    qCDebug(lcHook) << "capturing keys typed into the tool's own windows";
    app->installEventFilter(s.filter.get());
    return true;
}

}  // namespace

bool installhook(HookReports* reports, int mode) {
    if (!reports) return false;
    HookState& s = hookState();
    QObject::disconnect(s.receiverGone);
    s.target.set(reports, mode);
    // A receiver destroyed while it holds the hook receives nothing more.
    s.receiverGone =
        QObject::connect(reports, &QObject::destroyed, [] { hookState().target.clear(); });
    if (startBackend(s)) return true;
    removehook();
    return false;
}

bool hookCapturesDesktop() {
    return hookState().x11 != nullptr;
}

void removehook() {
    HookState& s = hookState();
    s.target.clear();
    QObject::disconnect(s.receiverGone);
    s.x11.reset();
    s.filter.reset();
}

}  // namespace tavrik::app
