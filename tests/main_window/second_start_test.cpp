#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include "host/instance_address.h"
#include "host/instance_lock.h"
#include "qt_app_fixture.h"

namespace tavrik::app {
namespace {

// Runs this process's event loop until `process` ends or `ms` have passed.
bool finishServing(QProcess& process, int ms) {
    QDeadlineTimer deadline(ms);
    while (!process.waitForFinished(20)) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents();
    }
    return true;
}

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
    QProcessEnvironment firstEnv = env;
    // The first copy logs each hand-over it receives, with the process that asked.
    firstEnv.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tavrik.ctl.debug=true"));
    first.setProcessEnvironment(firstEnv);
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
    ASSERT_TRUE(second.waitForStarted());
    const qint64 secondPid = second.processId();
    EXPECT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);

    // The second start ended with success because the first copy received its request.
    const QByteArray received =
        QStringLiteral("process %1 asks for the window").arg(secondPid).toUtf8();
    QByteArray log;
    QDeadlineTimer deadline(5000);
    while (!log.contains(received) && !deadline.hasExpired()) {
        first.waitForReadyRead(100);
        log += first.readAllStandardError();
    }
    EXPECT_TRUE(log.contains(received)) << log.toStdString();
    first.kill();
    first.waitForFinished();
}

// A holder of the lock whose socket takes the connection but never answers "show": the second
// start cannot hand over and says so, with a failing exit code.
TEST(SecondStart, FailsWhenTheHolderDoesNotAnswer) {
    test_support::qtApp();
    const QString exe = QCoreApplication::applicationDirPath() + QStringLiteral("/tavrik-87rev");
    if (!QFileInfo::exists(exe)) GTEST_SKIP() << "tavrik-87rev is not built";
    QTemporaryDir runtime;
    QTemporaryDir data;
    const QString base = QDir(runtime.path()).filePath(instanceName());
    InstanceLock lock(base + QStringLiteral(".lock"));
    ASSERT_EQ(lock.tryClaim(), InstanceLock::Outcome::Claimed);
    QLocalServer mute;
    ASSERT_TRUE(mute.listen(base + QStringLiteral(".sock")));
    int accepted = 0;
    QObject::connect(&mute, &QLocalServer::newConnection, [&] {
        while (QLocalSocket* socket = mute.nextPendingConnection()) {
            ++accepted;
            socket->abort();
            socket->deleteLater();
        }
    });

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(exe, {QStringLiteral("--data-dir"), data.path()});
    ASSERT_TRUE(second.waitForStarted());
    ASSERT_TRUE(finishServing(second, 30000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(
        second.readAllStandardError().contains("a copy of the tool runs but does not answer"));
    EXPECT_GE(accepted, 2);  // the check that the holder listens, then the hand-over
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
