#pragma once
// One running copy per user: a lock file in the runtime folder decides who is first; the first
// copy listens on a local socket (user-only) through which a later start asks it to show its
// window (the line "show") and tavrikctl sends its requests (one JSON object a line, one
// request a connection, answered with one line).

#include <QJsonObject>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace tavrik::app {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // name: a fixed identifier, the same for every run of the tool; folder: where the lock file
    // and the socket live (the user's runtime folder).
    SingleInstance(const QString& name, const QString& folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the first: it then holds the lock until it ends and listens
    // for later starts.
    bool claim();

    // A later start: asks the first copy to show its window. Retries briefly while the first
    // copy is still starting up. Returns false when it could not be reached.
    bool askFirstToShow(int timeoutMs = 3000);

    // Runs a control request; the handler calls `answer` once, on this object's thread. Until
    // a handler is set, requests are answered that the tool is still starting.
    using Answer = std::function<void(const QJsonObject&)>;
    using RequestHandler = std::function<void(const QJsonObject&, const Answer&)>;
    void setRequestHandler(RequestHandler handler) { m_handler = std::move(handler); }

signals:
    void showRequested();

private:
    void onConnection();
    void readRequest(QLocalSocket* socket);

    QString m_socketPath;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
    RequestHandler m_handler;
};

}  // namespace tavrik::app
