// The KWin watcher against a stand-in of KWin's scripting interface on a private session bus:
// the stand-in records the script it is given to load and run, then calls our object the way
// the script does inside KWin. The stand-in answers from a thread of its own, as KWin answers
// from its own process.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QProcess>
#include <QThread>

#include "appwatch/app_ids.h"
#include "appwatch/kwin_watcher.h"
#include "watch_test_support.h"

namespace tavrik::app {
namespace {
using test::Ids;
using test::reports;

// What the stand-in saw, shared between its thread and the test.
struct Record {
    QMutex mutex;
    QStringList loadedPaths, loadedPlugins, unloaded;
    QByteArray scriptAtRun;
    QString scriptPathAtRun;
    int runs = 0;
    bool stalePlugin = false;   // a script of our name is loaded already
    bool plasma5Paths = false;  // the script object at /<id> rather than /Scripting/Script<id>
};

class ScriptStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Script")
public:
    ScriptStandIn(Record& record, QString path) : m_record(record), m_path(std::move(path)) {}
public slots:
    void run() {
        QFile file(m_path);
        QMutexLocker lock(&m_record.mutex);
        ++m_record.runs;
        m_record.scriptPathAtRun = m_path;
        if (file.open(QIODevice::ReadOnly)) m_record.scriptAtRun = file.readAll();
    }
    void stop() {}

private:
    Record& m_record;
    QString m_path;
};

class ScriptingStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Scripting")
public:
    ScriptingStandIn(Record& record, QDBusConnection bus) : m_record(record), m_bus(bus) {}
public slots:
    int loadScript(const QString& path, const QString& plugin) {
        QMutexLocker lock(&m_record.mutex);
        m_record.loadedPaths.append(path);
        m_record.loadedPlugins.append(plugin);
        if (m_record.stalePlugin) return -1;
        const int id = m_next++;
        auto* script = new ScriptStandIn(m_record, path);
        script->moveToThread(thread());
        script->setParent(this);
        m_bus.registerObject(m_record.plasma5Paths ? QStringLiteral("/%1").arg(id)
                                                   : QStringLiteral("/Scripting/Script%1").arg(id),
                             script, QDBusConnection::ExportAllSlots);
        return id;
    }
    bool unloadScript(const QString& plugin) {
        QMutexLocker lock(&m_record.mutex);
        m_record.unloaded.append(plugin);
        const bool was = m_record.stalePlugin;
        m_record.stalePlugin = false;
        return was || !m_record.loadedPlugins.isEmpty();
    }

private:
    Record& m_record;
    QDBusConnection m_bus;
    int m_next = 0;
};

