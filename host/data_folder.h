#pragma once
// Where a program keeps keymap.bin, MacroDefine.bin and Configure/: the data-folder rule
// applied to the running executable's folder (portable copy, installed copy or --data-dir).

#include <QString>

#include "appconfig/app_options.h"

namespace tavrik::app {

// `programFolder` ends with '/'. Nothing is created.
QString dataFolderFor(const appconfig::Options& options, const QString& programFolder);

}  // namespace tavrik::app
