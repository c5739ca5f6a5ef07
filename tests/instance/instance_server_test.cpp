// The instance socket's server under clients that misbehave: floods without a newline, silent
// connections, clients that leave or never read, too many requests and too many connections.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cstring>
#include <functional>
#include <vector>

#include "background_process.h"
#include "host/control_protocol.h"
#include "main/instance_server.h"

namespace tavrik::app {
namespace {

using namespace std::chrono_literals;

QCoreApplication& qtApp() {
    static int argc = 1;
    static char name[] = "instance_tests";
    static char* argv[] = {name, nullptr};
    static auto* app = new QCoreApplication(argc, argv);
    return *app;
}

// Processes events until `done` holds or `ms` have passed.
bool pumpUntil(const std::function<bool()>& done, int ms = 5000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

int connectTo(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, O_NONBLOCK);
    return fd;
}

// A client end: what it has received, and whether the server closed it.
struct Client {
    int fd = -1;
    QByteArray received;
    bool closed = false;
    ~Client() {
        if (fd >= 0) ::close(fd);
    }
    void poll() {
        char buffer[4096];
        while (!closed) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n > 0) {
                received.append(buffer, n);
            } else {
                if (n == 0 || (errno != EAGAIN && errno != EINTR)) closed = true;
                break;
            }
        }
    }
    // Sends what the socket takes now; false once the server no longer reads it.
    bool sendSome(QByteArray& pending) {
        if (broken) return false;
        const ssize_t n = ::send(fd, pending.constData(), std::size_t(pending.size()),
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) pending.remove(0, n);
        if (n < 0 && errno != EAGAIN) broken = true;
        return !broken;
    }
    bool broken = false;
};

QByteArray request(const char* command) {
    return control::toLine(QJsonObject{{QStringLiteral("command"), QString::fromLatin1(command)}});
}

struct InstanceServerTest : ::testing::Test {
    void SetUp() override {
        qtApp();
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("s.sock"));
    }
    // Starts the server; the handler answers at once unless told to hold requests.
    void start(ServerLimits limits) {
        server = std::make_unique<InstanceServer>(limits);
        QString error;
        ASSERT_TRUE(server->listen(path, &error)) << error.toStdString();
        server->setRequestHandler([this](const QJsonObject&, InstanceServer::Answer answer,
                                         InstanceServer::Wanted wanted) {
            if (!hold) return answer(control::okReply());
            held.push_back({std::move(answer), std::move(wanted)});
        });
    }
    std::unique_ptr<Client> client() {
        auto c = std::make_unique<Client>();
        c->fd = connectTo(path.toStdString());
        return c;
    }
    // A whole exchange: one request, its answer.
    QByteArray ask(const QByteArray& line) {
        auto c = client();
        QByteArray pending = line;
        pumpUntil([&] {
            if (!pending.isEmpty()) c->sendSome(pending);
            c->poll();
            return c->closed;
        });
        return c->received;
    }

    struct Held {
        InstanceServer::Answer answer;
        InstanceServer::Wanted wanted;
    };
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<InstanceServer> server;
    bool hold = false;
    std::vector<Held> held;
};

TEST_F(InstanceServerTest, InputWithoutNewlineIsCappedAcrossConnections) {
    ServerLimits limits;
    limits.maxLineBytes = 2 * 1024 * 1024;
    limits.maxBufferedBytes = 4 * 1024 * 1024;
    start(limits);
    // Ten clients, 1.5 MiB each without a newline: 15 MiB offered, at most 4 MiB kept.
    std::vector<std::unique_ptr<Client>> flood;
    std::vector<QByteArray> pending;
    for (int i = 0; i < 10; ++i) {
        flood.push_back(client());
        pending.emplace_back(1536 * 1024, 'x');
    }
    qsizetype most = 0;
    pumpUntil([&] {
        bool busy = false;
        for (std::size_t i = 0; i < flood.size(); ++i) {
            if (!pending[i].isEmpty() && flood[i]->sendSome(pending[i])) busy = true;
            flood[i]->poll();
        }
        most = std::max(most, server->bufferedBytes());
        return !busy;
    });
    EXPECT_LE(most, limits.maxBufferedBytes);
    int refused = 0;
    for (const auto& c : flood) {
        if (c->received.contains("\"busy\"")) ++refused;
    }
    EXPECT_GE(refused, 7);  // at most 4 MiB / 1.5 MiB of them are still being read
    EXPECT_TRUE(ask(request("status")).contains("\"ok\":true"));
    flood.clear();
    ASSERT_TRUE(pumpUntil([&] { return server->connectionCount() == 0; }));
    EXPECT_EQ(server->bufferedBytes(), 0);

    // One line above the cap of a line is refused as such.
    const QByteArray answer = ask(QByteArray(limits.maxLineBytes + 10, 'y') + '\n');
    EXPECT_TRUE(answer.contains("longer than")) << answer.left(200).constData();
}

TEST_F(InstanceServerTest, SilentAndIdleConnectionsAreClosedAfterTheirTime) {
    ServerLimits limits;
    limits.requestTimeout = 200ms;
    start(limits);
    auto silent = client();
    auto partial = client();
    QByteArray half = "{\"command\":";
    partial->sendSome(half);
    ASSERT_TRUE(pumpUntil([&] { return server->connectionCount() == 2; }));
    EXPECT_TRUE(pumpUntil([&] {
        silent->poll();
        partial->poll();
        return silent->closed && partial->closed && server->connectionCount() == 0;
    }));
    EXPECT_TRUE(ask(request("status")).contains("\"ok\":true"));
}

