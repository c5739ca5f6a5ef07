#include "appwatch/kwin_watcher.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>

#include "appwatch/app_ids.h"
#include "host/qt/log_categories.h"

namespace tavrik::app {
namespace {

constexpr const char* kKWinService = "org.kde.KWin";
constexpr const char* kScriptingPath = "/Scripting";
constexpr const char* kScriptingInterface = "org.kde.kwin.Scripting";
constexpr const char* kScriptInterface = "org.kde.kwin.Script";
// KWin answers at once; a bound so that a hung compositor cannot hang the tool.
constexpr int kCallTimeoutMs = 5000;
// The most open windows taken from one report.
constexpr qsizetype kMaxOpenWindows = 2048;

QDBusMessage scriptingCall(const char* method) {
    return QDBusMessage::createMethodCall(
        QLatin1StringView(kKWinService), QLatin1StringView(kScriptingPath),
        QLatin1StringView(kScriptingInterface), QLatin1StringView(method));
}

}  // namespace

KWinWatcher::KWinWatcher(QDBusConnection bus, QObject* parent)
    : ActiveAppWatcher(parent), m_bus(std::move(bus)) {}

KWinWatcher::~KWinWatcher() {
    m_kwinWatch.reset();
    unloadScript();
    if (m_registered) {
        m_bus.unregisterService(QLatin1StringView(kService));
        m_bus.unregisterObject(QLatin1StringView(kPath));
    }
}

void KWinWatcher::fail(const QString& why) {
    if (m_failed) return;
    m_failed = true;
    qCWarning(lcApps).noquote() << "KWin watcher:" << why;
    emit unavailable(why);
}

bool KWinWatcher::start() {
    if (m_started) return !m_failed;
    m_started = true;
    if (!m_bus.isConnected()) {
        fail(QStringLiteral("no session bus"));
        return false;
    }
    const QDBusReply<QString> owner =
        m_bus.interface()->serviceOwner(QLatin1StringView(kKWinService));
    if (!owner.isValid() || owner.value().isEmpty()) {
        fail(QStringLiteral("KWin is not on the session bus"));
        return false;
    }
    m_kwinOwner = owner.value();
    if (!m_bus.registerObject(QLatin1StringView(kPath), this,
                              QDBusConnection::ExportScriptableSlots)) {
        fail(QStringLiteral("cannot register %1 on the session bus").arg(kPath));
        return false;
    }
    if (!m_bus.registerService(QLatin1StringView(kService))) {
        m_bus.unregisterObject(QLatin1StringView(kPath));
        fail(QStringLiteral("another process holds %1 on the session bus").arg(kService));
        return false;
    }
    m_registered = true;
    m_kwinWatch = std::make_unique<QDBusServiceWatcher>(QLatin1StringView(kKWinService), m_bus,
                                                        QDBusServiceWatcher::WatchForOwnerChange);
    connect(m_kwinWatch.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                m_loaded = false;  // a new KWin knows nothing of our script
                fail(newOwner.isEmpty() ? QStringLiteral("KWin left the session bus")
                                        : QStringLiteral("KWin was restarted"));
            });
    if (!loadScript()) return false;
    qCDebug(lcApps) << "KWin: script" << m_script->fileName() << "running";
    return true;
}

bool KWinWatcher::loadScript() {
    // A private copy of the script, readable by us (and so by KWin, which runs as us) only, in
    // the runtime folder when there is one.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    m_script =
        std::make_unique<QTemporaryFile>(folder + QStringLiteral("/tavrik-87rev-kwin-XXXXXX.js"));
    QFile shipped(QString::fromLatin1(kScriptResource));
    const QByteArray text = shipped.open(QIODevice::ReadOnly) ? shipped.readAll() : QByteArray();
    if (text.isEmpty() || !m_script->open() || m_script->write(text) != text.size() ||
        !m_script->flush()) {
        fail(QStringLiteral("cannot write the KWin script into %1").arg(folder));
        return false;
    }
    m_script->close();

    const auto load = [this]() -> int {
        QDBusMessage call = scriptingCall("loadScript");
        call << m_script->fileName() << QString::fromLatin1(kPluginName);
        const QDBusMessage reply = m_bus.call(call, QDBus::Block, kCallTimeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return -2;
        bool ok = false;
        const int id = reply.arguments().constFirst().toInt(&ok);
        return ok ? id : -2;
    };
    int id = load();
    if (id == -1) {
        // A script of that name is loaded already: left behind by a run that ended abruptly.
        QDBusMessage unload = scriptingCall("unloadScript");
        unload << QString::fromLatin1(kPluginName);
        m_bus.call(unload, QDBus::Block, kCallTimeoutMs);
        id = load();
    }
    if (id < 0) {
        fail(QStringLiteral("KWin refused to load the script"));
        return false;
    }
    m_loaded = true;
    // Plasma 6 names the script's object /Scripting/Script<id>, Plasma 5 /<id>.
    for (const QString& path :
         {QStringLiteral("/Scripting/Script%1").arg(id), QStringLiteral("/%1").arg(id)}) {
        const QDBusMessage run = QDBusMessage::createMethodCall(
            QLatin1StringView(kKWinService), path, QLatin1StringView(kScriptInterface),
            QStringLiteral("run"));
        if (m_bus.call(run, QDBus::Block, kCallTimeoutMs).type() == QDBusMessage::ReplyMessage) {
            return true;
        }
    }
    fail(QStringLiteral("KWin did not run the script"));
    unloadScript();
    return false;
}

void KWinWatcher::unloadScript() {
    if (m_loaded) {
        m_loaded = false;
        QDBusMessage unload = scriptingCall("unloadScript");
        unload << QString::fromLatin1(kPluginName);
        m_bus.call(unload, QDBus::Block, kCallTimeoutMs);
    }
    m_script.reset();  // removes the file
}

bool KWinWatcher::fromKWin() {
    if (!calledFromDBus()) return true;
    if (!m_failed && message().service() == m_kwinOwner) return true;
    qCDebug(lcApps) << "KWin: ignored a report from" << message().service();
    return false;
}

void KWinWatcher::activeWindowChanged(const QString& resourceClass, const QString& resourceName) {
    if (!fromKWin()) return;
    const ActiveApp app{uniqueAppIds({cleanAppId(resourceClass), cleanAppId(resourceName)})};
    if (m_active == app) return;
    m_active = app;
    qCDebug(lcApps) << "KWin: active application" << app.ids;
    emit activeAppChanged(app);
}

void KWinWatcher::openWindowsChanged(const QString& resourceClasses) {
    if (!fromKWin()) return;
    QStringList ids;
    const QStringView text =
        QStringView(resourceClasses)
            .first(std::min(resourceClasses.size(), kMaxOpenWindows * (kMaxAppIdLength + 1)));
    for (const QStringView line : text.split(u'\n')) {
        if (ids.size() == kMaxOpenWindows) break;
        ids.append(cleanAppId(line.toString()));
    }
    ids = sortedAppIds(ids);
    if (ids == m_openApps) return;
    m_openApps = ids;
    qCDebug(lcApps) << "KWin: open applications" << ids;
    emit openAppsChanged();
}

}  // namespace tavrik::app
