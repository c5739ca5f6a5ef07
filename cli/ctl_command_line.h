#pragma once
// tavrikctl's command line: the common options, one command and its arguments. `set` takes its
// own words and options (--speed, --brightness, --direction) as they come.

#include <QString>
#include <QStringList>

#include "appconfig/app_options.h"
#include "cli/command_table.h"
#include "common/result.h"

namespace tavrik::ctl {

struct CtlCommand {
    appconfig::Options options;  // --simulate, --sim-socket, --data-dir
    QString verb;                // a verb of the command table
    QStringList args;            // after the verb: its word first (profiles list), then operands
    const CommandForm* form = nullptr;  // the table's row; null for --help and --version
    bool json = false;                  // --json
    bool byDefault = false;             // --default (profiles bind)
    QString output;                     // dump -o FILE, "-" for standard output
    bool help = false;
    bool version = false;
};

// Parses the arguments after the program name. Value error, one line, for anything that is not
// a valid command line.
Result<CtlCommand> parseCommandLine(const QStringList& arguments);

}  // namespace tavrik::ctl
