#include "cli/ctl_command_line.h"

#include <QCommandLineParser>
#include <array>

#include "describe/set_command.h"

namespace tavrik::ctl {
namespace {

struct VerbShape {
    const char* verb;
    int minArgs;
    int maxArgs;
    const char* form;  // for the error when the count is wrong
};

constexpr std::array<VerbShape, 7> kVerbs{{
    {"status", 0, 0, "status"},
    {"dump", 0, 0, "dump [--json] [-o FILE]"},
    {"apply", 1, 1, "apply FILE"},
    {"export", 1, 1, "export FILE.json"},
    {"import", 1, 1, "import FILE.json"},
    {"set", 1, 1000, "set effect|game-mode|win-lock|response-time|report-rate|key|diy ..."},
    {"profiles", 1, 2, "profiles list|apply NAME|save NAME"},
}};

const QStringList kValueOptions{QStringLiteral("--sim-socket"), QStringLiteral("--data-dir"),
                                QStringLiteral("-o"), QStringLiteral("--output")};
const QStringList kCommonOptions{QStringLiteral("--simulate"), QStringLiteral("--sim-socket"),
                                 QStringLiteral("--data-dir")};

Error usage(const QString& text) {
    return Error{ErrorKind::Value, text.toStdString() + "; see tavrikctl --help"};
}

QString optionName(const QString& arg) {
    return arg.section(u'=', 0, 0);
}

// The arguments for QCommandLineParser and, after the verb `set`, the set words with the
// common options taken out of them.
void splitSetWords(const QStringList& in, QStringList& parsed, QStringList& setWords) {
    int i = 0;
    bool seenSet = false;
    for (; i < in.size(); ++i) {
        const QString& a = in[i];
        if (!seenSet && a.startsWith(u'-')) {
            parsed << a;
            if (kValueOptions.contains(a) && i + 1 < in.size()) parsed << in[++i];
            continue;
        }
        if (!seenSet && a != QLatin1StringView("set")) {
            parsed << a;
            continue;
        }
        if (!seenSet) {
            seenSet = true;
            parsed << a;
            continue;
        }
        if (kCommonOptions.contains(optionName(a))) {
            parsed << a;
            if (!a.contains(u'=') && a != QLatin1StringView("--simulate") && i + 1 < in.size()) {
                parsed << in[++i];
            }
            continue;
        }
        setWords << a;
    }
}

// QCommandLineParser's error in the form of the other errors: the option as it was typed, no
// capital letter, no full stop.
QString parseError(const QCommandLineParser& parser, const QStringList& arguments) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        for (const QString& a : arguments) {
            const QString name = optionName(a);
            if (a.startsWith(u'-') && name.mid(a.startsWith(u"--") ? 2 : 1) == unknown.first()) {
                return QStringLiteral("unknown option \"%1\"").arg(name);
            }
        }
        return QStringLiteral("unknown option \"%1\"").arg(unknown.first());
    }
    QString text = parser.errorText();
    if (text.endsWith(u'.')) text.chop(1);
    if (!text.isEmpty()) text[0] = text[0].toLower();
    return text;
}

}  // namespace

