#pragma once
// Launch actions: the host side of keys bound to play a sound, start a program, open a file or
// open a folder. The keyboard reports such a key by its own code; this finds the record, splits
// its path and hands the request to a Launcher.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/key_action.h"

namespace tavrik::keyassign {

// Path separator of the platform the tool runs on ('/' on Linux).
char pathSeparator();

enum class LaunchKind : std::uint8_t { Document, Program, Folder };

struct LaunchRequest {
    LaunchKind kind = LaunchKind::Document;
    std::string path;           // what to open: the stored path, or its folder (see below)
    std::string workingFolder;  // text before the last separator; empty without one
};

// Splits a stored launch path at its last separator. A path ending in a separator opens that
// folder itself; a path without one is opened as it stands.
struct SplitPath {
    std::string folder;
    std::string item;  // empty when the path ends in a separator or has none
};
SplitPath splitLaunchPath(std::string_view path);

// The first slot 0..254 whose kind is 4..7 and whose own code equals `code`; none otherwise.
std::optional<int> findLaunchSlot(const model::KeyActionTable& actions, std::uint8_t code);

// The request for that slot's record; none when no slot matches or its path is empty.
std::optional<LaunchRequest> launchRequestFor(const model::KeyActionTable& actions,
                                              std::uint8_t code);

// Performs a request on the desktop without waiting for what it opens.
class Launcher {
public:
    virtual ~Launcher() = default;
    virtual void launch(const LaunchRequest& request) = 0;
};

// A key event from the keyboard: launches the matching record's path, if any. Returns whether a
// request was handed to the launcher.
bool launchForCode(const model::KeyActionTable& actions, std::uint8_t code, Launcher& launcher);

// Start folder of the file choosers: "<drive>\Program Files\halvane\torbe meridian\Profile"
// when the working directory has a drive and that folder exists, otherwise `home`.
std::string chooserStartFolder(std::string_view workingDirectory, std::string_view home,
                               const std::function<bool(const std::string&)>& isFolder);

// The text shown in a launch row's field: the whole path up to 13 characters, otherwise ".."
// followed by the last component with its leading separator. A longer path without a separator
// before its last character is shown whole.
std::string shortenLaunchPath(std::string_view path);
inline constexpr std::size_t kShortPathChars = 13;

}  // namespace tavrik::keyassign
