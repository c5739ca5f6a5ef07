#include "host/instance_lock.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <cerrno>

namespace tavrik::app {
namespace {

constexpr int kPollMs = 50;

bool processAlive(qint64 pid) {
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// The owner of a live process, from its /proc entry.
std::optional<uid_t> processOwner(qint64 pid) {
    struct stat st {};
    if (::stat(QByteArray("/proc/" + QByteArray::number(pid)).constData(), &st) != 0) {
        return std::nullopt;
    }
    return st.st_uid;
}

}  // namespace

InstanceLock::InstanceLock(const QString& lockPath) : m_path(lockPath), m_lock(lockPath) {
    // A lock left by a crashed process is taken over (its process is gone); a live holder is
    // never treated as stale however long it runs.
    m_lock.setStaleLockTime(0);
}

QString InstanceLock::holderText() const {
    QString s = QStringLiteral("process %1").arg(m_holderPid);
    if (!m_holderName.isEmpty()) s += QStringLiteral(" (%1)").arg(m_holderName);
    return s;
}

std::optional<QString> InstanceLock::lockFileProblem() const {
    struct stat st {};
    if (::lstat(QFile::encodeName(m_path).constData(), &st) != 0) return std::nullopt;
    if (S_ISLNK(st.st_mode)) {
        return QStringLiteral("the lock file %1 is a symbolic link; remove it").arg(m_path);
    }
    if (!S_ISREG(st.st_mode)) {
        return QStringLiteral("the lock file %1 is not a plain file; remove it").arg(m_path);
    }
    if (st.st_uid != ::geteuid()) {
        return QStringLiteral("the lock file %1 belongs to another user (uid %2); remove it")
            .arg(m_path)
            .arg(st.st_uid);
    }
    return std::nullopt;
}

InstanceLock::Outcome InstanceLock::tryClaim() {
    if (m_lock.isLocked()) return Outcome::Claimed;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (auto problem = lockFileProblem()) {
            m_refusal = *problem;
            return Outcome::Refused;
        }
        if (m_lock.tryLock(0)) return Outcome::Claimed;
        switch (m_lock.error()) {
            case QLockFile::NoError:
            case QLockFile::LockFailedError:
                break;
            case QLockFile::PermissionError:
                m_refusal =
                    QStringLiteral("cannot create the lock file %1: permission denied").arg(m_path);
                return Outcome::Refused;
            case QLockFile::UnknownError:
                m_refusal = QStringLiteral("cannot create the lock file %1").arg(m_path);
                return Outcome::Refused;
        }
        QString host;
        m_holderPid = 0;
        m_holderName.clear();
        if (!m_lock.getLockInfo(&m_holderPid, &host, &m_holderName)) {
            return Outcome::Taken;  // being written by its holder right now
        }
        // A pid that now belongs to another user's process is not a holder of our lock (the
        // one that wrote it is gone); removing it succeeds only when no one locks the file.
        const auto owner = processOwner(m_holderPid);
        const bool ours = processAlive(m_holderPid) && owner && *owner == ::geteuid();
        if (ours || !m_lock.removeStaleLockFile()) return Outcome::Taken;
    }
    return Outcome::Taken;
}

InstanceLock::Outcome InstanceLock::claimOrWait(std::chrono::milliseconds timeout,
                                                const std::function<bool()>& holderAnswers) {
    QDeadlineTimer deadline(timeout);
    while (true) {
        const Outcome o = tryClaim();
        if (o != Outcome::Taken) return o;
        if (holderAnswers && holderAnswers()) return Outcome::HolderAnswers;
        if (deadline.hasExpired()) break;
        QThread::msleep(kPollMs);
    }
    // A lock file that could not be read all this while is damaged, not being written.
    if (m_holderPid == 0 && m_lock.removeStaleLockFile() && tryClaim() == Outcome::Claimed) {
        return Outcome::Claimed;
    }
    return Outcome::TimedOut;
}

}  // namespace tavrik::app
