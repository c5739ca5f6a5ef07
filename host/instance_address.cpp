#include "host/instance_address.h"

#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "host/qt/log_categories.h"

namespace tavrik::app {
namespace {

constexpr mode_t kPrivateMode = 0700;
// The longest path a local socket address holds (its terminating zero excluded).
constexpr qsizetype kMaxSocketPath = qsizetype(sizeof(sockaddr_un::sun_path)) - 1;

std::string text(const QString& s) {
    return s.toStdString();
}

std::optional<std::string> lstatProblem(const QString& path, struct stat& st) {
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
        return text(path) + ": " + std::strerror(errno);
    }
    return std::nullopt;
}

// The folder that holds a folder we create must not let another user swap it: owned by us or
// root, and not writable by others unless sticky (as /tmp is, where only the owner may rename).
std::optional<std::string> parentProblem(const QString& parent, uid_t uid) {
    struct stat st {};
    if (::stat(QFile::encodeName(parent).constData(), &st) != 0) {
        return text(parent) + ": " + std::strerror(errno);
    }
    if (st.st_uid != uid && st.st_uid != 0) {
        return text(parent) + " belongs to another user (uid " + std::to_string(st.st_uid) + ")";
    }
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (st.st_mode & S_ISVTX) == 0) {
        return text(parent) + " may be changed by other users";
    }
    return std::nullopt;
}

// The cache folder's own runtime folder, created with mode 0700; our own folder with a wider
// mode is narrowed (nobody else can have placed it there).
Result<QString> ownFallbackFolder(const RuntimeInputs& in) {
    QString cache = in.xdgCacheHome;
    if (!QDir::isAbsolutePath(cache)) {
        if (!QDir::isAbsolutePath(in.home)) {
            return systemError(
                "no private runtime folder: XDG_RUNTIME_DIR is not set and there is no home "
                "folder; set XDG_RUNTIME_DIR to a folder of your own with mode 0700");
        }
        cache = QDir(in.home).filePath(QStringLiteral(".cache"));
    }
    QDir().mkpath(cache);
    if (auto p = parentProblem(cache, in.uid))
        return systemError("no private runtime folder: " + *p);
    const QString folder = QDir(cache).filePath(QStringLiteral("tavrik-87rev-run"));
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), kPrivateMode) != 0 && errno != EEXIST) {
        return systemError("cannot create the runtime folder " + text(folder) + ": " +
                           std::strerror(errno));
    }
    struct stat st {};
    if (auto p = lstatProblem(folder, st)) return systemError(*p);
    if (S_ISDIR(st.st_mode) && st.st_uid == in.uid && (st.st_mode & 0777) != kPrivateMode) {
        ::chmod(name.constData(), kPrivateMode);
    }
    if (auto p = privateFolderProblem(folder, in.uid)) {
        return systemError("the runtime folder " + *p + "; remove it");
    }
    return folder;
}

}  // namespace

QString instanceName() {
    return QStringLiteral("tavrik-87rev-{5B0F4E1C-8A6D-4C2B-9E37-1D84A0C6F2B9}");
}

RuntimeInputs RuntimeInputs::fromEnvironment() {
    RuntimeInputs in;
    in.uid = ::geteuid();
    in.xdgRuntimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    in.runUserDir = QStringLiteral("/run/user/%1").arg(in.uid);
    in.xdgCacheHome = qEnvironmentVariable("XDG_CACHE_HOME");
    in.home = qEnvironmentVariable("HOME");
    return in;
}

std::optional<std::string> privateFolderProblem(const QString& folder, uid_t uid) {
    struct stat st {};
    if (auto p = lstatProblem(folder, st)) return p;
    if (S_ISLNK(st.st_mode)) return text(folder) + " is a symbolic link";
    if (!S_ISDIR(st.st_mode)) return text(folder) + " is not a folder";
    if (st.st_uid != uid) {
        return text(folder) + " belongs to another user (uid " + std::to_string(st.st_uid) + ")";
    }
    if ((st.st_mode & 0777) != kPrivateMode) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", unsigned(st.st_mode & 0777));
        return text(folder) + " has mode " + mode + ", not 0700";
    }
    return std::nullopt;
}

Result<InstancePlace> instancePlace(const RuntimeInputs& in) {
    QString folder;
    for (const QString& candidate : {in.xdgRuntimeDir, in.runUserDir}) {
        if (!QDir::isAbsolutePath(candidate)) continue;
        const auto problem = privateFolderProblem(candidate, in.uid);
        if (!problem) {
            folder = QDir::cleanPath(candidate);
            break;
        }
        if (candidate == in.xdgRuntimeDir) {
            qCDebug(lcCtl) << "runtime folder not used:" << QString::fromStdString(*problem);
        }
    }
    if (folder.isEmpty()) {
        auto own = ownFallbackFolder(in);
        if (!own) return own.error();
        folder = *own;
    }
    InstancePlace place;
    place.folder = folder;
    place.lockPath = QDir(folder).filePath(instanceName() + QStringLiteral(".lock"));
    place.socketPath = QDir(folder).filePath(instanceName() + QStringLiteral(".sock"));
    if (const qsizetype length = QFile::encodeName(place.socketPath).size();
        length > kMaxSocketPath) {
        return systemError("the runtime folder " + text(folder) + " is too long for a local " +
                           "socket (" + std::to_string(length) + " bytes in the socket's path, " +
                           "at most " + std::to_string(kMaxSocketPath) +
                           "); set XDG_RUNTIME_DIR to a shorter folder of your own with mode 0700");
    }
    return place;
}

Result<InstancePlace> instancePlace() {
    return instancePlace(RuntimeInputs::fromEnvironment());
}

}  // namespace tavrik::app
