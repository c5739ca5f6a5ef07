#pragma once
// The chooser behind a browse button of the "Advance" tab: an open-file chooser (on Linux: audio
// types and all files for "Play Sound", all files for "Startup" and "Open File", no suffix ever
// appended), or the folder chooser for the "Open Folder" row.

#include <optional>
#include <string>

#include "common/language.h"

class QWidget;

namespace tavrik::app {

// Runs the chooser of launch row 0..3 modally; the chosen path (UTF-8), or none when cancelled.
std::optional<std::string> chooseLaunchPath(QWidget* parent, int row, Language lang);

}  // namespace tavrik::app
