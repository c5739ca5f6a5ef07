#pragma once
// Bounded reads and crash-safe whole-file writes for the tool's raw binary files. An existing
// file the tool may not read and write, or that is no regular file, is never replaced: it may
// hold what the user owns, and the tool could not put it back.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace tavrik {

// Why an existing file is left alone.
enum class FileProblem {
    NotRegular,   // a folder, FIFO, device, socket, or a link to one
    NotReadable,  // no permission to read it (or it cannot even be examined)
    NotWritable,  // read-only: no permission to write it, or a read-only file system
};

// What keeps path (a symlink is followed) from being read and replaced by this process; none
// when it does not exist or is a regular file the process may read and write.
std::optional<FileProblem> fileProblem(const std::filesystem::path& path);

// Reads the first maxBytes of a regular file (less when it is shorter). A symlink is followed;
// a FIFO, device or folder is refused without waiting or reading from it. Error kind System.
Result<std::vector<std::uint8_t>> readFilePrefix(const std::filesystem::path& path,
                                                 std::size_t maxBytes);
// Reads a whole regular file, for files known to be small.
Result<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& path);

// The file a write of path replaces: path with every symlink followed, so that a linked data
// file keeps its link (a dangling link gives its missing target).
std::filesystem::path writeTarget(const std::filesystem::path& path);

// Writes the parts back to back into a temporary file in the target's folder, flushes it to the
// disk, renames it over the target (see writeTarget) and flushes the folder, so that a crash or
// a full disk leaves either the old file or the new one, never a truncated one. The new file
// keeps the old one's permission bits. Error kind System (with the path) when any step fails or
// the target exists with a FileProblem; the old file then stays as it was.
Status writeFileAtomically(const std::filesystem::path& path,
                           std::span<const std::span<const std::uint8_t>> parts);

// The name writeFileAtomically gives its temporary files for fileName: "." + fileName +
// ".tmp-" + decimal digits. Returns fileName for such a name, else nothing.
std::optional<std::string_view> temporaryFileOf(std::string_view entryName);
// Removes the temporary files that a killed write left in folder, for those file names that
// isOurs accepts; nothing else is touched. Returns how many were removed.
int removeLeftoverTemporaries(const std::filesystem::path& folder,
                              const std::function<bool(std::string_view fileName)>& isOurs);
// The same for one file: beside it and, when it is a symlink, beside its target.
int removeLeftoverTemporariesOf(const std::filesystem::path& file);

}  // namespace tavrik
