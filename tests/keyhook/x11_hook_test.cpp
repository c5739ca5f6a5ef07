// The desktop-wide hook against a private Xvfb server, typed into with xdotool.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QProcess>
#include <QStandardPaths>
#include <csignal>
#include <thread>

#include "hook_test_support.h"
#include "keyhook/keyhook.h"

extern char** environ;

namespace tavrik::app {
namespace {
using namespace test_support;
using namespace std::chrono_literals;

// Starts Xvfb on a free display (it picks one and writes its number to a pipe).
class Xvfb {
public:
    bool start(const QString& program) {
        int fds[2];
        if (::pipe(fds) != 0) return false;
        ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);  // only the write end is inherited
        const std::string path = program.toStdString();
        std::vector<std::string> args = {path,        "-displayfd", std::to_string(fds[1]),
                                         "-screen",   "0",          "640x480x24",
                                         "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        const int rc = posix_spawn(&m_pid, path.c_str(), nullptr, nullptr, argv.data(), environ);
        ::close(fds[1]);
        if (rc != 0) {
            ::close(fds[0]);
            m_pid = -1;
            return false;
        }
        std::string number;
        char c;
        while (::read(fds[0], &c, 1) == 1 && c != '\n') number.push_back(c);
        ::close(fds[0]);
        if (number.empty()) return false;
        m_display = ":" + number;
        return true;
    }
    ~Xvfb() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
    const std::string& display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

class X11Hook : public ::testing::Test {
protected:
    void SetUp() override {
        const QString xvfb = QStandardPaths::findExecutable("Xvfb");
        m_xdotool = QStandardPaths::findExecutable("xdotool");
        if (xvfb.isEmpty() || m_xdotool.isEmpty())
            GTEST_SKIP() << "Xvfb or xdotool is not installed: the X11 hook is not tested";
        if (!m_server.start(xvfb)) GTEST_SKIP() << "Xvfb could not be started";
        qputenv("DISPLAY", QByteArray::fromStdString(m_server.display()));
    }
    void TearDown() override {
        removehook();
        qunsetenv("DISPLAY");
    }
    void type(const QStringList& keys) {
        QProcess xdotool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", QString::fromStdString(m_server.display()));
        xdotool.setProcessEnvironment(env);
        // A heavily loaded machine can refuse the first connection; xdotool then sends nothing,
        // so trying again cannot duplicate keys.
        for (int attempt = 0; attempt < 3; ++attempt) {
            xdotool.start(m_xdotool, QStringList{"key", "--delay", "20"} + keys);
            ASSERT_TRUE(xdotool.waitForFinished(10000));
            if (xdotool.exitCode() == 0) break;
            std::this_thread::sleep_for(300ms);
        }
        ASSERT_EQ(xdotool.exitCode(), 0) << xdotool.readAllStandardError().toStdString();
    }

    Xvfb m_server;
    QString m_xdotool;
    ReportSink m_sink;
};

TEST_F(X11Hook, ReportsPressesAndReleasesInOrderUntilRemoved) {
    ASSERT_TRUE(installhook(&m_sink, 1));
    type({"a", "shift+1", "F5"});
    // xdotool releases the keys of a chord in the order it pressed them.
    const std::vector<Report> expected = {{65, false}, {65, true}, {160, false}, {49, false},
                                          {160, true}, {49, true}, {116, false}, {116, true}};
    EXPECT_TRUE(m_sink.waitFor(expected.size(), 5s));
    EXPECT_EQ(m_sink.reports, expected);

    removehook();
    m_sink.reports.clear();
    type({"b"});
    m_sink.waitFor(1, 300ms);
    EXPECT_TRUE(m_sink.reports.empty());
}

TEST_F(X11Hook, ModeZeroReportsPressesOnly) {
    ASSERT_TRUE(installhook(&m_sink, 0));
    type({"KP_Enter", "Super_L", "bracketleft"});
    const std::vector<Report> expected = {{108, false}, {91, false}, {219, false}};
    m_sink.waitFor(expected.size() + 1, 1500ms);
    EXPECT_EQ(m_sink.reports, expected);
}

}  // namespace
}  // namespace tavrik::app
