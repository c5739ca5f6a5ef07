#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "main/single_instance.h"
#include "qt_app_fixture.h"

namespace tavrik::app {
namespace {

TEST(SingleInstance, SecondStartAsksTheFirstToShow) {
    test_support::qtApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SingleInstance first(QStringLiteral("instance-test"), dir.path());
    ASSERT_EQ(first.claim(), SingleInstance::Claim::First);
    QSignalSpy shown(&first, &SingleInstance::showRequested);

    SingleInstance second(QStringLiteral("instance-test"), dir.path());
    EXPECT_EQ(second.claim(), SingleInstance::Claim::AnotherCopy);
    EXPECT_TRUE(second.askFirstToShow());
    EXPECT_TRUE(shown.wait(2000));
    EXPECT_EQ(shown.count(), 1);
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
