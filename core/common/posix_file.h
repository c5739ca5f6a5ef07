#pragma once
// The few POSIX file calls the standard library has no counterpart for: opening a file without
// blocking (a FIFO must not stall a read), the effective user's access to a file, and flushing
// a file or a folder to the disk. Kept in this one place so that the rest of core stays on the
// standard library.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

#include "common/result.h"

namespace tavrik::posix {

// An open file descriptor, closed when it goes.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(FileDescriptor&& o) noexcept : m_fd(o.release()) {}
    FileDescriptor& operator=(FileDescriptor&& o) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    int get() const { return m_fd; }
    int release();

private:
    int m_fd = -1;
};

// Opens a file for reading without blocking on FIFOs or devices; error kind System when it
// cannot be opened or, once open, is no regular file (a symlink is followed).
Result<FileDescriptor> openRegularForReading(const std::filesystem::path& path);
// Reads up to buffer.size() bytes; 0 at the end of the file.
Result<std::size_t> readSome(const FileDescriptor& fd, std::span<std::uint8_t> buffer);

// Creates a new file (never an existing one) for writing with the given permission bits,
// exactly (the process's umask does not narrow them).
Result<FileDescriptor> createExclusive(const std::filesystem::path& path, unsigned mode);
Status writeAll(const FileDescriptor& fd, std::span<const std::uint8_t> bytes);
// Flushes the file's data to the disk, then closes it.
Status syncAndClose(FileDescriptor fd);
// Flushes a folder's entries (a rename inside it) to the disk.
Status syncFolder(const std::filesystem::path& folder);

// Whether this process (its effective user and groups) may read, or write, an existing file.
bool mayRead(const std::filesystem::path& path);
bool mayWrite(const std::filesystem::path& path);

}  // namespace tavrik::posix
