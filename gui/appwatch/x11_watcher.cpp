#include "appwatch/x11_watcher.h"

#include <unistd.h>
#include <xcb/xcb.h>

#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "appwatch/app_ids.h"
#include "host/qt/log_categories.h"

namespace tavrik::app {
namespace {

// What is read of a property, in 32-bit units: enough for any honest WM_CLASS or host name,
// and a bound on what a hostile client can make us copy.
constexpr uint32_t kMaxTextWords = 256;
// The most client windows listed.
constexpr uint32_t kMaxClientWindows = 2048;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
using PropertyReply = std::unique_ptr<xcb_get_property_reply_t, FreeDeleter>;

xcb_get_property_cookie_t askProperty(xcb_connection_t* c, uint32_t window, uint32_t atom,
                                      uint32_t words) {
    return xcb_get_property(c, 0, window, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, words);
}

// The reply, or null when the window is gone (BadWindow) or the connection failed.
PropertyReply takeProperty(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
    xcb_generic_error_t* error = nullptr;
    PropertyReply reply(xcb_get_property_reply(c, cookie, &error));
    std::free(error);
    return reply;
}

QByteArrayView bytesOf(const PropertyReply& reply) {
    if (!reply || reply->format != 8) return {};
    return QByteArrayView(static_cast<const char*>(xcb_get_property_value(reply.get())),
                          xcb_get_property_value_length(reply.get()));
}

std::optional<uint32_t> cardinalOf(const PropertyReply& reply, uint32_t type) {
    if (!reply || reply->format != 32 || reply->type != type ||
        xcb_get_property_value_length(reply.get()) < 4) {
        return std::nullopt;
    }
    uint32_t value;
    std::memcpy(&value, xcb_get_property_value(reply.get()), sizeof value);
    return value;
}

// WM_CLASS: the instance and the class, each ended by a NUL.
std::pair<QString, QString> wmClassOf(const PropertyReply& reply) {
    const QByteArrayView bytes = bytesOf(reply);
    const qsizetype end = bytes.indexOf('\0');
    if (end < 0) return {appIdFromBytes(bytes), {}};
    QByteArrayView rest = bytes.sliced(end + 1);
    const qsizetype classEnd = rest.indexOf('\0');
    if (classEnd >= 0) rest = rest.first(classEnd);
    return {appIdFromBytes(bytes.first(end)), appIdFromBytes(rest)};
}

// The name of the executable a process runs: /proc/PID/exe (another user's process refuses it)
// or else the process's own name in /proc/PID/comm.
QString executableOf(uint32_t pid) {
    if (pid == 0 || pid > 0x3fffffff) return {};
    const QString proc = QStringLiteral("/proc/%1").arg(pid);
    QString target = QFile::symLinkTarget(proc + QStringLiteral("/exe"));
    if (target.endsWith(QLatin1StringView(" (deleted)"))) target.chop(10);  // updated meanwhile
    if (!target.isEmpty()) return cleanAppId(QFileInfo(target).fileName());
    QFile comm(proc + QStringLiteral("/comm"));
    if (!comm.open(QIODevice::ReadOnly)) return {};
    return appIdFromBytes(comm.read(64).trimmed());
}

QByteArray localHostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return QByteArray(name);
}

// Whether WM_CLIENT_MACHINE names this host (a missing one is taken as local): a pid from a
// client on another machine names some unrelated local process.
bool isLocalMachine(const PropertyReply& reply) {
    const QByteArrayView machine = bytesOf(reply);
    if (!reply || reply->type == XCB_ATOM_NONE || machine.isEmpty()) return true;
    const QByteArray local = localHostName();
    const auto shortName = [](QByteArrayView name) {
        const qsizetype dot = name.indexOf('.');
        return dot < 0 ? name : name.first(dot);
    };
    return machine.compare(local, Qt::CaseInsensitive) == 0 ||
           shortName(machine).compare(shortName(local), Qt::CaseInsensitive) == 0 ||
           machine == "localhost";
}

uint32_t internAtom(xcb_connection_t* c, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> reply(
        xcb_intern_atom_reply(c, cookie, nullptr));
    return reply ? reply->atom : 0;
}

}  // namespace

X11Watcher::X11Watcher(QString display, QObject* parent)
    : ActiveAppWatcher(parent), m_display(std::move(display)) {}

X11Watcher::~X11Watcher() {
    m_notifier.reset();
    if (m_connection) xcb_disconnect(m_connection);
}

void X11Watcher::fail(const QString& why) {
    if (m_failed) return;
    m_failed = true;
    if (m_notifier) m_notifier->setEnabled(false);
    qCWarning(lcApps).noquote() << "X11 watcher:" << why;
    emit unavailable(why);
}

bool X11Watcher::connectionLost() {
    if (m_failed) return true;
    if (m_connection && xcb_connection_has_error(m_connection) == 0) return false;
    fail(QStringLiteral("the connection to the X display %1 was lost").arg(m_display));
    return true;
}

