// The wlroots watcher against Sway, headless, with Wayland clients of our own; the focus moved
// with swaymsg. Sway refuses to run as root: under root it runs as nobody in a runtime folder
// of its own, which root's clients can still reach.
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <wayland-server-core.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstring>
#include <thread>

#include "appwatch/app_ids.h"
#include "appwatch/wlroots_watcher.h"
#include "watch_test_support.h"

namespace tavrik::app {
namespace {
using test::Ids;
using test::reports;

constexpr uid_t kNobody = 65534;

class Sway {
public:
    // Empty when it runs; else why not.
    QString start() {
        const QString sway = QStandardPaths::findExecutable("sway");
        m_swaymsg = QStandardPaths::findExecutable("swaymsg");
        if (sway.isEmpty() || m_swaymsg.isEmpty()) return QStringLiteral("sway is not installed");
        if (!m_dir.isValid()) return QStringLiteral("no temporary folder");
        m_runtime = m_dir.path() + QStringLiteral("/runtime");
        const QByteArray runtime = QFile::encodeName(m_runtime);
        const QByteArray ready = QFile::encodeName(m_dir.path() + QStringLiteral("/ready"));
        const QByteArray config = QFile::encodeName(m_dir.path() + QStringLiteral("/config"));
        const QByteArray log = QFile::encodeName(m_dir.path() + QStringLiteral("/sway.log"));
        if (::mkdir(runtime.constData(), 0700) != 0 || ::mkfifo(ready.constData(), 0666) != 0 ||
            ::chmod(ready.constData(), 0666) != 0) {
            return QStringLiteral("cannot make the runtime folder");
        }
        const bool root = ::geteuid() == 0;
        if (root && (::chown(runtime.constData(), kNobody, kNobody) != 0 ||
                     ::chmod(QFile::encodeName(m_dir.path()).constData(), 0755) != 0)) {
            return QStringLiteral("cannot hand the runtime folder to nobody");
        }
        QFile file(QString::fromLocal8Bit(config));
        if (!file.open(QIODevice::WriteOnly)) return QStringLiteral("cannot write sway's config");
        file.write(
            "xwayland disable\n"
            "exec sh -c 'echo \"$WAYLAND_DISPLAY $SWAYSOCK\" > " +
            ready + "'\n");
        file.close();
        // Open for reading and writing: the open does not wait for a writer.
        m_readyFd = ::open(ready.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
        const int logFd = ::open(log.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (m_readyFd < 0 || logFd < 0) return QStringLiteral("cannot open the ready pipe");

        // Everything the child needs, made before the fork (only exec and plain calls after it).
        std::vector<std::string> env = {
            "XDG_RUNTIME_DIR=" + runtime.toStdString(),
            "HOME=" + runtime.toStdString(),
            "WLR_BACKENDS=headless",
            "WLR_LIBINPUT_NO_DEVICES=1",
            "WLR_RENDERER=pixman",
            "PATH=" + qEnvironmentVariable("PATH", "/usr/bin:/bin").toStdString()};
        std::vector<std::string> args = {sway.toStdString(), "-c", config.toStdString()};
        std::vector<char*> envp, argv;
        for (auto& e : env) envp.push_back(e.data());
        for (auto& a : args) argv.push_back(a.data());
        envp.push_back(nullptr);
        argv.push_back(nullptr);
        m_pid = test::spawnTiedToUs(
            argv,
            [&] {
                return ::dup2(logFd, 1) == 1 && ::dup2(logFd, 2) == 2 &&
                       (!root || (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 &&
                                  ::setuid(kNobody) == 0));
            },
            envp.data());
        ::close(logFd);
        if (m_pid < 0) return QStringLiteral("cannot fork");

        // Sway's exec line writes the display and the IPC socket once it is up.
        std::string line;
        for (int waited = 0; waited < 600 && line.find('\n') == std::string::npos; ++waited) {
            pollfd p{m_readyFd, POLLIN, 0};
            if (::poll(&p, 1, 100) == 1) {
                char buffer[512];
                const ssize_t n = ::read(m_readyFd, buffer, sizeof buffer);
                if (n > 0) line.append(buffer, static_cast<size_t>(n));
            }
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                QFile out(QString::fromLocal8Bit(log));
                out.open(QIODevice::ReadOnly);
                const QList<QByteArray> lines = out.readAll().split('\n');
                QStringList errors;
                for (const QByteArray& l : lines)
                    if (l.contains("[ERROR]")) errors.append(QString::fromLocal8Bit(l));
                return QStringLiteral("sway exited at start: ") + errors.join(QStringLiteral("; "));
            }
        }
        const QStringList parts = QString::fromStdString(line).trimmed().split(u' ');
        if (parts.size() != 2) return QStringLiteral("sway did not say it was ready");
        m_display = m_runtime + u'/' + parts[0];
        m_ipc = parts[1];
        return {};
    }
    ~Sway() {
        stop();
        if (m_readyFd >= 0) ::close(m_readyFd);
    }
    void stop() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    const QString& display() const { return m_display; }
    bool focus(const QString& appId) {
        QProcess msg;
        msg.start(m_swaymsg, {"-s", m_ipc, QStringLiteral("[app_id=\"%1\"] focus").arg(appId)});
        return msg.waitForFinished(30000) && msg.exitCode() == 0;
    }

private:
    QTemporaryDir m_dir;
    QString m_runtime, m_display, m_ipc, m_swaymsg;
    int m_readyFd = -1;
    pid_t m_pid = -1;
};

// One window of our test client.
class Window {
public:
    Window(const QString& display, const QString& appId) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("WAYLAND_DISPLAY", display);
        m_process.setProcessEnvironment(env);
        m_process.start(QStringLiteral(TAVRIK_WAYLAND_CLIENT), {appId});
    }
    ~Window() { close(); }
    bool mapped() {
        while (!m_process.canReadLine())
            if (!m_process.waitForReadyRead(30000)) return false;
        return m_process.readLine().trimmed() == "mapped";
    }
    void close() {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.terminate();
        m_process.waitForFinished(30000);
    }

private:
    QProcess m_process;
};

class WlrootsWatch : public ::testing::Test {
protected:
    void SetUp() override {
        const QString why = m_sway.start();
        if (!why.isEmpty()) GTEST_SKIP() << "Sway cannot run here: " << why.toStdString();
        const SessionEnvironment env{"wayland", m_sway.display(), "", "sway"};
        m_watcher = createActiveAppWatcher(env);
        ASSERT_TRUE(m_watcher);
        m_changes =
            std::make_unique<QSignalSpy>(m_watcher.get(), &ActiveAppWatcher::activeAppChanged);
        m_lists = std::make_unique<QSignalSpy>(m_watcher.get(), &ActiveAppWatcher::openAppsChanged);
        m_lost = std::make_unique<QSignalSpy>(m_watcher.get(), &ActiveAppWatcher::unavailable);
    }
    bool reportsReach(qsizetype count) {
        return test::waitUntil(*m_changes, [&] { return m_changes->size() >= count; });
    }
    bool openAppsAre(const Ids& ids) {
        return test::waitUntil(*m_lists, [&] { return test::toIds(m_watcher->openApps()) == ids; });
    }

