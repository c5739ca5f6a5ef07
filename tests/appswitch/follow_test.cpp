// Profiles follow the application in front, end to end: a real display server (Xvfb, Sway
// headless), client windows of our own in processes of their own, the watcher the tool chooses
// from the session's environment, the main window's switching against the emulated keyboard,
// and the reports on the wire. Every wait ends on an event (the watcher's report, the
// switcher settled after the Save's job), bounded; the settle time is the product's own.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "display_servers.h"
#include "follow_fixture.h"

namespace tavrik::app::test {
namespace {

// One window of tavrik-appswitch-x11-client.
class X11Client {
public:
    X11Client(const QString& display, const QString& instance, const QString& windowClass) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        m_process.setProcessEnvironment(env);
        m_process.start(QStringLiteral(TAVRIK_X11_CLIENT), {instance, windowClass});
    }
    ~X11Client() {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(30000)) m_process.kill();
    }
    // The window's id once the server has it; 0 when the client failed.
    uint32_t window() {
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(30000)) return 0;
        }
        return m_process.readLine().trimmed().toUInt();
    }

private:
    QProcess m_process;
};

class X11Follow : public FollowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.start()) << "Xvfb is missing or did not start (scripts/setup test)";
        m_desktop = std::make_unique<X11Desktop>(m_server.display());
        ASSERT_TRUE(m_desktop->ok());
        m_session.set(QStringLiteral("x11"), m_server.display(), {}, {});
    }

    Xvfb m_server;
    std::unique_ptr<X11Desktop> m_desktop;
    SessionVariables m_session;
};

TEST_F(X11Follow, EachSettledFocusSendsExactlyTheProfilesDifferencesOnce) {
    X11Client alphaClient(m_server.display(), "alpha", "Alpha");
    X11Client betaClient(m_server.display(), "beta-main", "Beta");
    X11Client gammaClient(m_server.display(), "gamma", "Gamma");
    const uint32_t alpha = alphaClient.window(), beta = betaClient.window(),
                   gamma = gammaClient.window();
    ASSERT_NE(alpha, 0u);
    ASSERT_NE(beta, 0u);
    ASSERT_NE(gamma, 0u);
    m_desktop->listClients({alpha, beta, gamma});

    ASSERT_NO_FATAL_FAILURE(startTool());
    EXPECT_EQ(m_watcher->backendName(), QStringLiteral("X11"));
    ASSERT_NO_FATAL_FAILURE(makeProfiles(QStringLiteral("alpha"), QStringLiteral("Beta")));
    EXPECT_TRUE(takeSent().empty());

    // The keyboard holds its own state; Game differs in the key code area only.
    qsizetype seen = m_reports->size();
    m_desktop->activate(alpha);
    ASSERT_TRUE(settlesOn(QStringLiteral("alpha"), seen));
    EXPECT_EQ(takeSent(), expectedSave(m_game, {Unit::KeyCodes}));
    EXPECT_EQ(status(), activeAutomatic("Game"));
    EXPECT_EQ(m_firmware->image(), folded(m_game));

    // A quick alpha -> beta -> alpha within the settle time sends nothing. A stall of the
    // machine longer than the settle time between the two reports would rightly switch to
    // Paint and back: such a round does not count and is made again.
    bool quickRound = false;
    for (int round = 0; round < 3 && !quickRound; ++round) {
        seen = m_reports->size();
        const size_t timesBefore = m_reportTimes.size();
        m_desktop->activate(beta);
        ASSERT_TRUE(waitUntil(*m_reports, [&] { return m_reports->size() > seen; }));
        m_desktop->activate(alpha);
        ASSERT_TRUE(settlesOn(QStringLiteral("alpha"), seen + 1));
        ASSERT_EQ(m_reportTimes.size(), timesBefore + 2);
        const auto gap = m_reportTimes.back() - m_reportTimes[timesBefore];
        const std::vector<Sent> sent = takeSent();
        if (gap >= appprofiles::kSettleTime) continue;
        quickRound = true;
        EXPECT_TRUE(sent.empty()) << sent.size() << " reports";
    }
    EXPECT_TRUE(quickRound) << "no round came within the settle time";
    EXPECT_EQ(status(), activeAutomatic("Game"));

    // Beta is bound by its class, its second id. Paint differs from Game in the key code area
    // (Game's key back) and DIY table 0.
    seen = m_reports->size();
    m_desktop->activate(beta);
    ASSERT_TRUE(settlesOn(QStringLiteral("beta-main"), seen));
    EXPECT_EQ(takeSent(), expectedSave(m_paint, {Unit::KeyCodes, Unit::DiyTable0}));
    EXPECT_EQ(status(), activeAutomatic("Paint"));
    EXPECT_EQ(m_firmware->image(), folded(m_paint));

    // An application no rule names gets the default: Work differs from Paint in DIY table 0
    // and the lighting effect.
    seen = m_reports->size();
    m_desktop->activate(gamma);
    ASSERT_TRUE(settlesOn(QStringLiteral("gamma"), seen));
    EXPECT_EQ(takeSent(), expectedSave(m_work, {Unit::DiyTable0}));
    EXPECT_EQ(status(), activeAutomatic("Work"));
    EXPECT_EQ(m_firmware->image(), folded(m_work));
    EXPECT_EQ(switcher()->statusText(Language::English),
              QStringLiteral("Profile Work (automatic)"));

    // The desktop itself in front (no active window): the keyboard keeps Work.
    seen = m_reports->size();
    m_desktop->activate(XCB_WINDOW_NONE);
    ASSERT_TRUE(waitUntil(*m_reports, [&] { return m_reports->size() > seen; }));
    seen = m_reports->size();
    m_desktop->activate(gamma);
    ASSERT_TRUE(settlesOn(QStringLiteral("gamma"), seen));
    EXPECT_TRUE(takeSent().empty());
    EXPECT_EQ(status(), activeAutomatic("Work"));
}

