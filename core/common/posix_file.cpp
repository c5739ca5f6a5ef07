#include "common/posix_file.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrik::posix {
namespace fs = std::filesystem;

namespace {
Error failure(const char* what, const fs::path& path) {
    return systemError(std::string(what) + " " + path.string() + ": " + std::strerror(errno));
}
}  // namespace

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& o) noexcept {
    if (this != &o) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = o.release();
    }
    return *this;
}

FileDescriptor::~FileDescriptor() {
    if (m_fd >= 0) ::close(m_fd);
}

int FileDescriptor::release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

Result<FileDescriptor> openRegularForReading(const fs::path& path) {
    // O_NONBLOCK: opening a FIFO returns at once instead of waiting for a writer.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) return failure("cannot open", path);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return failure("cannot examine", path);
    if (!S_ISREG(st.st_mode)) return systemError(path.string() + " is not a regular file");
    return fd;
}

Result<std::size_t> readSome(const FileDescriptor& fd, std::span<std::uint8_t> buffer) {
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer.data(), buffer.size());
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) return systemError(std::string("read failed: ") + std::strerror(errno));
    }
}

Result<FileDescriptor> createExclusive(const fs::path& path, unsigned mode) {
    FileDescriptor fd(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600));
    if (fd.get() < 0) return failure("cannot create", path);
    if (::fchmod(fd.get(), static_cast<mode_t>(mode)) != 0) {
        const Error e = failure("cannot set the mode of", path);
        ::unlink(path.c_str());
        return e;
    }
    return fd;
}

Status writeAll(const FileDescriptor& fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd.get(), bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return systemError(std::string("write failed: ") + std::strerror(errno));
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return Status::success();
}

Status syncAndClose(FileDescriptor fd) {
    const bool synced = ::fsync(fd.get()) == 0;
    const int syncErrno = errno;
    const bool closed = ::close(fd.release()) == 0;
    if (!synced) return systemError(std::string("fsync failed: ") + std::strerror(syncErrno));
    if (!closed) return systemError(std::string("close failed: ") + std::strerror(errno));
    return Status::success();
}

Status syncFolder(const fs::path& folder) {
    FileDescriptor fd(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) return failure("cannot open folder", folder);
    if (::fsync(fd.get()) != 0) return failure("cannot flush folder", folder);
    return Status::success();
}

bool mayRead(const fs::path& path) {
    return ::faccessat(AT_FDCWD, path.c_str(), R_OK, AT_EACCESS) == 0;
}

bool mayWrite(const fs::path& path) {
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

}  // namespace tavrik::posix
