#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <QtGlobal>
#include <vector>

#include "host/qt/log_categories.h"
#include "launcher/desktop_launcher.h"

namespace tavrik::app {
namespace {

using keyassign::LaunchKind;
using keyassign::LaunchRequest;

QStringList g_debugLines;
QStringList g_debugCategories;

void collect(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtDebugMsg) return;
    g_debugLines << text;
    g_debugCategories << QString::fromUtf8(context.category);
}

class DesktopLauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        g_debugLines.clear();
        g_debugCategories.clear();
        m_previous = qInstallMessageHandler(collect);
        QLoggingCategory::setFilterRules(QStringLiteral("tavrik.launch.debug=true"));
    }
    void TearDown() override {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(m_previous);
    }

    QString file(const QString& name, const QByteArray& content,
                 QFile::Permissions perms = QFile::ReadOwner | QFile::WriteOwner) {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        f.setPermissions(perms);
        return path;
    }
    // Polls for a file that its writer moves into place once complete, so that its existence
    // means its content is all there.
    static bool waitForFile(const QString& path) {
        QDeadlineTimer deadline(10000);
        while (!QFile::exists(path) && !deadline.hasExpired()) QThread::msleep(20);
        return QFile::exists(path);
    }

    QTemporaryDir m_dir;
    std::vector<QUrl> m_opened;
    DesktopLauncher m_launcher{[this](const QUrl& url) {
        m_opened.push_back(url);
        return true;
    }};
    QtMessageHandler m_previous = nullptr;
};

TEST_F(DesktopLauncherTest, MissingPathDoesNothingButOneDebugLine) {
    for (LaunchKind kind : {LaunchKind::Document, LaunchKind::Program, LaunchKind::Folder}) {
        g_debugLines.clear();
        m_launcher.launch({kind, m_dir.filePath("gone").toStdString(), m_dir.path().toStdString()});
        EXPECT_EQ(g_debugLines.size(), 1);
    }
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(DesktopLauncherTest, DebugLineAppearsOnlyWhenItsCategoryIsSwitchedOn) {
    const struct {
        const char* rules;
        bool shown;
    } cases[] = {
        {"", false},
        {"tavrik.files.debug=true\ntavrik.device.debug=true", false},
        {"tavrik.*.debug=true\ntavrik.launch.debug=false", false},
        {"tavrik.launch.debug=true", true},
        {"tavrik.*.debug=true", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rules);
        QLoggingCategory::setFilterRules(QString::fromLatin1(c.rules));
        g_debugLines.clear();
        g_debugCategories.clear();
        m_launcher.launch({LaunchKind::Document, m_dir.filePath("gone").toStdString(), {}});
        const QStringList expected =
            c.shown ? QStringList{QStringLiteral("tavrik.launch")} : QStringList();
        EXPECT_EQ(g_debugCategories, expected);
    }
}

TEST(LogCategories, DebugIsOffAndWarningsOnUnlessTheRulesSayOtherwise) {
    QLoggingCategory::setFilterRules(QString());
    const QLoggingCategory* all[] = {&lcDevice(), &lcHook(), &lcFiles(),
                                     &lcLaunch(), &lcUi(),   &lcCtl()};
    QStringList names;
    for (const QLoggingCategory* category : all) {
        SCOPED_TRACE(category->categoryName());
        EXPECT_FALSE(category->isDebugEnabled());
        EXPECT_TRUE(category->isWarningEnabled());
        names << QString::fromLatin1(category->categoryName());
    }
    EXPECT_EQ(names.join(u' '), QStringLiteral("tavrik.device tavrik.hook tavrik.files "
                                               "tavrik.launch tavrik.ui tavrik.ctl"));
    QLoggingCategory::setFilterRules(QStringLiteral("tavrik.device.debug=true"));
    EXPECT_TRUE(lcDevice().isDebugEnabled());
    EXPECT_FALSE(lcFiles().isDebugEnabled());
    QLoggingCategory::setFilterRules(QString());
}

TEST_F(DesktopLauncherTest, DocumentsAndFoldersOpenWithTheDesktop) {
    const QString doc = file("notes.txt", "hello");
    m_launcher.launch({LaunchKind::Document, doc.toStdString(), m_dir.path().toStdString()});
    m_launcher.launch({LaunchKind::Folder, m_dir.path().toStdString(), {}});
    ASSERT_EQ(m_opened.size(), 2u);
    EXPECT_EQ(m_opened[0], QUrl::fromLocalFile(doc));
    EXPECT_EQ(m_opened[1], QUrl::fromLocalFile(m_dir.path()));
    EXPECT_TRUE(g_debugLines.isEmpty());
}

TEST_F(DesktopLauncherTest, ProgramStartsInItsFolderWithoutAShell) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("work"));
    const QString out = m_dir.filePath("out.txt");
    // The line is written beside and renamed, so out.txt appears only once it is complete.
    const QByteArray script = "#!/bin/sh\npwd > '" + out.toUtf8() + ".part'\nmv '" + out.toUtf8() +
                              ".part' '" + out.toUtf8() + "'\n";
    // A name a shell would split into two commands.
    const QString program =
        file("run me; touch pwned", script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString work = m_dir.filePath("work");
    m_launcher.launch({LaunchKind::Program, program.toStdString(), work.toStdString()});
    ASSERT_TRUE(waitForFile(out));
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()).trimmed(), work);
    EXPECT_FALSE(QFile::exists(m_dir.filePath("pwned")));
    EXPECT_FALSE(QFile::exists(QDir(work).filePath("pwned")));
    EXPECT_FALSE(QFile::exists(QDir::current().filePath("pwned")));
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(DesktopLauncherTest, NonExecutableProgramGoesToTheDesktop) {
    const QString exe = file("setup.exe", "MZ");
    m_launcher.launch({LaunchKind::Program, exe.toStdString(), m_dir.path().toStdString()});
    ASSERT_EQ(m_opened.size(), 1u);
    EXPECT_EQ(m_opened[0], QUrl::fromLocalFile(exe));
}

}  // namespace
}  // namespace tavrik::app
