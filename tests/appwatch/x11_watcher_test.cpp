// The X11 watcher against a private Xvfb server. The test plays both the clients (windows of
// different WM_CLASS and _NET_WM_PID) and the window manager (the root window's
// _NET_ACTIVE_WINDOW and _NET_CLIENT_LIST), each over a connection of its own.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdlib>
#include <cstring>

#include "appwatch/app_ids.h"
#include "appwatch/x11_watcher.h"
#include "watch_test_support.h"

namespace tavrik::app {
namespace {
using test::Ids;
using test::reports;
using test::X11Desktop;

class X11Watch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.start()) << "Xvfb is missing or did not start (scripts/setup test)";
        m_desktop = std::make_unique<X11Desktop>(m_server.display());
        ASSERT_TRUE(m_desktop->ok());
        m_watcher = std::make_unique<X11Watcher>(m_server.display());
        m_changes =
            std::make_unique<QSignalSpy>(m_watcher.get(), &ActiveAppWatcher::activeAppChanged);
        m_lists = std::make_unique<QSignalSpy>(m_watcher.get(), &ActiveAppWatcher::openAppsChanged);
        m_lost = std::make_unique<QSignalSpy>(m_watcher.get(), &ActiveAppWatcher::unavailable);
    }
    // Waits until `count` reports have come.
    bool reportsReach(qsizetype count) {
        return test::waitUntil(*m_changes, [&] { return m_changes->size() >= count; });
    }

    test::Xvfb m_server;
    std::unique_ptr<X11Desktop> m_desktop;
    std::unique_ptr<X11Watcher> m_watcher;
    std::unique_ptr<QSignalSpy> m_changes, m_lists, m_lost;
    const std::string m_self =
        QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString();
};

TEST_F(X11Watch, ReportsEachFocusChangeOnceWithClassAndExecutable) {
    ASSERT_TRUE(m_watcher->start());
    EXPECT_EQ(m_watcher->backendName(), "X11");
    ASSERT_TRUE(reportsReach(1));  // nothing active yet
    const uint32_t alpha = m_desktop->window(QByteArray("alpha-main\0Alpha\0", 17), ::getpid());
    // The executable of another process: the X server's own.
    const uint32_t beta = m_desktop->window(QByteArray("beta\0Beta\0", 10), m_server.pid());
    m_desktop->activate(alpha);
    ASSERT_TRUE(reportsReach(2));
    // The same window again, and a root property of no interest: no report.
    m_desktop->activate(alpha);
    m_desktop->touchOtherRootProperty();
    m_desktop->activate(beta);
    ASSERT_TRUE(reportsReach(3));
    m_desktop->activate(XCB_WINDOW_NONE);
    ASSERT_TRUE(reportsReach(4));
    m_desktop->activate(beta);
    ASSERT_TRUE(reportsReach(5));
    // Rules match ignoring case: a class that only differs in case from the instance is no
    // second id.
    EXPECT_EQ(reports(*m_changes),
              (std::vector<Ids>{
                  {}, {"alpha-main", "Alpha", m_self}, {"beta", "Xvfb"}, {}, {"beta", "Xvfb"}}));
    EXPECT_TRUE(m_lost->isEmpty());
}

TEST_F(X11Watch, ReportsTheWindowActiveAtStart) {
    const uint32_t alpha = m_desktop->window(QByteArray("term\0XTerm\0", 11));
    m_desktop->activate(alpha);
    ASSERT_TRUE(m_watcher->start());
    ASSERT_TRUE(reportsReach(1));
    EXPECT_EQ(reports(*m_changes), (std::vector<Ids>{{"term", "XTerm"}}));
}

TEST_F(X11Watch, ListsTheOpenApplicationsByClass) {
    const uint32_t a = m_desktop->window(QByteArray("navigator\0firefox\0", 18));
    const uint32_t b = m_desktop->window(QByteArray("emacs\0Emacs\0", 12));
    const uint32_t c = m_desktop->window(QByteArray("navigator\0Firefox\0", 18));
    const uint32_t noClass = m_desktop->window(QByteArray());
    const uint32_t onlyInstance = m_desktop->window(QByteArray("solo\0", 5));
    m_desktop->listClients({a, b, c, noClass, onlyInstance});
    ASSERT_TRUE(m_watcher->start());
    EXPECT_TRUE(m_watcher->canListOpenApps());
    ASSERT_TRUE(test::waitUntil(*m_lists, [&] { return !m_lists->isEmpty(); }));
    EXPECT_EQ(test::toIds(m_watcher->openApps()), (Ids{"Emacs", "firefox", "solo"}));
    // A window closes and the manager drops it from the list, another client stays listed
    // although it is gone: the list follows the manager's, without the gone one.
    m_desktop->destroy(b);
    m_desktop->listClients({a, c, noClass, onlyInstance, b});
    ASSERT_TRUE(test::waitUntil(*m_lists, [&] { return m_lists->size() >= 2; }));
    EXPECT_EQ(test::toIds(m_watcher->openApps()), (Ids{"firefox", "solo"}));
    // The same list again: no signal. Then an empty list.
    m_desktop->listClients({a, c, noClass, onlyInstance});
    m_desktop->listClients({});
    ASSERT_TRUE(test::waitUntil(*m_lists, [&] { return m_lists->size() >= 3; }));
    EXPECT_TRUE(m_watcher->openApps().isEmpty());
    EXPECT_EQ(m_lists->size(), 3);
}

