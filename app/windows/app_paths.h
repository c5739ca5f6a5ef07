#pragma once
// Where the tool finds its program folder and keeps its data files.

#include <QString>

#include "mainwindow/app_options.h"

namespace tavrik::app {

struct AppPaths {
    QString programFolder;  // folder of the running executable, ending in '/' (skin, updater)
    QString dataFolder;     // keymap.bin, MacroDefine.bin, Configure/

    QString keymapFile() const;
    QString macroFile() const;
    // VER.bin: the data folder's copy when there is one, else the one the build put beside the
    // executable.
    QString versionFile() const;
    QString updaterProgram() const;
};

// Applies the data folder rule to this machine and creates the data folder when needed.
AppPaths resolveAppPaths(const mainwindow::Options& options);

}  // namespace tavrik::app
