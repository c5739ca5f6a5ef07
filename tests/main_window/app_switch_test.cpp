// The window puts the profile of the application in front on the keyboard: a test watcher
// emits the changes, an injected clock stands for the settle time, and the emulator's trace
// shows what the switch sends.

#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>

#include <mutex>

#include "../support/save_sequence.h"
#include "appprofiles/switch_planner.h"
#include "appwatch/active_app_watcher.h"
#include "host/app_rules_file.h"
#include "model/keymap_file.h"
#include "qt_app_fixture.h"
#include "windows/app_profile_switcher.h"

namespace tavrik::app {
namespace {

using namespace std::chrono_literals;

// Stands for a desktop's watcher, as the emulator stands for the keyboard.
class TestWatcher final : public ActiveAppWatcher {
public:
    QString backendName() const override { return QStringLiteral("test"); }
    bool start() override { return true; }
    bool canListOpenApps() const override { return true; }
    QStringList openApps() const override { return {QStringLiteral("shooter")}; }
    void focus(const QStringList& ids) { emit activeAppChanged(ActiveApp{ids}); }
};

using Sent = tavrik::test_support::SentReport;

constexpr int kSlot = 30;

// One key's code differs from what the keyboard holds after the start-up read.
void gameEdit(model::ConfigState& s) {
    auto cell = model::keyCodeCell(s.image, kSlot);
    cell[1] = static_cast<std::uint8_t>(cell[1] ^ 0x01);
}
void workEdit(model::ConfigState& s) {
    s.image[model::image::kEffect] = static_cast<std::uint8_t>(s.image[model::image::kEffect] ^ 1);
}

using tavrik::test_support::saveSequenceFor;

class AppSwitch : public test_support::MainWindowFixture {
protected:
    std::unique_ptr<MainWindow> start(bool keyboard = true) {
        AppContext c = context(Language::English, keyboard);
        c.appWatcher = &m_watcher;
        c.switchClock = [this] { return m_now; };
        auto w = std::make_unique<MainWindow>(std::move(c));
        w->initialise(false);
        w->show();
        settle(*w);
        m_firmware->setTrace(
            [this](sim::Direction d, sim::ReportKind k, std::span<const std::uint8_t> b) {
                if (d != sim::Direction::HostToKeyboard) return;
                std::lock_guard<std::mutex> g(m_sentLock);
                m_sent.push_back({k, {b.begin(), b.end()}});
            });
        return w;
    }
    // Profiles made from the window's host copy after its start-up read, and their rules.
    void makeProfiles(MainWindow& w) {
        QDir(m_dir.path()).mkpath(QStringLiteral("Configure"));
        for (const auto& [name, edit] :
             {std::pair{"Game", &gameEdit}, std::pair{"Work", &workEdit}}) {
            auto s = std::make_unique<model::ConfigState>(
                w.configModel().withLock([](model::ConfigState& st) { return st; }));
            edit(*s);
            const QString path = m_dir.filePath(QStringLiteral("Configure/%1.bin").arg(name));
            ASSERT_TRUE(model::saveConfigFile(path.toStdString(), s->image, s->actions));
        }
        AppRulesFile& rules = w.appProfiles()->rules();
        ASSERT_TRUE(rules.edit([](appprofiles::AppRules& r) {
            appprofiles::bind(r, "Game", "shooter");
            return appprofiles::setDefault(r, "Work");
        }));
    }
    std::vector<Sent> takeSent() {
        std::lock_guard<std::mutex> g(m_sentLock);
        return std::exchange(m_sent, {});
    }
    // The clock moves on, then the window does what is due (the settle timer's work).
    void advance(MainWindow& w, std::chrono::milliseconds by) {
        m_now += by;
        w.appProfiles()->evaluate();
        settle(w);
    }
    static bool messageBoxShown() {
        for (QWidget* t : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMessageBox*>(t) && t->isVisible()) return true;
        }
        return false;
    }
    QString status(MainWindow& w, Language lang = Language::English) {
        return w.appProfiles()->statusText(lang);
    }

