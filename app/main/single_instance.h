#pragma once
// One running copy per user: a lock file in the runtime folder decides who is first; the first
// copy listens on a local socket through which a later start asks it to show its window.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
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

signals:
    void showRequested();

private:
    void onConnection();

    QString m_socketPath;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

}  // namespace tavrik::app
