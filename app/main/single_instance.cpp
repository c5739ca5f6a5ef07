#include "main/single_instance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>

#include "common/log_categories.h"
#include "devicehost/control_protocol.h"

namespace tavrik::app {
namespace {

const QByteArray kShowRequest = "show\n";

}  // namespace

SingleInstance::SingleInstance(const QString& name, const QString& folder, QObject* parent)
    : QObject(parent),
      m_socketPath(QDir(folder).filePath(name + QStringLiteral(".sock"))),
      m_lock(QDir(folder).filePath(name + QStringLiteral(".lock"))) {
    // A lock left by a crashed copy is taken over (its process is gone); a live holder is never
    // treated as stale however long it runs.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (m_server) m_server->close();
}

bool SingleInstance::claim() {
    if (!m_lock.tryLock(0)) return false;
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(m_socketPath);  // a socket file left by a crashed copy
    if (!m_server->listen(m_socketPath)) {
        qCWarning(lcCtl) << "single instance: cannot listen on" << m_socketPath
                         << m_server->errorString();
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::onConnection);
    return true;
}

void SingleInstance::onConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
    }
}

void SingleInstance::readRequest(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > control::kMaxLineBytes) socket->abort();
        return;
    }
    // One request a connection: later lines are not read.
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    const QByteArray line = socket->readLine().trimmed();
    if (line == kShowRequest.trimmed()) {
        emit showRequested();
        socket->disconnectFromServer();
        return;
    }
    QPointer<QLocalSocket> peer(socket);
    const Answer answer = [peer](const QJsonObject& reply) {
        if (!peer) return;  // tavrikctl gave up waiting
        peer->write(control::toLine(reply));
        peer->disconnectFromServer();  // after the answer is written
    };
    const std::optional<QJsonObject> request = control::fromLine(line);
    if (!request) {
        answer(control::failureReply(control::Failure::Usage,
                                     QStringLiteral("the request is not a JSON object")));
    } else if (!m_handler) {
        answer(control::failureReply(control::Failure::Busy,
                                     QStringLiteral("the tool is starting; try again")));
    } else {
        m_handler(*request, answer);
    }
}

bool SingleInstance::askFirstToShow(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(200)) {
            socket.write(kShowRequest);
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(100);
    }
    return false;
}

}  // namespace tavrik::app
