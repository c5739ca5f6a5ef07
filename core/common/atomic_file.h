#pragma once
// Whole-file reads and crash-safe whole-file writes for the tool's raw binary files.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "common/result.h"

namespace tavrik {

// Reads the whole file. Error kind System when it cannot be opened or read.
Result<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& path);

// Writes the parts back to back into a temporary file in the same folder and renames it over
// path, so that a crash or a full disk leaves either the old file or the new one, never a
// truncated one. Error kind System (with the path) when any step fails; the old file stays.
Status writeFileAtomically(const std::filesystem::path& path,
                           std::span<const std::span<const std::uint8_t>> parts);

}  // namespace tavrik
