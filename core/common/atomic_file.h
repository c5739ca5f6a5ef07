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
    NameTooLong,  // its name (or a folder's on the way) is longer than the file system takes
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
// keeps the old one's permission bits. A missing folder of `path` (a data folder deleted while
// the tool runs) is created again. Error kind System, naming the target (never the temporary
// file) and why, when any step fails or the target has a FileProblem; the old file then stays
// as it was.
// What a write may do on the way to the file.
enum class WriteRule {
    // keymap.bin, MacroDefine.bin: a symlink the user made (a synced folder) is written through,
    // and a missing folder of the file (a data folder deleted while the tool runs) made again.
    DataFile,
    // A file the tool creates by name in a folder of its own: never written through a symlink,
    // so that a link planted there cannot aim the write at another file; a missing folder is made.
    Profile,
    // A file the user chose in a file chooser: written through a link, in an existing folder.
    Chosen,
};
Status writeFileAtomically(const std::filesystem::path& path,
                           std::span<const std::span<const std::uint8_t>> parts,
                           WriteRule rule = WriteRule::DataFile);

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
