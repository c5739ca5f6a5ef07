#pragma once
// tavrikctl's command line: the common options, one command and its arguments. `set` takes its
// own words and options (--speed, --brightness, --direction) as they come.

#include <QString>
#include <QStringList>

#include "appconfig/app_options.h"
#include "common/result.h"

namespace tavrik::ctl {

struct CtlCommand {
    appconfig::Options options;  // --simulate, --sim-socket, --data-dir
    QString verb;                // status, dump, apply, export, import, set, profiles
    QStringList args;            // after the verb
    bool json = false;           // dump --json
    QString output;              // dump -o FILE
    bool help = false;
    bool version = false;
};

// Parses the arguments after the program name. Value error, one line, for anything that is not
// a valid command line.
Result<CtlCommand> parseCommandLine(const QStringList& arguments);

QString helpText();

}  // namespace tavrik::ctl