    Sway m_sway;
    std::unique_ptr<ActiveAppWatcher> m_watcher;
    std::unique_ptr<QSignalSpy> m_changes, m_lists, m_lost;
};

TEST_F(WlrootsWatch, FollowsTheFocusAcrossWindowsOfDifferentAppIds) {
    EXPECT_EQ(m_watcher->backendName(), "wlroots");
    ASSERT_TRUE(m_watcher->start());
    ASSERT_TRUE(reportsReach(1));  // no window yet
    Window alpha(m_sway.display(), "alpha");
    ASSERT_TRUE(alpha.mapped());
    ASSERT_TRUE(reportsReach(2));  // a new window takes the focus
    Window beta(m_sway.display(), "org.example.Beta");
    ASSERT_TRUE(beta.mapped());
    ASSERT_TRUE(reportsReach(3));
    ASSERT_TRUE(openAppsAre({"alpha", "org.example.Beta"}));
    ASSERT_TRUE(m_sway.focus("alpha"));
    ASSERT_TRUE(reportsReach(4));
    // The focused window again: no report.
    ASSERT_TRUE(m_sway.focus("alpha"));
    // A window in the background closes: the list shrinks, the focus stays.
    beta.close();
    ASSERT_TRUE(openAppsAre({"alpha"}));
    // An app_id far too long is cut (a Wayland message holds at most 4 KiB).
    const QString longId(3000, u'z');
    Window hostile(m_sway.display(), longId);
    ASSERT_TRUE(hostile.mapped());
    ASSERT_TRUE(reportsReach(5));
    hostile.close();
    ASSERT_TRUE(reportsReach(6));  // the focus returns to alpha
    alpha.close();
    ASSERT_TRUE(reportsReach(7));
    ASSERT_TRUE(openAppsAre({}));
    EXPECT_EQ(reports(*m_changes), (std::vector<Ids>{{},
                                                     {"alpha"},
                                                     {"org.example.Beta"},
                                                     {"alpha"},
                                                     {std::string(kMaxAppIdLength, 'z')},
                                                     {"alpha"},
                                                     {}}));
    EXPECT_TRUE(m_lost->isEmpty());
}

TEST_F(WlrootsWatch, SaysSoWhenTheCompositorGoes) {
    ASSERT_TRUE(m_watcher->start());
    ASSERT_TRUE(reportsReach(1));
    m_sway.stop();
    ASSERT_TRUE(test::waitUntil(*m_lost, [&] { return !m_lost->isEmpty(); }));
    EXPECT_EQ(m_lost->size(), 1);
}

// A compositor of ours that offers nothing but the core globals (no toplevel list).
class BareCompositor {
public:
    explicit BareCompositor(const QString& path) : m_display(wl_display_create()) {
        const QByteArray name = QFile::encodeName(path);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, name.constData(),
                    std::min<size_t>(name.size(), sizeof address.sun_path - 1));
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(fd, 8) != 0 || wl_display_add_socket_fd(m_display, fd) != 0) {
            ::close(fd);
            return;
        }
        m_ok = true;
        m_thread = std::thread([this] { wl_display_run(m_display); });
    }
    ~BareCompositor() {
        if (m_thread.joinable()) {
            wl_display_terminate(m_display);
            m_thread.join();
        }
        wl_display_destroy(m_display);
    }
    bool ok() const { return m_ok; }

private:
    wl_display* m_display;
    std::thread m_thread;
    bool m_ok = false;
};

