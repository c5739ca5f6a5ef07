// The main window's desktop side against the emulated keyboard: the connection state in the
// bottom bar, the no-permission notice wherever the keyboard is needed, starting with the
// session, the help box rows, and the data folder rule on real folders.

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "qt_app_fixture.h"

namespace tavrik::app {
namespace {

using test_support::kSave;

using device::ConnectionState;

constexpr QPoint kStatusLine{420, 615};
constexpr QPoint kHelpButton{945, 12};
constexpr QPoint kHelpUpdateRow{900, 55};
constexpr QPoint kHelpAutostartRow{900, 110};
constexpr QPoint kHelpAutostartBox{852, 104};  // inside the row's check box, off its tick

// Sets an environment variable for the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (m_had) {
            qputenv(m_name, m_old);
        } else {
            qunsetenv(m_name);
        }
    }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had;
};

class Desktop : public test_support::MainWindowFixture {
protected:
    // The keyboard is plugged in, but this user may not open it.
    std::unique_ptr<MainWindow> startRefused(Language lang = Language::English) {
        AppContext c = context(lang, true);
        c.device.firmware->setAccessDenied(true);
        auto w = std::make_unique<MainWindow>(std::move(c));
        w->initialise(false);
        settle(*w);
        return w;
    }
    // Texts of the window's visible message boxes; closes them.
    static QStringList takeBoxes(MainWindow& w) {
        QCoreApplication::processEvents();
        QStringList texts;
        for (QMessageBox* box : w.findChildren<QMessageBox*>()) {
            if (!box->isVisible()) continue;
            texts << box->text();
            box->close();
        }
        QCoreApplication::processEvents();
        return texts;
    }
    // Answers the next modal message box with OK, remembering its text.
    void answerNextBox() {
        auto* poll = new QTimer(qApp);
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, [this, poll] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            m_modalText = box->text();
            box->button(QMessageBox::Ok)->click();
            poll->deleteLater();
            poll->stop();
        });
        poll->start();
    }
    static void click(QWidget& w, QPoint p) { QTest::mouseClick(&w, Qt::LeftButton, {}, p); }
    // The bottom bar, saved for a look at it.
    static QImage statusBar(MainWindow& w, const QString& name) {
        const QImage bar = w.renderSurface().copy(0, 596, w.width(), 38);
        const QString dir = QStringLiteral(TAVRIK_SCREENSHOT_DIR);
        QDir().mkpath(dir);
        bar.save(dir + u'/' + name + QStringLiteral(".png"));
        return bar;
    }

    QString m_modalText;
};

TEST_F(Desktop, NoPermissionStaysNoPermissionWhereverTheKeyboardIsNeeded) {
    auto w = startRefused();
    EXPECT_EQ(w->connectionState(), ConnectionState::NoPermission);
    const QString notice = w->permissionNoticeText();
    EXPECT_TRUE(notice.startsWith(QStringLiteral("The keyboard is connected, but")));
    EXPECT_TRUE(notice.contains(QStringLiteral("udevadm")));
    // The shipped copy it names exists (no source-tree path).
    EXPECT_EQ(takeBoxes(*w), QStringList{notice});

    click(*w, kSave);  // Save
    EXPECT_EQ(takeBoxes(*w), QStringList{notice});

    answerNextBox();  // the tray's balloon; a message box where there is no notification area
    w->trayActivated(QSystemTrayIcon::DoubleClick);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_modalText, notice);

    m_firmware->unplug();  // the refused keyboard leaves: nothing is refused any more
    settle(*w);
    EXPECT_EQ(w->connectionState(), ConnectionState::Absent);
    m_firmware->plug();  // a hot-plug arrival, still without permission: one notice
    settle(*w);
    EXPECT_EQ(w->connectionState(), ConnectionState::NoPermission);
    EXPECT_EQ(takeBoxes(*w), QStringList{notice});

    click(*w, kStatusLine);  // the status line shows the fix
    EXPECT_EQ(takeBoxes(*w), QStringList{notice});

    m_firmware->setAccessDenied(false);  // the rule applied, the keyboard plugged in again
    m_firmware->unplug();
    settle(*w);
    m_firmware->plug();
    settle(*w);
    EXPECT_EQ(w->connectionState(), ConnectionState::Connected);
    EXPECT_TRUE(takeBoxes(*w).isEmpty());
}

TEST_F(Desktop, StatusLineFollowsTheKeyboardInBothLanguages) {
    for (Language lang : {Language::English, Language::Chinese}) {
        const QString suffix =
            lang == Language::English ? QStringLiteral("-en") : QStringLiteral("-zh");
        auto w = makeWindow(lang, true);
        settle(*w);
        EXPECT_EQ(w->connectionState(), ConnectionState::Connected);
        EXPECT_EQ(w->deviceLink()->transport(), device::Transport::Emulated);
        const QImage emulated = statusBar(*w, QStringLiteral("status-emulated") + suffix);
        m_firmware->unplug();
        settle(*w);
        EXPECT_EQ(w->connectionState(), ConnectionState::Absent);
        const QImage absent = statusBar(*w, QStringLiteral("status-absent") + suffix);
        EXPECT_NE(emulated, absent);
        w.reset();
        auto refused = startRefused(lang);
        takeBoxes(*refused);
        EXPECT_NE(statusBar(*refused, QStringLiteral("status-no-permission") + suffix), absent);
    }
}