TEST_F(X11Watch, GoneBrokenAndHostileWindows) {
    const uint32_t alpha = m_desktop->window(QByteArray("alpha\0Alpha\0", 12));
    const uint32_t gone = m_desktop->window(QByteArray("gone\0Gone\0", 10));
    m_desktop->destroy(gone);
    const uint32_t bare = m_desktop->window(QByteArray());  // no property at all
    const uint32_t pidOnly = m_desktop->window(QByteArray(), ::getpid());
    // Latin-1 (not UTF-8), control characters, no terminating NUL.
    const uint32_t latin1 =
        m_desktop->window(QByteArray("caf\xe9\0Bar\x1b\x07"
                                     "Baz",
                                     13));
    const uint32_t huge = m_desktop->window(QByteArray(200000, 'h') + '\0' + "Huge" + '\0');
    // A pid from another machine names some unrelated local process: not used.
    const uint32_t remote = m_desktop->window(QByteArray("far\0Far\0", 8), ::getpid());
    m_desktop->setText(remote, XCB_ATOM_WM_CLIENT_MACHINE, "elsewhere.example");
    const uint32_t hostPid = m_desktop->window(QByteArray("near\0Near\0", 10), ::getpid());
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    m_desktop->setText(hostPid, XCB_ATOM_WM_CLIENT_MACHINE, host);

    ASSERT_TRUE(m_watcher->start());
    ASSERT_TRUE(reportsReach(1));
    const std::vector<uint32_t> sequence = {alpha,  gone, alpha,  bare,   pidOnly,
                                            latin1, huge, remote, hostPid};
    // Each step differs from the one before: one report each.
    for (size_t i = 0; i < sequence.size(); ++i) {
        m_desktop->activate(sequence[i]);
        ASSERT_TRUE(reportsReach(static_cast<qsizetype>(i) + 2)) << "step " << i;
    }
    // Not a window: the manager's property is taken as naming none.
    m_desktop->activateWithType(alpha, XCB_ATOM_CARDINAL);
    ASSERT_TRUE(reportsReach(static_cast<qsizetype>(sequence.size()) + 2));

    const std::vector<Ids> got = reports(*m_changes);
    ASSERT_EQ(got.size(), 11u);
    EXPECT_EQ(got[0], Ids{});
    EXPECT_EQ(got[1], (Ids{"alpha"}));
    EXPECT_EQ(got[2], Ids{});  // gone before it could be read
    EXPECT_EQ(got[3], (Ids{"alpha"}));
    EXPECT_EQ(got[4], Ids{});
    EXPECT_EQ(got[5], Ids{m_self});
    EXPECT_EQ(got[6], (Ids{"caf\xc3\xa9", "BarBaz"}));
    ASSERT_EQ(got[7].size(), 1u);  // the class lies beyond what is read
    EXPECT_EQ(got[7][0], std::string(kMaxAppIdLength, 'h'));
    EXPECT_EQ(got[8], (Ids{"far"}));
    EXPECT_EQ(got[9], (Ids{"near", m_self}));
    EXPECT_EQ(got[10], Ids{});
    EXPECT_TRUE(m_lost->isEmpty());
}

TEST_F(X11Watch, SaysSoWhenTheDisplayGoes) {
    ASSERT_TRUE(m_watcher->start());
    ASSERT_TRUE(reportsReach(1));
    m_server.stop();
    ASSERT_TRUE(test::waitUntil(*m_lost, [&] { return !m_lost->isEmpty(); }));
    EXPECT_EQ(m_lost->size(), 1);
    EXPECT_TRUE(m_lost->first().at(0).toString().contains("lost"));
}

TEST(X11WatchStart, RefusesADisplayThatIsNotThere) {
    X11Watcher watcher(QStringLiteral(":4095"));
    QSignalSpy lost(&watcher, &ActiveAppWatcher::unavailable);
    EXPECT_FALSE(watcher.start());
    EXPECT_EQ(lost.size(), 1);
}

}  // namespace
}  // namespace tavrik::app
