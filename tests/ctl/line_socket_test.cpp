// tavrikctl's client end of the instance socket: it sends nothing to a listener of another user.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "background_process.h"
#include "cli/line_socket.h"

namespace tavrik::ctl {
namespace {

TEST(LineSocket, AListenerOfAnotherUserGetsNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ::chmod(QFile::encodeName(dir.path()).constData(), 0777);  // nobody may listen here
    const QString path = dir.filePath(QStringLiteral("planted.sock"));
    test::BackgroundProcess other(test::countingListener(path.toStdString()));
    ASSERT_TRUE(other.waitReady());

    LineSocket socket;
    EXPECT_EQ(socket.connectTo(path, 1000), LineSocket::Connect::OtherUser);
    EXPECT_FALSE(socket.send("{\"command\":\"status\"}\n", 1000));
    // One connection, closed before a byte was sent.
    EXPECT_EQ(other.stop(), 1);

    LineSocket none;
    EXPECT_EQ(none.connectTo(dir.filePath(QStringLiteral("missing.sock")), 200),
              LineSocket::Connect::Absent);
}

}  // namespace
}  // namespace tavrik::ctl