class KWinWatch : public ::testing::Test {
protected:
    void SetUp() override {
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        ASSERT_FALSE(daemon.isEmpty()) << "dbus-daemon is missing (scripts/setup test installs it)";
        m_daemon.start(daemon, {"--session", "--nofork", "--nopidfile", "--print-address"});
        ASSERT_TRUE(m_daemon.waitForStarted(30000));
        while (!m_daemon.canReadLine()) ASSERT_TRUE(m_daemon.waitForReadyRead(30000));
        m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
        ++s_round;
        m_kwin = std::make_unique<QDBusConnection>(connect("kwin"));
        m_ours = std::make_unique<QDBusConnection>(connect("ours"));
        ASSERT_TRUE(m_kwin->isConnected() && m_ours->isConnected());
        m_thread.start();
    }
    void TearDown() override {
        m_watcher.reset();
        if (m_scripting) {
            m_kwin->unregisterObject(QStringLiteral("/Scripting"), QDBusConnection::UnregisterTree);
            QMetaObject::invokeMethod(
                m_scripting, [s = m_scripting] { delete s; }, Qt::BlockingQueuedConnection);
        }
        m_thread.quit();
        m_thread.wait();
        for (const char* name : {"kwin", "ours", "intruder"}) {
            QDBusConnection::disconnectFromBus(busName(name));
        }
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.kill();
            m_daemon.waitForFinished(30000);
        }
    }
    static QString busName(const char* who) {
        return QStringLiteral("%1-%2").arg(who).arg(s_round);
    }
    QDBusConnection connect(const char* who) {
        return QDBusConnection::connectToBus(m_address, busName(who));
    }
    // KWin's scripting object on the bus, answering from the stand-in's thread.
    void offerKWin() {
        m_scripting = new ScriptingStandIn(m_record, *m_kwin);
        m_scripting->moveToThread(&m_thread);
        ASSERT_TRUE(m_kwin->registerObject(QStringLiteral("/Scripting"), m_scripting,
                                           QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(m_kwin->registerService(QStringLiteral("org.kde.KWin")));
    }
    void startWatcher() {
        m_watcher = std::make_unique<KWinWatcher>(*m_ours);
        m_changes =
            std::make_unique<QSignalSpy>(m_watcher.get(), &ActiveAppWatcher::activeAppChanged);
        m_lists = std::make_unique<QSignalSpy>(m_watcher.get(), &ActiveAppWatcher::openAppsChanged);
        m_lost = std::make_unique<QSignalSpy>(m_watcher.get(), &ActiveAppWatcher::unavailable);
    }
    // A call to our object as the script makes it, from `bus`.
    static void callUs(QDBusConnection& bus, const QString& method, const QVariantList& args) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            KWinWatcher::kService, KWinWatcher::kPath, KWinWatcher::kService, method);
        call.setArguments(args);
        bus.send(call);
    }
    void scriptReports(const QString& resourceClass, const QString& resourceName) {
        callUs(*m_kwin, "activeWindowChanged", {resourceClass, resourceName});
    }
    bool reportsReach(qsizetype count) {
        return test::waitUntil(*m_changes, [&] { return m_changes->size() >= count; });
    }
    QByteArray shippedScript() {
        QFile file(KWinWatcher::kScriptResource);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static inline int s_round = 0;
    QProcess m_daemon;
    QString m_address;
    std::unique_ptr<QDBusConnection> m_kwin, m_ours;
    QThread m_thread;
    Record m_record;
    ScriptingStandIn* m_scripting = nullptr;
    std::unique_ptr<KWinWatcher> m_watcher;
    std::unique_ptr<QSignalSpy> m_changes, m_lists, m_lost;
};

