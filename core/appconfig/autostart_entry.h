#pragma once
// The XDG autostart entry that starts the tool with the desktop session, in the notification
// area: launch actions work only while the tool runs.

#include <filesystem>
#include <string>
#include <string_view>

namespace tavrik::appconfig {

inline constexpr std::string_view kAutostartFileName = "tavrik-87rev.desktop";

// $XDG_CONFIG_HOME/autostart/tavrik-87rev.desktop; $HOME/.config stands in for XDG_CONFIG_HOME
// when it is unset or relative.
std::filesystem::path autostartEntryPath(std::string_view xdgConfigHome, std::string_view home);

// The program path as one argument of a desktop entry's Exec key: quoted when it holds a blank
// or a reserved character, '%' doubled.
std::string execArgument(std::string_view program);

// A string value of a desktop entry: backslash, newline, tab and carriage return escaped, so that
// the value stays on its line and reads back as the text.
std::string desktopString(std::string_view text);

// The entry's text: starts program with --minimized; TryExec names the program, so that the
// session skips the entry once the program is gone.
std::string autostartEntry(std::string_view program);

}  // namespace tavrik::appconfig