TEST_F(InstanceServerTest, ARequestOfAClientThatLeftIsNoLongerWanted) {
    start({});
    hold = true;
    auto leaving = client();
    auto staying = client();
    QByteArray a = request("read"), b = request("read");
    leaving->sendSome(a);
    staying->sendSome(b);
    ASSERT_TRUE(pumpUntil([&] { return held.size() == 2; }));
    EXPECT_TRUE(held[0].wanted());
    EXPECT_TRUE(held[1].wanted());
    ::close(leaving->fd);
    leaving->fd = -1;
    EXPECT_TRUE(pumpUntil([&] { return !held[0].wanted() || !held[1].wanted(); }));
    EXPECT_TRUE(held[1].wanted());
    held[0].answer(control::okReply());  // the answer of a gone client goes nowhere
    held[1].answer(control::okReply());
    EXPECT_TRUE(pumpUntil([&] {
        staying->poll();
        return staying->closed;
    }));
    EXPECT_TRUE(staying->received.contains("\"ok\":true"));
}

TEST_F(InstanceServerTest, EachProcessHasABoundedNumberOfRequestsInFlight) {
    ServerLimits limits;
    limits.maxRequestsPerClient = 2;
    start(limits);
    hold = true;
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < 3; ++i) {
        clients.push_back(client());
        QByteArray line = request("read");
        clients.back()->sendSome(line);
        pumpUntil([&] {
            clients.back()->poll();
            return held.size() == std::size_t(i + 1) || clients.back()->closed;
        });
    }
    EXPECT_EQ(held.size(), 2u);
    EXPECT_TRUE(clients[2]->closed);
    EXPECT_TRUE(clients[2]->received.contains("too many requests"));
    // An answered request frees its place.
    held[0].answer(control::okReply());
    ASSERT_TRUE(pumpUntil([&] {
        clients[0]->poll();
        return clients[0]->closed;
    }));
    hold = false;
    EXPECT_TRUE(ask(request("status")).contains("\"ok\":true"));
}

TEST_F(InstanceServerTest, AnAnswerThatIsNeverTakenIsDroppedAfterItsTime) {
    ServerLimits limits;
    limits.answerTimeout = 300ms;
    start(limits);
    server->setRequestHandler(
        [](const QJsonObject&, InstanceServer::Answer answer, InstanceServer::Wanted) {
            QJsonObject big = control::okReply();
            big.insert(QStringLiteral("padding"), QString(4 * 1024 * 1024, u'p'));
            answer(big);
        });
    auto reader = client();  // never reads
    QByteArray line = request("read");
    reader->sendSome(line);
    ASSERT_TRUE(pumpUntil([&] { return server->connectionCount() == 1; }));
    EXPECT_TRUE(pumpUntil([&] { return server->connectionCount() == 0; }));
}

// As many idle connections as the flood (more than a process's usual 1024 descriptors)
// from another process, with this process's descriptors limited: the server keeps listening,
// keeps the number of connections bounded and still answers.
TEST_F(InstanceServerTest, ThousandsOfIdleConnectionsLeaveTheServerListening) {
    ServerLimits limits;
    start(limits);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    int open = 0;
    for (int fd = 0; fd < 4096; ++fd) open += ::fcntl(fd, F_GETFD) != -1;
    rlimit tight = saved;
    tight.rlim_cur = rlim_t(open + limits.maxConnections + 100);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);

    constexpr int kFlood = 1100;
    const std::string socketPath = path.toStdString();
    test::BackgroundProcess flood(
        [&](int ready, int stop) {
            rlimit wide{};
            ::getrlimit(RLIMIT_NOFILE, &wide);
            wide.rlim_cur = std::min<rlim_t>(wide.rlim_max, kFlood + 100);
            ::setrlimit(RLIMIT_NOFILE, &wide);
            std::vector<int> fds;
            for (int tries = 0; int(fds.size()) < kFlood && tries < 200000; ++tries) {
                const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
                sockaddr_un address{};
                address.sun_family = AF_UNIX;
                std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
                if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
                    fds.push_back(fd);
                } else {
                    ::close(fd);
                    ::usleep(200);  // the backlog is full until the server accepts
                }
            }
            char c = 1;
            if (::write(ready, &c, 1) != 1) return 2;
            pollfd p{stop, POLLIN, 0};
            ::poll(&p, 1, -1);
            return int(fds.size()) == kFlood ? 0 : 1;
        },
        false);
    int most = 0;
    bool ready = false;
    pumpUntil(
        [&] {
            most = std::max(most, server->connectionCount());
            ready = ready || flood.waitReady(0);
            return ready;
        },
        30000);
    EXPECT_TRUE(ready);
    EXPECT_TRUE(server->isListening());
    EXPECT_LE(most, limits.maxConnections);
    EXPECT_TRUE(ask(request("status")).contains("\"ok\":true"));
    EXPECT_EQ(flood.stop(), 0);
    ::setrlimit(RLIMIT_NOFILE, &saved);
}

}  // namespace
}  // namespace tavrik::app
