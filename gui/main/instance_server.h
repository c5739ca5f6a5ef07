#pragma once
// The server side of the instance socket: a later start's "show" and tavrikctl's requests (one
// JSON object a line, one request a connection, answered with one line). Only this user's
// processes are served, and no client can take more than its share: buffered input has a cap
// per connection and across all of them, a connection must deliver its request and take its
// answer within a time, each process has a bounded number of requests in flight, the number of
// connections is bounded (the oldest one still sending its request makes room for a new one),
// and a request whose client has gone is dropped before it runs.

#include <QJsonObject>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <map>
#include <memory>

#include "host/control_protocol.h"

class QLocalSocket;

namespace tavrik::app {

struct ServerLimits {
    qsizetype maxLineBytes = control::kMaxLineBytes;  // one request line
    qsizetype maxBufferedBytes = 24 * 1024 * 1024;    // unfinished lines of all connections
    int maxConnections = 64;
    int maxRequestsPerClient = 4;  // requests of one process waiting for their answers
    int maxRequests = 32;          // of all processes
    std::chrono::milliseconds requestTimeout{10000};  // from connecting to a whole line
    std::chrono::milliseconds answerTimeout{10000};   // for the client to take its answer
};

class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(ServerLimits limits = {}, QObject* parent = nullptr);
    ~InstanceServer() override;

    // Listens on `path` (user-only), replacing a socket file left by a crashed copy.
    bool listen(const QString& path, QString* error);
    bool isListening() const { return m_server && m_server->isListening(); }

    using Answer = std::function<void(const QJsonObject&)>;
    // False once the client has gone: its request is then dropped, not run.
    using Wanted = std::function<bool()>;
    // Runs a control request; `answer` is called at most once, on this object's thread. Until
    // a handler is set, requests are answered that the tool is still starting.
    using RequestHandler = std::function<void(const QJsonObject&, Answer, Wanted)>;
    void setRequestHandler(RequestHandler handler) { m_handler = std::move(handler); }

    int connectionCount() const { return int(m_connections.size()); }
    qsizetype bufferedBytes() const { return m_buffered; }

signals:
    void showRequested();

private:
    struct Connection;
    void onNewConnection();
    void accept(QLocalSocket* socket);
    void onReadable(QLocalSocket* socket);
    void onLine(QLocalSocket* socket, Connection& c, const QByteArray& line);
    void answer(QLocalSocket* socket, const QJsonObject& reply);
    void drop(QLocalSocket* socket);
    void releaseBuffer(Connection& c);
    bool makeRoom();
    int requestsInFlight(qint64 pid) const;
    void keepListening();

    ServerLimits m_limits;
    QString m_path;
    std::unique_ptr<QLocalServer> m_server;
    std::map<QLocalSocket*, std::unique_ptr<Connection>> m_connections;
    qsizetype m_buffered = 0;
    quint64 m_serial = 0;
    RequestHandler m_handler;
};

}  // namespace tavrik::app