Result<CtlCommand> parseCommandLine(const QStringList& arguments) {
    QStringList parsed{QStringLiteral("tavrikctl")};
    QStringList setWords;
    splitSetWords(arguments, parsed, setWords);

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption simulate(QStringLiteral("simulate"));
    const QCommandLineOption simSocket(QStringLiteral("sim-socket"), QString(),
                                       QStringLiteral("PATH"));
    const QCommandLineOption dataDir(QStringLiteral("data-dir"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QString(), QStringLiteral("FILE"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({simulate, simSocket, dataDir, json, output, help, version});
    if (!parser.parse(parsed)) return usage(parseError(parser, parsed));

    CtlCommand c;
    c.help = parser.isSet(help);
    c.version = parser.isSet(version);
    if (c.help || c.version) return c;
    c.options.simulate = parser.isSet(simulate);
    c.options.simSocket = parser.value(simSocket).toStdString();
    c.options.dataDir = parser.value(dataDir).toStdString();
    if (c.options.simulate && !c.options.simSocket.empty()) {
        return usage(QStringLiteral("--simulate and --sim-socket exclude each other"));
    }
    if (parser.isSet(simSocket) && c.options.simSocket.empty()) {
        return usage(QStringLiteral("--sim-socket needs a path"));
    }
    if (parser.isSet(dataDir) && c.options.dataDir.empty()) {
        return usage(QStringLiteral("--data-dir needs a folder"));
    }
    // The arguments arrive decoded as UTF-8 with bad bytes replaced: such a name would name
    // another folder, so it is refused.
    if (parser.value(dataDir).contains(QChar::ReplacementCharacter)) {
        return usage(
            QStringLiteral("--data-dir: the folder's name is not valid UTF-8; rename it "
                           "or give a link to it whose name is UTF-8"));
    }
    c.json = parser.isSet(json);
    c.output = parser.value(output);

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) return usage(QStringLiteral("no command given"));
    c.verb = positional.takeFirst();
    c.args = c.verb == QLatin1StringView("set") ? setWords : positional;
    const VerbShape* shape = nullptr;
    for (const VerbShape& v : kVerbs) {
        if (c.verb == QLatin1StringView(v.verb)) shape = &v;
    }
    if (!shape) return usage(QStringLiteral("unknown command \"%1\"").arg(c.verb));
    if (c.args.size() < shape->minArgs || c.args.size() > shape->maxArgs) {
        return usage(QStringLiteral("wrong number of arguments; use: tavrikctl %1")
                         .arg(QLatin1StringView(shape->form)));
    }
    if ((c.json || parser.isSet(output)) && c.verb != QLatin1StringView("dump")) {
        return usage(QStringLiteral("--json and -o belong to dump"));
    }
    if (parser.isSet(output) && c.output.isEmpty()) return usage(QStringLiteral("-o needs a file"));
    if (c.verb == QLatin1StringView("profiles")) {
        const QString& sub = c.args[0];
        const bool list = sub == QLatin1StringView("list");
        const bool named = sub == QLatin1StringView("apply") || sub == QLatin1StringView("save");
        if (!(list && c.args.size() == 1) && !(named && c.args.size() == 2)) {
            return usage(QStringLiteral("profiles takes list, apply NAME or save NAME"));
        }
    }
    return c;
}

QString helpText() {
    QString text = QStringLiteral(
        "usage: tavrikctl [--simulate | --sim-socket PATH] [--data-dir DIR] COMMAND ...\n"
        "\n"
        "commands:\n"
        "  status                  keyboard, permission, firmware, transport, tool running\n"
        "  dump [--json] [-o FILE] read the keyboard and print its whole configuration\n"
        "  apply FILE              a profile (.bin, short or long) or a JSON document\n"
        "  export FILE.json        the configuration as a JSON document\n"
        "  import FILE.json        a JSON document back to the keyboard\n"
        "  set ...                 one setting:\n");
    for (const QString& line :
         QString::fromStdString(describe::setCommandUsage()).split(u'\n', Qt::SkipEmptyParts)) {
        text += QStringLiteral("                            ") + line + u'\n';
    }
    text += QStringLiteral(
        "  profiles list|apply NAME|save NAME\n"
        "                          the tool's profile folder\n"
        "\n"
        "options:\n"
        "  --simulate              the emulated keyboard, in-process\n"
        "  --sim-socket PATH       a running tavrik-kbsim serving on PATH\n"
        "  --data-dir DIR          where keymap.bin, MacroDefine.bin and Configure/ live\n"
        "  --help, --version\n"
        "\n"
        "When the tool runs, every command that reads or writes the keyboard runs in it.\n"
        "\n"
        "exit codes: 0 done, 1 device failure, 2 usage or bad input, 3 no keyboard,\n"
        "            4 no permission, 5 file error (nothing changed),\n"
        "            6 the keyboard changed but keymap.bin could not be written\n");
    return text;
}

}  // namespace tavrik::ctl
