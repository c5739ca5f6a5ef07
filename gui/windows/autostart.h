#pragma once
// Starting the tool with the desktop session: the user's XDG autostart entry for it.

#include <QString>

namespace tavrik::app {

// ~/.config/autostart/tavrik-87rev.desktop ($XDG_CONFIG_HOME honoured).
QString autostartEntryFile();

// Whether the entry exists.
bool autostartEnabled();

// Writes the entry (starting program with --minimized) or removes it. False, with the reason in
// *error, when the file cannot be written or removed.
bool setAutostart(bool enabled, const QString& program, QString* error);

}  // namespace tavrik::app
