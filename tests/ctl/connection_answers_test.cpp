// What tavrikctl is told about the keyboard follows the session's current connection state:
// after the keyboard comes or goes, and when a job fails because the keyboard is gone or
// refused, the answer (and so the exit code) says so.

#include <gtest/gtest.h>
#include <QJsonArray>
#include <QTemporaryDir>

#include "host/control_protocol.h"
#include "host_fixture.h"

namespace tavrik::ctl {
namespace connection_answers {

using test_support::Host;
using test_support::request;
using test_support::setRequest;

QString errorOf(const QJsonObject& reply) {
    return reply.value(QStringLiteral("error")).toString();
}

int exitOf(const QJsonObject& reply) {
    if (reply.value(QStringLiteral("ok")).toBool()) return 0;
    const auto failure = app::control::failureFromName(errorOf(reply));
    return failure ? app::control::exitCode(*failure) : -1;
}

// The "keyboard:" word tavrikctl status prints for a status answer.
QString keyboardWord(const QJsonObject& status) {
    if (status.value(QStringLiteral("connected")).toBool()) return QStringLiteral("connected");
    return status.value(QStringLiteral("permission")).toBool() ? QStringLiteral("not found")
                                                               : QStringLiteral("no permission");
}

void settle(Host& host) {
    host.link->session().waitIdle();
    host.link->session().flushNotices();
}

struct ConnectionAnswers : ::testing::Test {
    QTemporaryDir dir;
};

TEST_F(ConnectionAnswers, StatusFollowsTheKeyboardComingAndGoing) {
    Host host(dir.path());
    host.firmware().unplug();
    settle(host);
    EXPECT_EQ(keyboardWord(host.run(request("status"))), QLatin1StringView("not found"));

    host.firmware().plug();
    settle(host);
    const QJsonObject plugged = host.run(request("status"));
    EXPECT_EQ(keyboardWord(plugged), QLatin1StringView("connected"));
    EXPECT_TRUE(plugged.contains(QStringLiteral("firmware")));

    // A keyboard this user may not open comes: refused, as the window's status line says.
    host.firmware().unplug();
    settle(host);
    host.firmware().setAccessDenied(true);
    host.firmware().plug();
    settle(host);
    EXPECT_EQ(host.link->state(), device::ConnectionState::NoPermission);
    EXPECT_EQ(keyboardWord(host.run(request("status"))), QLatin1StringView("no permission"));
    EXPECT_EQ(exitOf(host.run(setRequest({"game-mode", "on"}))), 4);

    // The refused keyboard leaves: nothing is refused any more.
    host.firmware().unplug();
    settle(host);
    EXPECT_EQ(host.link->state(), device::ConnectionState::Absent);
    EXPECT_EQ(keyboardWord(host.run(request("status"))), QLatin1StringView("not found"));
    EXPECT_EQ(exitOf(host.run(setRequest({"game-mode", "on"}))), 3);
}

TEST_F(ConnectionAnswers, AStartWithoutPermissionIsForgottenOnceTheKeyboardLeaves) {
    auto firmware = std::make_shared<sim::Firmware>();
    firmware->setAccessDenied(true);
    Host host(dir.path(), firmware);
    EXPECT_EQ(keyboardWord(host.run(request("status"))), QLatin1StringView("no permission"));
    EXPECT_EQ(exitOf(host.run(request("read"))), 4);

    firmware->unplug();
    settle(host);
    EXPECT_EQ(keyboardWord(host.run(request("status"))), QLatin1StringView("not found"));
    EXPECT_EQ(exitOf(host.run(request("read"))), 3);

    firmware->setAccessDenied(false);
    firmware->plug();
    settle(host);
    EXPECT_EQ(keyboardWord(host.run(request("status"))), QLatin1StringView("connected"));
    EXPECT_EQ(exitOf(host.run(setRequest({"game-mode", "on"}))), 0);
}

TEST_F(ConnectionAnswers, AJobTheKeyboardLeftDuringEndsAsNoKeyboard) {
    // The request is checked while the keyboard still looks connected; the removal runs before
    // its Save, which then finds no keyboard.
    Host host(dir.path());
    host.firmware().unplug();
    const QJsonObject reply = host.run(setRequest({"effect", "wave"}));
    EXPECT_EQ(errorOf(reply), QLatin1StringView("no-keyboard"));
    EXPECT_EQ(exitOf(reply), 3);
    EXPECT_FALSE(reply.value(QStringLiteral("message")).toString().isEmpty());
}

TEST_F(ConnectionAnswers, JobFailuresMapToTheDocumentedExitCodes) {
    using app::control::failureReply;
    const struct {
        ErrorKind kind;
        int exit;
    } rows[] = {
        {ErrorKind::Device, 1},    {ErrorKind::NoAcknowledgement, 1},
        {ErrorKind::Value, 2},     {ErrorKind::NotConnected, 3},
        {ErrorKind::Unplugged, 3}, {ErrorKind::NoPermission, 4},
        {ErrorKind::System, 5},
    };
    for (const auto& row : rows) {
        const QJsonObject reply = failureReply(Error{row.kind, "context"});
        EXPECT_EQ(exitOf(reply), row.exit) << errorKindName(row.kind);
    }
    // A refused keyboard's answer says what fixes it.
    EXPECT_TRUE(failureReply(Error{ErrorKind::NoPermission, "x"})
                    .value(QStringLiteral("message"))
                    .toString()
                    .contains(QStringLiteral("udevadm")));
}

}  // namespace connection_answers
}  // namespace tavrik::ctl
