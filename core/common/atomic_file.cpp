#include "common/atomic_file.h"

#include <algorithm>
#include <limits>
#include <random>
#include <string>
#include <system_error>

#include "common/posix_file.h"

namespace tavrik {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTemporaryInfix = ".tmp-";
constexpr int kMaxSymlinkDepth = 40;
constexpr int kTemporaryNameAttempts = 16;
constexpr std::size_t kReadChunk = 65536;
constexpr std::size_t kMaxNameBytes = 255;

bool nameTooLong(const fs::path& path) {
    for (const fs::path& part : path) {
        if (part.native().size() > kMaxNameBytes) return true;
    }
    return false;
}

// The reason at the end of a posix error ("cannot create PATH: REASON").
std::string reasonOf(const Error& e) {
    const auto at = e.context.rfind(": ");
    return at == std::string::npos ? e.context : e.context.substr(at + 2);
}

Error cannotWrite(const fs::path& target, const std::string& why) {
    return systemError("cannot write " + target.string() + ": " + why);
}

Error problemError(const fs::path& path, FileProblem problem) {
    switch (problem) {
        case FileProblem::NotRegular:
            return systemError(path.string() + " is not a regular file; left alone");
        case FileProblem::NotReadable:
            return systemError(path.string() + " cannot be read; left alone");
        case FileProblem::NotWritable:
            return systemError(path.string() + " is read-only; left alone");
        case FileProblem::NameTooLong:
            return systemError(path.string() + ": name too long (at most " +
                               std::to_string(kMaxNameBytes) + " bytes a name)");
    }
    return systemError(path.string());
}

fs::path temporaryBeside(const fs::path& target, std::random_device& rd) {
    return target.parent_path() / ("." + target.filename().string() + std::string(kTemporaryInfix) +
                                   std::to_string(rd() % 1000000));
}

Status writeParts(const posix::FileDescriptor& fd,
                  std::span<const std::span<const std::uint8_t>> parts) {
    for (auto part : parts) {
        if (Status s = posix::writeAll(fd, part); !s) return s;
    }
    return Status::success();
}

}  // namespace

std::optional<FileProblem> fileProblem(const fs::path& path) {
    if (nameTooLong(path)) return FileProblem::NameTooLong;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec == std::errc::filename_too_long) return FileProblem::NameTooLong;
    if (st.type() == fs::file_type::not_found) return std::nullopt;
    if (ec) return FileProblem::NotReadable;  // not even its type can be seen
    if (!fs::is_regular_file(st)) return FileProblem::NotRegular;
    if (!posix::mayRead(path)) return FileProblem::NotReadable;
    if (!posix::mayWrite(path)) return FileProblem::NotWritable;
    return std::nullopt;
}

Result<std::vector<std::uint8_t>> readFilePrefix(const fs::path& path, std::size_t maxBytes) {
    auto fd = posix::openRegularForReading(path);
    if (!fd) return fd.error();
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < maxBytes) {
        const std::size_t have = bytes.size();
        bytes.resize(have + std::min(kReadChunk, maxBytes - have));
        auto n = posix::readSome(*fd, std::span(bytes).subspan(have));
        if (!n) return systemError("cannot read " + path.string() + ": " + n.error().context);
        bytes.resize(have + *n);
        if (*n == 0) break;
    }
    return bytes;
}

Result<std::vector<std::uint8_t>> readWholeFile(const fs::path& path) {
    return readFilePrefix(path, std::numeric_limits<std::size_t>::max());
}

fs::path writeTarget(const fs::path& path) {
    fs::path p = path;
    for (int depth = 0; depth < kMaxSymlinkDepth; ++depth) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec))) break;
        const fs::path next = fs::read_symlink(p, ec);
        if (ec) break;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return p;
}

Status writeFileAtomically(const fs::path& path,
                           std::span<const std::span<const std::uint8_t>> parts, WriteRule rule) {
    if (rule == WriteRule::Profile) {
        std::error_code linkEc;
        if (fs::is_symlink(fs::symlink_status(path, linkEc))) {
            return systemError(path.string() +
                               " is a symbolic link; it is not written through: remove the link "
                               "or choose another name");
        }
    }
    // With links refused the temporary file is renamed over `path` itself: a link put there
    // meanwhile is replaced, never followed.
    const fs::path target = rule == WriteRule::Profile ? path : writeTarget(path);
    if (auto problem = fileProblem(target)) return problemError(target, *problem);
    std::error_code ec;
    // A replaced file keeps its permission bits; a new one gets the usual 0644.
    unsigned mode = 0644;
    if (fs::exists(target, ec)) {
        mode = static_cast<unsigned>(fs::status(target, ec).permissions() & fs::perms::mask);
    }
    const fs::path folder = target.parent_path();
    if (!folder.empty() && !fs::exists(folder, ec)) {
        if (rule == WriteRule::Chosen) return cannotWrite(target, "its folder does not exist");
        // The folder of the file itself, never one behind a link that points nowhere.
        if (target != path) return cannotWrite(target, "its folder does not exist");
        fs::create_directories(folder, ec);
        if (ec) return cannotWrite(target, "cannot create its folder: " + ec.message());
    }

    std::random_device rd;
    fs::path tmp;
    Result<posix::FileDescriptor> fd = systemError("no temporary file");
    for (int attempt = 0; attempt < kTemporaryNameAttempts && !fd; ++attempt) {
        tmp = temporaryBeside(target, rd);
        fd = posix::createExclusive(tmp, mode);
    }
    if (!fd) {
        const fs::path shown = folder.empty() ? fs::path(".") : folder;
        if (!posix::mayWrite(shown)) {
            return cannotWrite(target, "its folder " + shown.string() + " may not be written");
        }
        return cannotWrite(target, reasonOf(fd.error()));
    }
    Status s = writeParts(*fd, parts);
    if (s) s = posix::syncAndClose(std::move(fd).value());
    if (!s) s = cannotWrite(target, reasonOf(s.error()));
    if (s) {
        fs::rename(tmp, target, ec);
        if (ec) s = cannotWrite(target, ec.message());
    }
    if (!s) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        return s;
    }
    // The rename is in place; a failed flush of the folder only weakens its durability.
    (void)posix::syncFolder(target.parent_path());
    return Status::success();
}

std::optional<std::string_view> temporaryFileOf(std::string_view entryName) {
    if (!entryName.starts_with('.')) return std::nullopt;
    const auto infix = entryName.rfind(kTemporaryInfix);
    if (infix == std::string_view::npos || infix < 2) return std::nullopt;
    const std::string_view digits = entryName.substr(infix + kTemporaryInfix.size());
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return entryName.substr(1, infix - 1);
}

int removeLeftoverTemporaries(const fs::path& folder,
                              const std::function<bool(std::string_view fileName)>& isOurs) {
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const auto of = temporaryFileOf(name);
        std::error_code typeEc;
        // Only regular files (never what a link points to) of our own naming.
        if (!of || !isOurs(*of) || !it->is_regular_file(typeEc) || it->is_symlink(typeEc)) {
            continue;
        }
        std::error_code removeEc;
        if (fs::remove(it->path(), removeEc)) ++removed;
    }
    return removed;
}

int removeLeftoverTemporariesOf(const fs::path& file) {
    const auto beside = [](const fs::path& f) {
        const std::string name = f.filename().string();
        return removeLeftoverTemporaries(f.parent_path(),
                                         [&](std::string_view of) { return of == name; });
    };
    const fs::path target = writeTarget(file);
    return beside(file) + (target == file ? 0 : beside(target));
}

}  // namespace tavrik