bool X11Watcher::start() {
    if (m_connection) return !m_failed;
    const QByteArray name = m_display.toLocal8Bit();
    int screenNumber = 0;
    m_connection = xcb_connect(name.isEmpty() ? nullptr : name.constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection) != 0) {
        fail(QStringLiteral("cannot connect to the X display %1").arg(m_display));
        return false;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
    if (screens.rem <= 0) {
        fail(QStringLiteral("the X display %1 has no screen %2").arg(m_display).arg(screenNumber));
        return false;
    }
    m_root = screens.data->root;
    m_atomActiveWindow = internAtom(m_connection, "_NET_ACTIVE_WINDOW");
    m_atomClientList = internAtom(m_connection, "_NET_CLIENT_LIST");
    m_atomWmPid = internAtom(m_connection, "_NET_WM_PID");
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_generic_error_t* error = xcb_request_check(
        m_connection,
        xcb_change_window_attributes_checked(m_connection, m_root, XCB_CW_EVENT_MASK, &mask));
    std::free(error);
    if (connectionLost()) return false;
    if (m_atomActiveWindow == 0 || m_atomClientList == 0 || m_atomWmPid == 0) {
        fail(QStringLiteral("the X display %1 refused the window manager's atoms").arg(m_display));
        return false;
    }
    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection),
                                                   QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11Watcher::onReadable);
    // The state as it is now, reported from the event loop so that whoever started us hears it.
    QTimer::singleShot(0, this, [this] {
        refreshOpenApps();
        refreshActive();
        onReadable();  // events that arrived with the replies
    });
    return true;
}

void X11Watcher::onReadable() {
    if (connectionLost()) return;
    bool active = false;
    bool clients = false;
    // xcb_poll_for_event takes what is queued first, then what the socket holds: the loop ends
    // with nothing left unread, so the notifier fires again for the next event.
    while (true) {
        std::unique_ptr<xcb_generic_event_t, FreeDeleter> event(xcb_poll_for_event(m_connection));
        if (!event) break;
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) continue;
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
        if (notify->window != m_root) continue;
        active = active || notify->atom == m_atomActiveWindow;
        clients = clients || notify->atom == m_atomClientList;
    }
    if (connectionLost()) return;
    if (clients) refreshOpenApps();
    if (active) refreshActive();
    // The replies just read may have brought events along.
    if (!m_failed && (active || clients)) QTimer::singleShot(0, this, &X11Watcher::onReadable);
}

uint32_t X11Watcher::activeWindow() {
    const PropertyReply reply =
        takeProperty(m_connection, askProperty(m_connection, m_root, m_atomActiveWindow, 1));
    return cardinalOf(reply, XCB_ATOM_WINDOW).value_or(0);
}

ActiveApp X11Watcher::appOfWindow(uint32_t window) {
    if (window == 0 || !m_connection) return {};
    const auto wmClass = askProperty(m_connection, window, XCB_ATOM_WM_CLASS, kMaxTextWords);
    const auto pid = askProperty(m_connection, window, m_atomWmPid, 1);
    const auto machine =
        askProperty(m_connection, window, XCB_ATOM_WM_CLIENT_MACHINE, kMaxTextWords);
    const auto [instance, windowClass] = wmClassOf(takeProperty(m_connection, wmClass));
    const std::optional<uint32_t> processId =
        cardinalOf(takeProperty(m_connection, pid), XCB_ATOM_CARDINAL);
    const bool local = isLocalMachine(takeProperty(m_connection, machine));
    QStringList ids{instance, windowClass};
    if (processId && local) ids.append(executableOf(*processId));
    return ActiveApp{uniqueAppIds(ids)};
}

void X11Watcher::refreshActive() {
    if (connectionLost()) return;
    const uint32_t window = activeWindow();
    ActiveApp app = appOfWindow(window);
    if (connectionLost()) return;
    if (m_active == app) return;
    m_active = app;
    qCDebug(lcApps) << "X11: active window" << Qt::hex << window << "ids" << app.ids;
    emit activeAppChanged(app);
}

void X11Watcher::refreshOpenApps() {
    if (connectionLost()) return;
    const PropertyReply list = takeProperty(
        m_connection, askProperty(m_connection, m_root, m_atomClientList, kMaxClientWindows));
    std::vector<uint32_t> windows;
    if (list && list->format == 32 && list->type == XCB_ATOM_WINDOW) {
        windows.resize(static_cast<size_t>(xcb_get_property_value_length(list.get())) / 4);
        if (!windows.empty()) {
            std::memcpy(windows.data(), xcb_get_property_value(list.get()), windows.size() * 4);
        }
    }
    // Every question first, then the answers: one round trip for the whole list.
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (const uint32_t w : windows) {
        cookies.push_back(askProperty(m_connection, w, XCB_ATOM_WM_CLASS, kMaxTextWords));
    }
    QStringList ids;
    for (const auto& cookie : cookies) {
        const auto [instance, windowClass] = wmClassOf(takeProperty(m_connection, cookie));
        ids.append(windowClass.isEmpty() ? instance : windowClass);
    }
    if (connectionLost()) return;
    ids = sortedAppIds(ids);
    if (ids == m_openApps) return;
    m_openApps = ids;
    qCDebug(lcApps) << "X11: open applications" << ids;
    emit openAppsChanged();
}

}  // namespace tavrik::app
