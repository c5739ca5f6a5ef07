// tavrikctl: the keyboard's configuration from the command line and from scripts.

#include <QCoreApplication>
#include <QLoggingCategory>
#include <cstdio>

#include "build_info.h"
#include "cli/completions.h"
#include "cli/ctl_command_line.h"
#include "cli/ctl_commands.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavrikctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVRIK_VERSION));
    // The session's debug lines and Qt's warnings (such as an unset XDG_RUNTIME_DIR under cron)
    // are for developers, not for scripts, which read one error line; QT_LOGGING_RULES brings
    // them back.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false\ndefault.warning=false"));

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    // The shells' completion scripts ask for the candidates of the word being typed.
    if (!arguments.isEmpty() && arguments[0] == QLatin1StringView(tavrik::ctl::kCompleteVerb)) {
        for (const QString& c : tavrik::ctl::completionCandidates(arguments.mid(1))) {
            std::printf("%s\n", c.toUtf8().constData());
        }
        return 0;
    }
    const auto command = tavrik::ctl::parseCommandLine(arguments);
    if (!command) {
        std::fprintf(stderr, "tavrikctl: %s\n", command.error().context.c_str());
        return 2;
    }
    if (command->help) {
        std::fputs(tavrik::ctl::helpText().toUtf8().constData(), stdout);
        return 0;
    }
    if (command->version) {
        std::printf("tavrikctl %s\n", TAVRIK_VERSION);
        return 0;
    }
    return tavrik::ctl::runCommand(*command);
}