class SwayFollow : public FollowFixture {
protected:
    void SetUp() override {
        const QString why = m_sway.start();
        ASSERT_TRUE(why.isEmpty())
            << "Sway cannot run here: " << why.toStdString() << " (scripts/setup test installs it)";
        m_session.set(QStringLiteral("wayland"), {}, m_sway.display(), QStringLiteral("sway"));
    }
    std::unique_ptr<WaylandWindow> window(const QString& appId) {
        return std::make_unique<WaylandWindow>(QStringLiteral(TAVRIK_WAYLAND_CLIENT),
                                               m_sway.display(), appId);
    }

    Sway m_sway;
    SessionVariables m_session;
};

TEST_F(SwayFollow, EachFocusMovedWithSwaymsgSendsExactlyTheProfilesDifferencesOnce) {
    // Each new window takes the focus: gamma is in front when the tool starts.
    auto alpha = window(QStringLiteral("org.example.Alpha"));
    ASSERT_TRUE(alpha->mapped());
    auto beta = window(QStringLiteral("beta"));
    ASSERT_TRUE(beta->mapped());
    auto gamma = window(QStringLiteral("gamma"));
    ASSERT_TRUE(gamma->mapped());

    ASSERT_NO_FATAL_FAILURE(startTool());
    EXPECT_EQ(m_watcher->backendName(), QStringLiteral("wlroots"));
    ASSERT_NO_FATAL_FAILURE(
        makeProfiles(QStringLiteral("org.example.alpha"), QStringLiteral("beta")));
    // The rules came after the report of gamma: the default goes on once the rules are known.
    ASSERT_TRUE(waitUntil(*m_settled, [&] { return status() == activeAutomatic("Work"); }));
    ASSERT_TRUE(waitUntil(*m_settled, [&] { return !link().session().busy(); }));
    EXPECT_EQ(takeSent(), expectedSave(m_work, {}));

    // Work differs from Game in the key code area and the effect, from Paint in DIY table 0
    // and the effect; Game from Paint in both regions.
    const struct {
        const char* focus;
        const char* profile;
        model::Image* image;
        std::vector<Unit> units;
    } steps[] = {
        {"org.example.Alpha", "Game", &m_game, {Unit::KeyCodes}},
        {"beta", "Paint", &m_paint, {Unit::KeyCodes, Unit::DiyTable0}},
        {"gamma", "Work", &m_work, {Unit::DiyTable0}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.focus);
        const qsizetype seen = m_reports->size();
        ASSERT_TRUE(m_sway.focus(QString::fromLatin1(step.focus)));
        ASSERT_TRUE(settlesOn(QString::fromLatin1(step.focus), seen));
        EXPECT_EQ(takeSent(), expectedSave(*step.image, step.units));
        EXPECT_EQ(status(), activeAutomatic(step.profile));
        EXPECT_EQ(m_firmware->image(), folded(*step.image));
    }

    // The window in front closes: the focus returns to beta (bound to Paint).
    const qsizetype seen = m_reports->size();
    gamma->close();
    ASSERT_TRUE(settlesOn(QStringLiteral("beta"), seen));
    EXPECT_EQ(takeSent(), expectedSave(m_paint, {Unit::DiyTable0}));
    EXPECT_EQ(status(), activeAutomatic("Paint"));
}

}  // namespace
}  // namespace tavrik::app::test
