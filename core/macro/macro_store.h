#pragma once
// The macro store: 190 macro records, the records in use contiguous from index 0 (a record with
// an empty name is free and ends the list of macros). Field access, MacroDefine.bin, and the
// build of the keyboard's 32 macro slots in the configuration image.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "common/result.h"
#include "macro/macro_layout.h"
#include "model/image_layout.h"

namespace tavrik::macro {

inline constexpr const char* kMacroFileName = "MacroDefine.bin";

// Record fields. Names are UTF-8 here and UTF-16LE in the record.
bool isFree(const MacroRecord& r);
std::string macroName(const MacroRecord& r);
// False (record unchanged) when the name is longer than 254 UTF-16 code units.
bool setMacroName(MacroRecord& r, std::u16string_view name);
std::uint16_t loopCount(const MacroRecord& r);
void setLoopCount(MacroRecord& r, std::uint16_t count);
bool recordsDelay(const MacroRecord& r);  // options bit 0
void setRecordsDelay(MacroRecord& r, bool on);
std::span<std::uint8_t, kSequenceSize> deviceSequence(MacroRecord& r);
std::span<const std::uint8_t, kSequenceSize> deviceSequence(const MacroRecord& r);
std::span<std::uint8_t, kSequenceSize> keySequence(MacroRecord& r);
std::span<const std::uint8_t, kSequenceSize> keySequence(const MacroRecord& r);

// Number of records from index 0 up to the first free one: the macros the keyboard can play.
std::size_t macroCount(const MacroStore& store);
// Names of those records in index order: the macro list of the macro and key assignment dialogs.
std::vector<std::string> macroNames(const MacroStore& store);

// Writes the slot (loop count big-endian, device sequence) of every record before the first free
// one into the image, never more than the 32 slots. Later slots keep their bytes.
void buildMacroSlots(const MacroStore& store, model::Image& image);

enum class MacroLoad {
    Loaded,   // the file was read; a short file leaves the rest of the store zero
    Created,  // no file existed: the store is empty and an empty file was written (silently)
};

// Loads MacroDefine.bin at start-up: removes the temporary files of saves killed in an earlier
// run, then reads at most 169860 bytes, only from a regular file. A file that exists but cannot
// be read, or is no regular file, is left alone (never replaced by an empty one): the store is
// emptied and a System error returned.
Result<MacroLoad> loadMacroFile(MacroStore& store, const std::filesystem::path& path);
// The same without touching the disk: a missing file gives an empty store and is not created,
// no temporary file is removed (a use that only reads, such as tavrikctl dump).
Status readMacroFile(MacroStore& store, const std::filesystem::path& path);
// Writes the 169860 bytes of the store atomically (temporary file + rename).
Status saveMacroFile(const MacroStore& store, const std::filesystem::path& path);
// Fills the store from raw file bytes; bytes past the file's end (or past 169860) are zero.
void takeMacroFileBytes(std::span<const std::uint8_t> bytes, MacroStore& store);

}  // namespace tavrik::macro
