#include "main/instance_server.h"

#include <unistd.h>

#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include "host/peer_credentials.h"
#include "host/qt/log_categories.h"

namespace tavrik::app {
namespace {

const QByteArray kShowRequest = "show";
// Tells the later start that the window was asked to show, so that it may end with success.
const QByteArray kShownAnswer = "shown\n";
// What Qt reads ahead from one connection; the rest waits in the kernel's socket buffer.
constexpr qint64 kReadAheadBytes = 64 * 1024;
constexpr int kListenCheckMs = 1000;

using control::Failure;
using control::failureReply;

}  // namespace

struct InstanceServer::Connection {
    enum class State { Reading, Waiting, Answered };
    State state = State::Reading;
    quint64 serial = 0;
    qint64 pid = 0;
    QByteArray buffer;
    QTimer timer;  // the request's, then the answer's time limit
};

InstanceServer::InstanceServer(ServerLimits limits, QObject* parent)
    : QObject(parent), m_limits(limits) {}

InstanceServer::~InstanceServer() {
    if (m_server) m_server->close();
    for (auto& [socket, c] : m_connections) {
        socket->disconnect(this);
        socket->abort();
    }
}

bool InstanceServer::listen(const QString& path, QString* error) {
    m_path = path;
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(path);  // a socket file left by a crashed copy
    if (!m_server->listen(path)) {
        if (error)
            *error = QStringLiteral("cannot listen on %1: %2").arg(path, m_server->errorString());
        return false;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &InstanceServer::onNewConnection);
    // QLocalServer stops listening for good when accepting fails (no descriptor left): listen
    // again once that has passed.
    auto* check = new QTimer(this);
    connect(check, &QTimer::timeout, this, &InstanceServer::keepListening);
    check->start(kListenCheckMs);
    return true;
}

void InstanceServer::keepListening() {
    if (!m_server || m_server->isListening()) return;
    QLocalServer::removeServer(m_path);
    if (m_server->listen(m_path)) {
        qCWarning(lcCtl) << "instance socket: listening again on" << m_path;
    }
}

void InstanceServer::onNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) accept(socket);
    keepListening();
}

void InstanceServer::accept(QLocalSocket* socket) {
    const auto peer = peerCredentials(int(socket->socketDescriptor()));
    if (!peer || peer->uid != ::geteuid()) {
        qCWarning(lcCtl) << "instance socket: a connection of another user refused";
        socket->abort();
        socket->deleteLater();
        return;
    }
    if (int(m_connections.size()) >= m_limits.maxConnections && !makeRoom()) {
        socket->write(control::toLine(failureReply(
            Failure::Busy, QStringLiteral("the tool has too many connections; try again"))));
        socket->disconnectFromServer();
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(m_limits.answerTimeout, socket, &QLocalSocket::abort);
        return;
    }
    auto c = std::make_unique<Connection>();
    c->serial = ++m_serial;
    qCDebug(lcCtl) << "instance socket: connection" << c->serial << "of process" << peer->pid;
    c->pid = peer->pid;
    c->timer.setSingleShot(true);
    // Queued: the connection (and this timer) goes in drop().
    connect(
        &c->timer, &QTimer::timeout, this,
        [this, peer = QPointer<QLocalSocket>(socket)] {
            if (peer) drop(peer);
        },
        Qt::QueuedConnection);
    c->timer.start(m_limits.requestTimeout);
    socket->setReadBufferSize(kReadAheadBytes);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadable(socket); });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] { drop(socket); });
    m_connections.emplace(socket, std::move(c));
    if (socket->bytesAvailable() > 0) onReadable(socket);
}

bool InstanceServer::makeRoom() {
    QLocalSocket* oldest = nullptr;
    quint64 serial = 0;
    for (const auto& [socket, c] : m_connections) {
        if (c->state == Connection::State::Reading && (!oldest || c->serial < serial)) {
            oldest = socket;
            serial = c->serial;
        }
    }
    if (!oldest) return false;
    drop(oldest);
    return true;
}

void InstanceServer::releaseBuffer(Connection& c) {
    m_buffered -= c.buffer.size();
    c.buffer = QByteArray();
}

