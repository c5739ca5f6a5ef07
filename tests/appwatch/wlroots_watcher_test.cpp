// The wlroots watcher against Sway, headless, with Wayland clients of our own; the focus moved
// with swaymsg. Sway refuses to run as root: under root it runs as nobody in a runtime folder
// of its own, which root's clients can still reach.
#include <gtest/gtest.h>
#include <sys/socket.h>
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

using test::Sway;

// One window of our test client.
class Window : public test::WaylandWindow {
public:
    Window(const QString& display, const QString& appId)
        : WaylandWindow(QStringLiteral(TAVRIK_WAYLAND_CLIENT), display, appId) {}
};

class WlrootsWatch : public ::testing::Test {
protected:
    void SetUp() override {
        const QString why = m_sway.start();
        ASSERT_TRUE(why.isEmpty())
            << "Sway cannot run here: " << why.toStdString() << " (scripts/setup test installs it)";
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
    ASSERT_TRUE(xwayland.start()) << "Xvfb is missing or did not start (scripts/setup test)";
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
