#pragma once
// The per-user instance lock: one process at a time drives the keyboard for a user, the window
// process or tavrikctl's own session. The lock file lives in the private runtime folder
// (instance_address.h); a lock file that is a symbolic link or another user's is refused, never
// followed or taken over silently.

#include <QLockFile>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>

namespace tavrik::app {

class InstanceLock {
public:
    explicit InstanceLock(const QString& lockPath);
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    enum class Outcome {
        Claimed,        // this process holds the lock until it ends or release()
        Taken,          // a live process of this user holds it
        Refused,        // the lock file cannot be used: refusal() says why
        TimedOut,       // claimOrWait(): still taken when the time ran out
        HolderAnswers,  // claimOrWait(): the holder serves requests (the window process)
    };

    // One attempt.
    Outcome tryClaim();
    // Attempts until the lock is claimed, refused, `holderAnswers` says the holder serves
    // requests (asked while it is taken), or `timeout` has passed.
    Outcome claimOrWait(std::chrono::milliseconds timeout,
                        const std::function<bool()>& holderAnswers);
    void release() { m_lock.unlock(); }

    bool held() const { return m_lock.isLocked(); }
    const QString& refusal() const { return m_refusal; }
    // The holder seen by the last attempt that found the lock taken.
    qint64 holderPid() const { return m_holderPid; }
    const QString& holderName() const { return m_holderName; }
    // "process 1234 (tavrikctl)", for messages.
    QString holderText() const;

private:
    std::optional<QString> lockFileProblem() const;

    QString m_path;
    QLockFile m_lock;
    QString m_refusal;
    qint64 m_holderPid = 0;
    QString m_holderName;
};

}  // namespace tavrik::app
