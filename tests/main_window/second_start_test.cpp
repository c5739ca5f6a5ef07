#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include "qt_app_fixture.h"

namespace tavrik::app {
namespace {

// Starts the real executable twice: the second start hands over to the first and ends at once.
TEST(SecondStart, EndsAtOnceWhileTheFirstKeepsRunning) {
    testing::qtApp();
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

}  // namespace
}  // namespace tavrik::app
