#include "main/single_instance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QThread>

namespace tavrik::app {
namespace {

const QByteArray kShowLine = "show\n";
const QByteArray kShownLine = "shown";
constexpr int kProbeMs = 200;
// The first copy answers from its event loop, which may still be busy starting up.
constexpr int kAnswerMs = 10000;

// Sends "show" and waits for the first copy's answer: a listener that takes the line but
// never acts on it is no hand-over.
bool handOver(QLocalSocket& socket) {
    socket.write(kShowLine);
    if (!socket.waitForBytesWritten(1000)) return false;
    QDeadlineTimer deadline(kAnswerMs);
    QByteArray reply;
    while (!reply.contains('\n') && socket.state() == QLocalSocket::ConnectedState &&
           socket.waitForReadyRead(int(deadline.remainingTime()))) {
        reply += socket.readAll();
    }
    reply += socket.readAll();  // what arrived along with the first copy's closing
    socket.abort();
    const qsizetype end = reply.indexOf('\n');
    return end >= 0 && reply.left(end).trimmed() == kShownLine;
}

}  // namespace

SingleInstance::SingleInstance(const QString& name, const QString& folder, ServerLimits limits,
                               QObject* parent)
    : QObject(parent),
      m_socketPath(QDir(folder).filePath(name + QStringLiteral(".sock"))),
      m_lock(QDir(folder).filePath(name + QStringLiteral(".lock"))),
      m_server(std::make_unique<InstanceServer>(limits)) {
    connect(m_server.get(), &InstanceServer::showRequested, this, &SingleInstance::showRequested);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::firstAnswers() const {
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    return socket.waitForConnected(kProbeMs);
}

SingleInstance::Claim SingleInstance::claim(std::chrono::milliseconds wait) {
    switch (m_lock.claimOrWait(wait, [this] { return firstAnswers(); })) {
        case InstanceLock::Outcome::Claimed:
            break;
        case InstanceLock::Outcome::HolderAnswers:
            return Claim::AnotherCopy;
        case InstanceLock::Outcome::Refused:
            m_refusal = m_lock.refusal();
            return Claim::Refused;
        case InstanceLock::Outcome::Taken:
        case InstanceLock::Outcome::TimedOut:
            m_refusal = QStringLiteral(
                            "the keyboard is in use by %1, which does not answer; "
                            "end it and start the tool again")
                            .arg(m_lock.holderText());
            return Claim::Refused;
    }
    if (!m_server->listen(m_socketPath, &m_refusal)) {
        m_lock.release();
        return Claim::Refused;
    }
    return Claim::First;
}

bool SingleInstance::askFirstToShow(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(kProbeMs)) return handOver(socket);
        QThread::msleep(100);
    }
    return false;
}

}  // namespace tavrik::app
