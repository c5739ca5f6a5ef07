#include "cli/ctl_command_line.h"

#include <QCommandLineParser>

#include "cli/command_table.h"

namespace tavrik::ctl {
namespace {

const QStringList kValueOptions{QStringLiteral("--sim-socket"), QStringLiteral("--data-dir"),
                                QStringLiteral("-o"), QStringLiteral("--output")};
const QStringList kCommonOptions{QStringLiteral("--simulate"), QStringLiteral("--sim-socket"),
                                 QStringLiteral("--data-dir")};

// A question ("did you mean ...?") ends the line; other mistakes point to --help.
Error usage(const QString& text) {
    if (text.endsWith(u'?')) return Error{ErrorKind::Value, text.toStdString()};
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

// "status, dump and profiles list": the forms that take an option.
QString formsWith(unsigned option) {
    QStringList names;
    for (const CommandForm& f : commandForms()) {
        if (!(f.options & option)) continue;
        names << formName(f);
    }
    if (names.size() < 2) return names.join(QString());
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

// The table's form for the verb (and its word), or the message for a mistyped one.
Result<const CommandForm*> formOf(const CtlCommand& c) {
    const QStringList known = verbs();
    if (!known.contains(c.verb)) {
        return usage(
            QStringLiteral("unknown command \"%1\"%2").arg(c.verb, suggestion(c.verb, known)));
    }
    const QStringList words = wordsOf(c.verb.toStdString());
    if (words.isEmpty()) return findForm(c.verb, QString());
    if (c.args.isEmpty() || !words.contains(c.args[0])) {
        const QString typed = c.args.isEmpty() ? QString() : c.args[0];
        QString text = QStringLiteral("%1 takes %2").arg(c.verb, words.join(u'|'));
        if (!typed.isEmpty()) {
            const QString near = suggestion(typed, words);
            text = near.isEmpty()
                       ? QStringLiteral("unknown word \"%1\" after %2; %2 takes %3")
                             .arg(typed, c.verb, words.join(u'|'))
                       : QStringLiteral("unknown word \"%1\" after %2%3").arg(typed, c.verb, near);
        }
        return usage(text);
    }
    return findForm(c.verb, c.args[0]);
}

// The operands after the verb and its word: as many as the form has (set: at least one word).
Status checkOperands(const CtlCommand& c) {
    const CommandForm& f = *c.form;
    const qsizetype given = c.args.size() - (f.word.empty() ? 0 : 1);
    const bool setWords = !f.operands.empty() && f.operands.front() == Operand::SetWords;
    const qsizetype wanted = qsizetype(f.operands.size()) - (c.byDefault ? 1 : 0);
    const bool fits = setWords ? given >= 1 : given == wanted;
    if (fits) return Status::success();
    QString form = formName(f);
    if (setWords) {
        form += QStringLiteral(" effect|game-mode|win-lock|response-time|report-rate|key|diy ...");
    } else if (!f.usage.empty()) {
        form += u' ' + tableText(f.usage);
    }
    return usage(QStringLiteral("wrong number of arguments; use: tavrikctl %1").arg(form));
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
    const QCommandLineOption byDefault(QStringLiteral("default"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({simulate, simSocket, dataDir, json, output, byDefault, help, version});
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
    c.byDefault = parser.isSet(byDefault);
    c.output = parser.value(output);

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) return usage(QStringLiteral("no command given"));
    c.verb = positional.takeFirst();
    c.args = c.verb == QLatin1StringView("set") ? setWords : positional;
    const auto form = formOf(c);
    if (!form) return form.error();
    c.form = *form;
    if (c.byDefault && !(c.form->options & kDefaultOption)) {
        return usage(QStringLiteral("--default belongs to %1").arg(formsWith(kDefaultOption)));
    }
    if (Status s = checkOperands(c); !s) return s.error();
    if (c.json && !(c.form->options & kJsonOption)) {
        return usage(QStringLiteral("--json belongs to %1").arg(formsWith(kJsonOption)));
    }
    if (parser.isSet(output) && !(c.form->options & kOutputOption)) {
        return usage(QStringLiteral("-o belongs to %1").arg(formsWith(kOutputOption)));
    }
    if (parser.isSet(output) && c.output.isEmpty()) return usage(QStringLiteral("-o needs a file"));
    return c;
}

}  // namespace tavrik::ctl
