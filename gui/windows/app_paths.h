#pragma once
// Where the tool finds its program folder and keeps its data files.

#include <QString>

#include "appconfig/app_options.h"

namespace tavrik::app {

struct AppPaths {
    QString programFolder;  // folder of the running executable, ending in '/' (skin, updater)
    QString dataFolder;     // keymap.bin, MacroDefine.bin, Configure/

    QString keymapFile() const;
    QString macroFile() const;
    // VER.bin: the data folder's copy when there is one, else the shipped one.
    QString versionFile() const;
    QString updaterProgram() const;
    // A read-only file shipped with the tool: beside the executable, else in
    // <prefix>/share/tavrik-87rev/; empty when neither exists.
    QString shippedFile(const QString& name) const;
};

// The folder <prefix>/share/tavrik-87rev/ of an installed copy whose executable lies in
// programFolder (<prefix>/bin/), ending in '/'.
QString installedShareFolder(const QString& programFolder);

// Applies the data folder rule to a copy whose executable lies in programFolder and creates the
// data folder when needed.
AppPaths resolveAppPaths(const appconfig::Options& options, const QString& programFolder);
// The same for the running executable.
AppPaths resolveAppPaths(const appconfig::Options& options);

}  // namespace tavrik::app
