#pragma once
// Naming rules of profiles: file name <-> row text, names for New and Copy, and the check that
// keeps a typed name inside the profile folder. Names and file names are UTF-8.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tavrik::profiles {

inline constexpr std::string_view kExtension = ".bin";
// The longest file name the file systems we run on take, in bytes.
inline constexpr std::size_t kMaxFileNameBytes = 255;

// Whether a folder entry is a profile file: its name ends with ".bin".
bool isProfileFileName(std::string_view fileName);
// The row text of a profile file: the file name with every ".bin" removed.
std::string rowText(std::string_view fileName);
// The file name a renamed profile gets: the name, with ".bin" appended unless it already
// contains ".bin".
std::string renamedFileName(std::string_view name);
// A typed name that cannot leave the profile folder and still lists: non-empty, not "." or "..",
// no "/", "\" or NUL, and something left once ".bin" is removed.
bool isSafeProfileName(std::string_view name);

// Why a typed name cannot become a profile, checked in this order.
enum class NameProblem {
    Unsafe,     // isSafeProfileName is false
    NotListed,  // its file name would not end with ".bin" (e.g. "x.binfoo"): it would vanish
    TooLong,    // its file name would be longer than kMaxFileNameBytes
};
std::optional<NameProblem> profileNameProblem(std::string_view name);

// New: the first "Profile_%d" from 1 up that equals no row text (case-sensitive).
std::string newProfileName(std::span<const std::string> rows);
// Copy: prefix and source joined by a blank; on a clash with a row text, " 1", " 2", ... appended.
std::string copyName(std::string_view prefix, std::string_view source,
                     std::span<const std::string> rows);

}  // namespace tavrik::profiles