TEST_F(KWinWatch, LoadsRunsAndUnloadsTheShippedScript) {
    offerKWin();
    startWatcher();
    EXPECT_EQ(m_watcher->backendName(), "KWin");
    ASSERT_TRUE(m_watcher->start());
    QString path;
    {
        QMutexLocker lock(&m_record.mutex);
        ASSERT_EQ(m_record.runs, 1);
        EXPECT_EQ(m_record.loadedPlugins, QStringList{KWinWatcher::kPluginName});
        path = m_record.scriptPathAtRun;
        // The file KWin read is the script we ship, byte for byte, and private to us.
        EXPECT_FALSE(shippedScript().isEmpty());
        EXPECT_EQ(m_record.scriptAtRun, shippedScript());
        EXPECT_TRUE(m_record.scriptAtRun.contains(KWinWatcher::kService));
    }
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(m_record.unloaded.isEmpty());

    m_watcher.reset();
    QMutexLocker lock(&m_record.mutex);
    EXPECT_EQ(m_record.unloaded, QStringList{KWinWatcher::kPluginName});
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(KWinWatch, ReportsEachChangeOnceAndOnlyFromKWin) {
    offerKWin();
    startWatcher();
    ASSERT_TRUE(m_watcher->start());
    // As the script does when it starts: the active window and the open ones.
    scriptReports("org.kde.konsole", "konsole");
    callUs(*m_kwin, "openWindowsChanged", {"org.kde.konsole\nfirefox\n\nFirefox\nsteam"});
    ASSERT_TRUE(reportsReach(1));
    ASSERT_TRUE(test::waitUntil(*m_lists, [&] { return !m_lists->isEmpty(); }));
    EXPECT_EQ(test::toIds(m_watcher->openApps()), (Ids{"firefox", "org.kde.konsole", "steam"}));

    scriptReports("org.kde.konsole", "konsole");  // the same: no report
    // Another client on the bus cannot pose as the script.
    QDBusConnection intruder = connect("intruder");
    callUs(intruder, "activeWindowChanged", {"intruder", "intruder"});
    callUs(intruder, "openWindowsChanged", {"intruder"});
    scriptReports("firefox", "firefox");  // one id when class and name agree
    ASSERT_TRUE(reportsReach(2));
    scriptReports("", "");  // the desktop or a panel has the focus
    ASSERT_TRUE(reportsReach(3));
    scriptReports(QString(1000, u'w') + "\x01", "steam");
    ASSERT_TRUE(reportsReach(4));
    EXPECT_EQ(reports(*m_changes),
              (std::vector<Ids>{{"org.kde.konsole", "konsole"},
                                {"firefox"},
                                {},
                                {std::string(kMaxAppIdLength, 'w'), "steam"}}));
    EXPECT_EQ(m_lists->size(), 1);
    EXPECT_TRUE(m_lost->isEmpty());
}

TEST_F(KWinWatch, ReplacesAScriptLeftBehindAndFindsPlasma5sScriptObject) {
    {
        QMutexLocker lock(&m_record.mutex);
        m_record.stalePlugin = true;
        m_record.plasma5Paths = true;
    }
    offerKWin();
    startWatcher();
    ASSERT_TRUE(m_watcher->start());
    QMutexLocker lock(&m_record.mutex);
    EXPECT_EQ(m_record.loadedPlugins.size(), 2);
    EXPECT_EQ(m_record.unloaded, QStringList{KWinWatcher::kPluginName});
    EXPECT_EQ(m_record.runs, 1);
    EXPECT_TRUE(m_lost->isEmpty());
}

TEST_F(KWinWatch, SaysSoWithoutKWinAndWhenKWinGoes) {
    startWatcher();
    EXPECT_FALSE(m_watcher->start());
    ASSERT_EQ(m_lost->size(), 1);
    EXPECT_TRUE(m_lost->first().at(0).toString().contains("not on the session bus"));

    offerKWin();
    startWatcher();
    ASSERT_TRUE(m_watcher->start());
    scriptReports("firefox", "firefox");
    ASSERT_TRUE(reportsReach(1));
    ASSERT_TRUE(m_kwin->unregisterService(QStringLiteral("org.kde.KWin")));
    ASSERT_TRUE(test::waitUntil(*m_lost, [&] { return !m_lost->isEmpty(); }));
    EXPECT_TRUE(m_lost->first().at(0).toString().contains("left"));
    // Reports that still come are not taken: once both connections have made a round trip
    // through the bus, whatever the stand-in sent before has reached us.
    scriptReports("steam", "steam");
    m_kwin->interface()->serviceOwner(busName("kwin"));
    m_ours->interface()->serviceOwner(busName("ours"));
    QCoreApplication::processEvents();
    EXPECT_EQ(m_changes->size(), 1);
}

TEST_F(KWinWatch, RefusesWhenAnotherProcessHoldsOurName) {
    offerKWin();
    QDBusConnection other = connect("intruder");
    ASSERT_TRUE(other.registerService(KWinWatcher::kService));
    startWatcher();
    EXPECT_FALSE(m_watcher->start());
    ASSERT_EQ(m_lost->size(), 1);
    QMutexLocker lock(&m_record.mutex);
    EXPECT_TRUE(m_record.loadedPlugins.isEmpty());
}

}  // namespace
}  // namespace tavrik::app

#include "kwin_watcher_test.moc"