void InstanceServer::drop(QLocalSocket* socket) {
    const auto it = m_connections.find(socket);
    if (it == m_connections.end()) return;
    releaseBuffer(*it->second);
    m_connections.erase(it);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void InstanceServer::onReadable(QLocalSocket* socket) {
    const auto it = m_connections.find(socket);
    if (it == m_connections.end()) return;
    Connection& c = *it->second;
    if (c.state != Connection::State::Reading) {
        socket->readAll();  // one request a connection: later bytes are not read
        return;
    }
    while (socket->bytesAvailable() > 0) {
        const qint64 room = qMin<qint64>(m_limits.maxLineBytes + 1 - c.buffer.size(),
                                         m_limits.maxBufferedBytes - m_buffered);
        if (room <= 0) break;
        const QByteArray chunk = socket->read(qMin(room, socket->bytesAvailable()));
        if (chunk.isEmpty()) break;
        const qsizetype end = chunk.indexOf('\n');
        if (end >= 0) {
            const QByteArray line = c.buffer + chunk.left(end);
            releaseBuffer(c);
            onLine(socket, c, line);
            return;
        }
        c.buffer += chunk;
        m_buffered += chunk.size();
    }
    if (c.buffer.size() > m_limits.maxLineBytes) {
        releaseBuffer(c);
        answer(
            socket,
            failureReply(
                Failure::Usage,
                QStringLiteral("the request is longer than %1 bytes").arg(m_limits.maxLineBytes)));
    } else if (m_buffered >= m_limits.maxBufferedBytes) {
        releaseBuffer(c);
        answer(socket, failureReply(Failure::Busy, QStringLiteral("the tool is receiving too "
                                                                  "much at once; try again")));
    }
}

int InstanceServer::requestsInFlight(qint64 pid) const {
    int n = 0;
    for (const auto& [socket, c] : m_connections) {
        if (c->state != Connection::State::Reading && (pid == 0 || c->pid == pid)) ++n;
    }
    return n;
}

void InstanceServer::onLine(QLocalSocket* socket, Connection& c, const QByteArray& rawLine) {
    const QByteArray line = rawLine.trimmed();
    if (line == kShowRequest) {
        qCDebug(lcCtl) << "instance socket: process" << c.pid << "asks for the window";
        emit showRequested();
        c.state = Connection::State::Answered;
        socket->write(kShownAnswer);
        socket->disconnectFromServer();  // once the answer is written
        c.timer.start(m_limits.answerTimeout);
        return;
    }
    const std::optional<QJsonObject> request = control::fromLine(line);
    if (!request) {
        return answer(socket, failureReply(Failure::Usage,
                                           QStringLiteral("the request is not a JSON object")));
    }
    if (!m_handler) {
        return answer(
            socket, failureReply(Failure::Busy, QStringLiteral("the tool is starting; try again")));
    }
    if (requestsInFlight(c.pid) >= m_limits.maxRequestsPerClient ||
        requestsInFlight(0) >= m_limits.maxRequests) {
        return answer(
            socket, failureReply(Failure::Busy, QStringLiteral("the tool has too many requests "
                                                               "waiting; wait for their answers")));
    }
    c.state = Connection::State::Waiting;
    c.timer.stop();  // a job may wait behind others; the client's leaving drops it
    QPointer<QLocalSocket> peer(socket);
    m_handler(
        *request,
        [this, peer](const QJsonObject& reply) {
            if (peer) answer(peer, reply);
        },
        [this, peer] {
            if (!peer) return false;
            const auto it = m_connections.find(peer.data());
            return it != m_connections.end() && it->second->state == Connection::State::Waiting &&
                   peer->state() == QLocalSocket::ConnectedState;
        });
}

void InstanceServer::answer(QLocalSocket* socket, const QJsonObject& reply) {
    const auto it = m_connections.find(socket);
    if (it == m_connections.end() || it->second->state == Connection::State::Answered) return;
    Connection& c = *it->second;
    c.state = Connection::State::Answered;
    socket->write(control::toLine(reply));
    socket->disconnectFromServer();  // once the answer is written
    c.timer.start(m_limits.answerTimeout);
}

}  // namespace tavrik::app
