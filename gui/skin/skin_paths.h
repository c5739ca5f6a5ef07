#pragma once
// Where the tool finds its files: the program folder (the folder of the running executable, so
// that renaming the executable breaks nothing) and the skin folders by language code.

#include <QString>

#include "skin/skin_manifest.h"

namespace tavrik::skin {

// The folder of the executable at exePath, with a trailing '/'. Only the last path component
// is removed, so a folder whose name equals the executable's name is kept.
QString programFolderOf(const QString& exePath);

// The folder of the running executable, with a trailing '/'.
QString programFolder();

// "png/chinese/" for language code 4, else "png/english/".
QString languageFolder(int languageCode);

// The folder that holds png/: the program folder when it has a png/ folder, else the installed
// share folder (<prefix>/share/tavrik-87rev/ beside <prefix>/bin/) when that has one, else the
// program folder. Always ends with '/'.
QString skinRoot(const QString& programFolder);

// skinRoot + language folder + the part's sub-folder.
QString skinFolder(const QString& programFolder, int languageCode, SkinPart part);

// skinFolder + file name.
QString skinPath(const QString& programFolder, int languageCode, SkinPart part,
                 const QString& fileName);

}  // namespace tavrik::skin
