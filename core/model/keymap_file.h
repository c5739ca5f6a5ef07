#pragma once
// keymap.bin: the 10056-byte configuration image followed by the 196860-byte key action table,
// raw, no header. Profile files share the layout.

#include <cstddef>
#include <filesystem>

#include "common/atomic_file.h"
#include "common/result.h"
#include "model/config_state.h"

namespace tavrik::model {

inline constexpr std::size_t kKeymapFileSize = kImageSize + kKeyActionTableSize;  // 206916
inline constexpr const char* kKeymapFileName = "keymap.bin";

enum class KeymapLoad {
    Loaded,   // the file was read (a short file fills what it has)
    Created,  // no file existed: a new file was written
};

// What a load of keymap.bin replaces in memory.
enum class KeymapPart {
    Whole,        // image and key action table
    ActionsOnly,  // only the key action table; the image in memory stays
};

// Loads keymap.bin into s, the whole or only the key action table. At most kKeymapFileSize
// bytes are read, only from a regular file. A missing file is written anew: at start-up (Whole)
// from the current image and a zeroed table, on a reload from the image and table in memory,
// which stay. Either way own codes are filled from the slot table afterwards (in memory). A file
// that exists but cannot be read, or is no regular file, is left alone and reported as a System
// error, memory unchanged.
Result<KeymapLoad> loadKeymap(ConfigState& s, const std::filesystem::path& path, KeymapPart part);

// Replaces image and table with the file's bytes, as far as the file reaches (profile Load),
// reading at most kKeymapFileSize bytes and only from a regular file. Returns the number of
// bytes taken.
Result<std::size_t> readConfigFile(const std::filesystem::path& path, Image& image,
                                   KeyActionTable& actions);

// Writes image then table atomically (a profile with WriteRule::Profile).
Status saveConfigFile(const std::filesystem::path& path, const Image& image,
                      const KeyActionTable& actions, WriteRule rule = WriteRule::DataFile);

// Fills image and table from raw file bytes as far as they reach; what is missing stays.
void takeFileBytes(std::span<const std::uint8_t> bytes, Image* image, KeyActionTable& actions);

}  // namespace tavrik::model