TEST_F(Desktop, HelpBoxStartsWithTheSessionAndTellsOfAMissingUpdater) {
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    const ScopedEnv env("XDG_CONFIG_HOME", config.path().toUtf8());
    const QString entry = config.filePath(QStringLiteral("autostart/tavrik-87rev.desktop"));
    auto w = makeWindow(Language::Chinese);
    w->show();
    takeBoxes(*w);  // the start-up notice of the absent keyboard

    click(*w, kHelpButton);
    QDir().mkpath(QStringLiteral(TAVRIK_SCREENSHOT_DIR));
    w->renderSurface().save(QStringLiteral(TAVRIK_SCREENSHOT_DIR "/help-box-zh.png"));
    // The row's check box is drawn: its inside is filled with the accent only when checked.
    const auto boxFilled = [&w] {
        const QColor c = w->renderSurface().pixelColor(kHelpAutostartBox);
        return c.red() > 150 && c.green() < 90 && c.blue() < 90;
    };
    EXPECT_FALSE(boxFilled());
    click(*w, kHelpAutostartRow);
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("Exec=") + QCoreApplication::applicationFilePath() +
                              QStringLiteral(" --minimized\n")));
    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (!validator.isEmpty()) {
        QProcess check;
        check.start(validator, {entry});
        ASSERT_TRUE(check.waitForFinished());
        EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
    }
    click(*w, kHelpButton);
    EXPECT_TRUE(boxFilled());
    click(*w, kHelpAutostartRow);  // checked: the second click removes the entry
    EXPECT_FALSE(QFile::exists(entry));
    click(*w, kHelpButton);
    EXPECT_FALSE(boxFilled());
    click(*w, kHelpButton);

    click(*w, kHelpButton);
    click(*w, kHelpUpdateRow);  // no updater beside the test program
    const QStringList told = takeBoxes(*w);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith(QStringLiteral("未安装固件更新程序")));
    // It names the program to install, not a folder of the build or install tree.
    EXPECT_TRUE(told[0].contains(QStringLiteral("tavrik-87rev-update"))) << told[0].toStdString();
    EXPECT_FALSE(told[0].contains(QLatin1Char('/'))) << told[0].toStdString();
}

// The window's title is the tool's name in both languages, and its icon (also the tray's) has
// the skin's picture at both sizes.
TEST_F(Desktop, TitleAndIconInBothSizes) {
    for (Language lang : {Language::English, Language::Chinese}) {
        auto w = makeWindow(lang);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Tavrik 87Rev"));
        const QList<QSize> sizes = w->windowIcon().availableSizes();
        EXPECT_TRUE(sizes.contains(QSize(128, 128)));
        EXPECT_TRUE(sizes.contains(QSize(256, 256)));
        takeBoxes(*w);
    }
}

TEST_F(Desktop, MinimizedStartStaysOutOfTheWay) {
    AppContext c = context(Language::English, true);
    c.options.minimized = true;
    MainWindow w(std::move(c));
    w.initialise(false);
    settle(w);
    // Behind the tray icon, or minimised where the desktop has none (as here).
    EXPECT_TRUE(!w.isVisible() || w.isMinimized());
    EXPECT_EQ(w.connectionState(), ConnectionState::Connected);
}

TEST(DataFolderRule, PortableInstalledRootAndOption) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const ScopedEnv env("XDG_DATA_HOME", (root.path() + QStringLiteral("/xdg")).toUtf8());
    const QString portable = root.path() + QStringLiteral("/unpacked/");
    ASSERT_TRUE(QDir().mkpath(portable + QStringLiteral("png")));
    const QString bin = root.path() + QStringLiteral("/usr/bin/");
    const QString share = root.path() + QStringLiteral("/usr/share/tavrik-87rev/");
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QDir().mkpath(share + QStringLiteral("png")));
    QFile ver(share + QStringLiteral("VER.bin"));
    ASSERT_TRUE(ver.open(QIODevice::WriteOnly));
    ver.write("Ver: 1.1    ");
    ver.close();

    appconfig::Options options;
    // Portable: the skin beside the executable in a writable folder keeps the data there.
    EXPECT_EQ(QDir(resolveAppPaths(options, portable).dataFolder), QDir(portable));
    // Installed: bin/ is writable (this test may run as root) but holds no skin: the data goes
    // to $XDG_DATA_HOME, which is created; shipped files come from share/.
    const AppPaths installed = resolveAppPaths(options, bin);
    EXPECT_EQ(QDir(installed.dataFolder), QDir(root.path() + QStringLiteral("/xdg/tavrik-87rev")));
    EXPECT_TRUE(QFileInfo(installed.dataFolder).isDir());
    EXPECT_EQ(installed.versionFile(), share + QStringLiteral("VER.bin"));
    EXPECT_TRUE(installed.shippedFile(QStringLiteral("70-tavrik-87rev.rules")).isEmpty());
    EXPECT_EQ(QDir(bin).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{});
    // --data-dir wins over both.
    options.dataDir = (root.path() + QStringLiteral("/chosen")).toStdString();
    EXPECT_EQ(QDir(resolveAppPaths(options, bin).dataFolder),
              QDir(root.path() + QStringLiteral("/chosen")));
    EXPECT_EQ(QDir(resolveAppPaths(options, portable).dataFolder),
              QDir(root.path() + QStringLiteral("/chosen")));
}

}  // namespace
}  // namespace tavrik::app
