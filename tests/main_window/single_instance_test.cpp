#include <gtest/gtest.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <chrono>
#include <future>

#include "main/single_instance.h"
#include "qt_app_fixture.h"

namespace tavrik::app {
namespace {

// Asks from another thread, as a later start would from its own process, while this thread's
// event loop serves the socket; the outcome once it is known (false after `ms`).
bool askWhileServing(SingleInstance& later, int ms) {
    auto asked = std::async(std::launch::async, [&later] { return later.askFirstToShow(); });
    QDeadlineTimer deadline(ms);
    while (asked.wait_for(std::chrono::milliseconds{10}) != std::future_status::ready) {
        if (deadline.hasExpired()) {
            asked.wait();
            return false;
        }
        QCoreApplication::processEvents();
    }
    return asked.get();
}

TEST(SingleInstance, SecondStartAsksTheFirstToShow) {
    test_support::qtApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SingleInstance first(QStringLiteral("instance-test"), dir.path());
    ASSERT_EQ(first.claim(), SingleInstance::Claim::First);
    QSignalSpy shown(&first, &SingleInstance::showRequested);

    SingleInstance second(QStringLiteral("instance-test"), dir.path());
    EXPECT_EQ(second.claim(), SingleInstance::Claim::AnotherCopy);
    EXPECT_TRUE(askWhileServing(second, 15000));
    EXPECT_EQ(shown.count(), 1);  // before the answer that let the later start succeed
}

// A socket that takes the line and closes without answering is no hand-over.
TEST(SingleInstance, AskingFailsWhenTheListenerDoesNotAnswer) {
    test_support::qtApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QLocalServer mute;
    ASSERT_TRUE(mute.listen(QDir(dir.path()).filePath(QStringLiteral("mute-test.sock"))));
    int taken = 0;
    QObject::connect(&mute, &QLocalServer::newConnection, [&] {
        while (QLocalSocket* socket = mute.nextPendingConnection()) {
            socket->waitForReadyRead(1000);
            if (socket->readAll() == "show\n") ++taken;
            socket->abort();
            socket->deleteLater();
        }
    });
    SingleInstance later(QStringLiteral("mute-test"), dir.path());
    EXPECT_FALSE(askWhileServing(later, 15000));
    EXPECT_EQ(taken, 1);
}

TEST(SingleInstance, NobodyToAskWhenTheFirstIsGone) {
    test_support::qtApp();
    QTemporaryDir dir;
    {
        SingleInstance first(QStringLiteral("gone-test"), dir.path());
        ASSERT_EQ(first.claim(), SingleInstance::Claim::First);
    }
    SingleInstance next(QStringLiteral("gone-test"), dir.path());
    EXPECT_EQ(next.claim(), SingleInstance::Claim::First);  // the lock went with the first copy
    SingleInstance other(QStringLiteral("other-test"), dir.path());
    EXPECT_FALSE(other.askFirstToShow(300));
}

}  // namespace
}  // namespace tavrik::app
