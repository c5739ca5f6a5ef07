#pragma once
// One running copy per user: the per-user instance lock decides who drives the keyboard (this
// window process, or tavrikctl's own session for as long as one command runs); the window
// process listens on the instance socket, through which a later start asks it to show its
// window (the line "show") and tavrikctl sends its requests (instance_server.h).

#include <QObject>
#include <QString>
#include <chrono>
#include <memory>

#include "host/instance_lock.h"
#include "main/instance_server.h"

namespace tavrik::app {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // name: a fixed identifier, the same for every run of the tool; folder: where the lock file
    // and the socket live (the user's private runtime folder).
    SingleInstance(const QString& name, const QString& folder, ServerLimits limits = {},
                   QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Claim {
        First,        // this process holds the lock until it ends and listens for later starts
        AnotherCopy,  // a copy of the tool runs and answers: ask it to show its window
        Refused,      // neither: refusal() says why
    };
    // Waits up to `wait` while tavrikctl's own session holds the lock (one command).
    Claim claim(std::chrono::milliseconds wait = std::chrono::seconds(60));
    const QString& refusal() const { return m_refusal; }

    // A later start: asks the first copy to show its window and waits for its answer. Retries
    // briefly while the first copy is still starting up. Returns false when it could not be
    // reached or did not answer that it was asked.
    bool askFirstToShow(int timeoutMs = 3000);

    InstanceServer& server() { return *m_server; }

signals:
    void showRequested();

private:
    bool firstAnswers() const;

    QString m_socketPath;
    InstanceLock m_lock;
    std::unique_ptr<InstanceServer> m_server;
    QString m_refusal;
};

}  // namespace tavrik::app