TEST(WlrootsFallback, UsesXWaylandWhenTheCompositorHasNoToplevelList) {
    QTemporaryDir dir;
    const QString socket = dir.path() + QStringLiteral("/wayland-bare");
    BareCompositor compositor(socket);
    ASSERT_TRUE(compositor.ok());
    EXPECT_FALSE(WlrootsWatcher::compositorOffersToplevels(socket));
    EXPECT_FALSE(WlrootsWatcher::compositorOffersToplevels(dir.path() + "/no-such-socket"));

    test::Xvfb xwayland;
    if (!xwayland.start()) GTEST_SKIP() << "Xvfb is not installed or did not start";
    auto watcher = createActiveAppWatcher({"wayland", socket, xwayland.display(), "Hyprland"});
    ASSERT_TRUE(watcher);
    EXPECT_EQ(watcher->backendName(), "X11");
    QSignalSpy changes(watcher.get(), &ActiveAppWatcher::activeAppChanged);
    EXPECT_TRUE(watcher->start());
    EXPECT_TRUE(test::waitUntil(changes, [&] { return !changes.isEmpty(); }));

    // Without an X display to fall back to, the wlroots watcher says why it cannot watch.
    auto alone = createActiveAppWatcher({"wayland", socket, "", "Hyprland"});
    ASSERT_TRUE(alone);
    EXPECT_EQ(alone->backendName(), "wlroots");
    QSignalSpy lost(alone.get(), &ActiveAppWatcher::unavailable);
    EXPECT_FALSE(alone->start());
    ASSERT_EQ(lost.size(), 1);
    EXPECT_TRUE(lost.first().at(0).toString().contains("foreign-toplevel"));
}

}  // namespace
}  // namespace tavrik::app
