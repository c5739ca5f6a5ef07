#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include "qt_app_fixture.h"

namespace tavrik::app {
namespace {

// Starts the real executable twice: the second start hands over to the first and ends at once.
TEST(SecondStart, EndsAtOnceWhileTheFirstKeepsRunning) {
    test_support::qtApp();
    const QString exe = QCoreApplication::applicationDirPath() + QStringLiteral("/tavrik-87rev");
    if (!QFileInfo::exists(exe)) GTEST_SKIP() << "tavrik-87rev is not built";
    QTemporaryDir runtime;
    QTemporaryDir data;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QStringList args{QStringLiteral("--data-dir"), data.path()};

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(exe, args);
    ASSERT_TRUE(first.waitForStarted());
    // The first copy is ready once its socket exists.
    for (int i = 0; i < 100 && QDir(runtime.path()).entryList({"*.sock"}, QDir::System).isEmpty();
         ++i) {
        QThread::msleep(50);
    }

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(exe, args);
    EXPECT_TRUE(second.waitForFinished(5000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
}

// The tool reaches a running tavrik-kbsim through --sim-socket: the emulator's trace shows the
// start-up read arriving.
TEST(SimSocket, TheToolReadsARunningEmulator) {
    test_support::qtApp();
    const QString bin = QCoreApplication::applicationDirPath();
    if (!QFileInfo::exists(bin + "/tavrik-kbsim") || !QFileInfo::exists(bin + "/tavrik-87rev")) {
        GTEST_SKIP() << "tavrik-kbsim or tavrik-87rev is not built";
    }
    QTemporaryDir dir;
    const QString socket = dir.filePath("kb.sock");
    const QString trace = dir.filePath("trace.txt");
    QProcess kbsim;
    kbsim.start(bin + "/tavrik-kbsim", {"--trace", trace, socket});
    ASSERT_TRUE(kbsim.waitForStarted());
    for (int i = 0; i < 100 && !QFileInfo::exists(socket); ++i) QThread::msleep(20);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", dir.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.start(bin + "/tavrik-87rev", {"--sim-socket", socket, "--data-dir", dir.path()});
    ASSERT_TRUE(tool.waitForStarted());
    // The start-up read ends with the DIY tables: wait for the keyboard to have sent data.
    bool read = false;
    for (int i = 0; i < 300 && !read; ++i) {
        QThread::msleep(20);
        QFile f(trace);
        read = f.open(QIODevice::ReadOnly) && f.readAll().contains(" out data ");
    }
    EXPECT_TRUE(read);
    tool.kill();
    tool.waitForFinished();
    kbsim.write("quit\n");
    if (!kbsim.waitForFinished(2000)) kbsim.kill();
}

}  // namespace
}  // namespace tavrik::app