    TestWatcher m_watcher;
    appprofiles::TimePoint m_now{std::chrono::hours(1)};
    std::mutex m_sentLock;
    std::vector<Sent> m_sent;
};

TEST_F(AppSwitch, TheSwitchSendsExactlyTheProfilesDifferencesOnceAfterTheFocusHasSettled) {
    const auto expected = saveSequenceFor(gameEdit);
    ASSERT_FALSE(expected.empty());
    auto w = start();
    makeProfiles(*w);
    // Alt-tabbing: each application stays less than the settle time, nothing is sent.
    for (const char* id : {"firefox", "shooter", "code", "shooter"}) {
        m_watcher.focus({QString::fromLatin1(id)});
        advance(*w, appprofiles::kSettleTime - 1ms);
        EXPECT_TRUE(takeSent().empty()) << id;
    }
    advance(*w, 1ms);
    EXPECT_EQ(takeSent(), expected);
    EXPECT_EQ(model::keyCodeOf(m_firmware->image(), kSlot),
              w->configModel().withLock(
                  [](model::ConfigState& s) { return model::keyCodeOf(s.syncedImage, kSlot); }));
    EXPECT_EQ(status(*w), QStringLiteral("Profile Game (automatic)"));
    EXPECT_EQ(status(*w, Language::Chinese), QString::fromUtf8("配置 Game（自动）"));
    // Nothing more while the application stays, and none for the same application again.
    advance(*w, 10s);
    m_watcher.focus({QStringLiteral("Shooter"), QStringLiteral("shooter-bin")});
    advance(*w, appprofiles::kSettleTime);
    EXPECT_TRUE(takeSent().empty());
    // Another application gets the default; the tool's own window keeps what is there.
    m_watcher.focus({QCoreApplication::applicationName()});
    advance(*w, 1s);
    EXPECT_TRUE(takeSent().empty());
    m_watcher.focus({QStringLiteral("firefox")});
    advance(*w, appprofiles::kSettleTime);
    EXPECT_FALSE(takeSent().empty());
    EXPECT_EQ(status(*w), QStringLiteral("Profile Work (automatic)"));
}

TEST_F(AppSwitch, UnsavedEditsMakeTheSwitchWaitAndTheStatusLineSaysSo) {
    auto w = start();
    makeProfiles(*w);
    const auto edited = w->configModel().withLock([](model::ConfigState& s) {
        s.image[model::image::kSpeed] =
            static_cast<std::uint8_t>(s.image[model::image::kSpeed] ^ 1);
        return s.image;
    });
    m_watcher.focus({QStringLiteral("shooter")});
    advance(*w, appprofiles::kSettleTime);
    advance(*w, 1min);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_EQ(status(*w),
              QStringLiteral("Profile Game waits until your changes are saved or cancelled"));
    EXPECT_FALSE(status(*w, Language::Chinese).isEmpty());
    // The user's edit is still there, untouched.
    EXPECT_EQ(w->configModel().withLock([](model::ConfigState& s) { return s.image; }), edited);
    // Cancelled: the switch goes ahead at once.
    w->configModel().withLock([](model::ConfigState& s) { model::revert(s); });
    advance(*w, 0ms);
    EXPECT_EQ(takeSent(), saveSequenceFor(gameEdit));
    EXPECT_EQ(status(*w), QStringLiteral("Profile Game (automatic)"));
}

TEST_F(AppSwitch, AFailedSwitchIsToldInTheStatusLineAndDoneWhenTheKeyboardArrives) {
    auto w = start();
    makeProfiles(*w);
    m_firmware->unplug();
    settle(*w);
    m_watcher.focus({QStringLiteral("shooter")});
    advance(*w, appprofiles::kSettleTime);
    EXPECT_EQ(
        status(*w),
        QStringLiteral("Profile Game not switched: no keyboard; again when it is plugged in"));
    EXPECT_FALSE(messageBoxShown());
    takeSent();
    m_firmware->plug();
    settle(*w);  // the arrival's read, then the switch's Save
    settle(*w);
    EXPECT_EQ(status(*w), QStringLiteral("Profile Game (automatic)"));
    EXPECT_FALSE(messageBoxShown());
    const model::Image keyboard = m_firmware->image();
    const auto profile = std::make_unique<model::ConfigState>();
    ASSERT_TRUE(model::readConfigFile(m_dir.filePath("Configure/Game.bin").toStdString(),
                                      profile->image, profile->actions));
    EXPECT_EQ(model::keyCodeOf(keyboard, kSlot), model::keyCodeOf(profile->image, kSlot));
    // The switch's Save ran once: its key code area went out once after the arrival's read.
    const auto sent = takeSent();
    const auto save = saveSequenceFor(gameEdit);
    const auto at = std::search(sent.begin(), sent.end(), save.begin(), save.end());
    ASSERT_NE(at, sent.end());
    EXPECT_EQ(std::search(at + 1, sent.end(), save.begin(), save.end()), sent.end());
}

TEST_F(AppSwitch, AnUnplugDuringTheSwitchIsNoBoxAndTheReplugFinishesTheSwitch) {
    auto w = start();
    makeProfiles(*w);
    m_firmware->setFaults({.removeAfterPackets = 0});
    m_watcher.focus({QStringLiteral("shooter")});
    advance(*w, appprofiles::kSettleTime);
    settle(*w);
    EXPECT_EQ(
        status(*w),
        QStringLiteral("Profile Game not switched: no keyboard; again when it is plugged in"));
    EXPECT_FALSE(messageBoxShown());
    // What the switch loaded is no edit of the user's: the retry on the replug goes ahead.
    m_firmware->setFaults({});
    m_firmware->plug();
    settle(*w);
    settle(*w);
    EXPECT_EQ(status(*w), QStringLiteral("Profile Game (automatic)"));
    EXPECT_FALSE(messageBoxShown());
    const auto profile = std::make_unique<model::ConfigState>();
    ASSERT_TRUE(model::readConfigFile(m_dir.filePath("Configure/Game.bin").toStdString(),
                                      profile->image, profile->actions));
    EXPECT_EQ(model::keyCodeOf(m_firmware->image(), kSlot),
              model::keyCodeOf(profile->image, kSlot));
    const bool inLine =
        w->configModel().withLock([](model::ConfigState& s) { return s.image == s.syncedImage; });
    EXPECT_TRUE(inLine);
}

TEST_F(AppSwitch, TheTrayListsTheProfilesWithTheActiveOneCheckedAndSwitchesByHand) {
    auto w = start();
    makeProfiles(*w);
    auto* tray = w->findChild<QSystemTrayIcon*>();
    ASSERT_TRUE(tray);
    QMenu* menu = tray->contextMenu();
    ASSERT_TRUE(menu);
    const auto profileItems = [&] {
        emit menu->aboutToShow();
        QStringList out;
        for (QAction* a : menu->actions()) {
            if (a->text() == QStringLiteral("Game") || a->text() == QStringLiteral("Work")) {
                out << a->text() + (a->isChecked() ? QStringLiteral("*") : QString());
            }
        }
        return out;
    };
    EXPECT_EQ(profileItems(), QStringList({"Game", "Work"}));
    m_watcher.focus({QStringLiteral("shooter")});
    advance(*w, appprofiles::kSettleTime);
    EXPECT_EQ(profileItems(), QStringList({"Game*", "Work"}));
    takeSent();
    for (QAction* a : menu->actions()) {
        if (a->text() == QStringLiteral("Work")) a->trigger();
    }
    settle(*w);
    EXPECT_FALSE(takeSent().empty());
    const auto work = std::make_unique<model::ConfigState>();
    ASSERT_TRUE(model::readConfigFile(m_dir.filePath("Configure/Work.bin").toStdString(),
                                      work->image, work->actions));
    EXPECT_EQ(m_firmware->image()[model::image::kEffect], work->image[model::image::kEffect]);
    EXPECT_EQ(model::keyCodeOf(m_firmware->image(), kSlot), model::keyCodeOf(work->image, kSlot));
    EXPECT_EQ(status(*w), QStringLiteral("Profile Work (chosen by hand)"));
    EXPECT_EQ(profileItems(), QStringList({"Game", "Work*"}));
    // It holds while the application stays in front.
    advance(*w, 1h);
    EXPECT_EQ(status(*w), QStringLiteral("Profile Work (chosen by hand)"));
}

TEST_F(AppSwitch, ADamagedRulesFileIsToldOnceAtStartAndKeptAndNothingSwitches) {
    const QByteArray damaged = "{\"format\": \"tavrik-87rev-app-profiles\", \"version\": 1, ";
    {
        QFile f(m_dir.filePath(QString::fromLatin1(kAppRulesFileName)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(damaged);
    }
    auto w = start();
    QStringList told;
    for (QWidget* t : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(t);
        if (box && box->isVisible()) told << box->text();
    }
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains(QString::fromLatin1(kAppRulesFileName))) << told[0].toStdString();
    m_watcher.focus({QStringLiteral("shooter")});
    advance(*w, appprofiles::kSettleTime);
    EXPECT_TRUE(takeSent().empty());
    EXPECT_TRUE(status(*w).isEmpty());
    QFile f(m_dir.filePath(QString::fromLatin1(kAppRulesFileName)));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), damaged);
    for (QWidget* t : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMessageBox*>(t)) t->close();
    }
}

}  // namespace
}  // namespace tavrik::app
