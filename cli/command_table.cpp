#include "cli/command_table.h"

#include <string>
#include <vector>

#include "describe/set_command.h"
#include "describe/words.h"

namespace tavrik::ctl {
namespace {

constexpr std::array<Operand, 0> kNone{};
constexpr std::array kFile{Operand::File};
constexpr std::array kJsonFile{Operand::JsonFile};
constexpr std::array kOutput{Operand::OutputFile};
constexpr std::array kProfile{Operand::Profile};
constexpr std::array kNewProfile{Operand::NewName};
constexpr std::array kRename{Operand::Profile, Operand::NewName};
constexpr std::array kSetWords{Operand::SetWords};
constexpr std::array kBind{Operand::Profile, Operand::AppId};
constexpr std::array kUnbind{Operand::RuleProfile, Operand::AppId};

constexpr std::string_view kNamesSummary = "the names set takes";
constexpr std::string_view kCompletionSummary = "the shell's completion script";

constexpr std::array<CommandForm, 20> kForms{{
    {"status", "", kNone, kJsonOption, Access::Reads, "[--json]",
     "keyboard, permission, firmware, transport, tool running"},
    {"dump", "", kNone, kJsonOption | kOutputOption, Access::Reads, "[--json] [-o FILE|-]",
     "read the keyboard and print its whole configuration"},
    {"apply", "", kFile, kNoOptions, Access::Writes, "FILE",
     "a profile (.bin, short or long) or a JSON document"},
    {"export", "", kOutput, kNoOptions, Access::Reads, "FILE.json|-",
     "the configuration as a JSON document"},
    {"import", "", kJsonFile, kNoOptions, Access::Writes, "FILE.json",
     "a JSON document back to the keyboard"},
    {"set", "", kSetWords, kNoOptions, Access::Writes, "...", "one setting:"},
    {"list", "effects", kNone, kNoOptions, Access::None, "", kNamesSummary},
    {"list", "presets", kNone, kNoOptions, Access::None, "", kNamesSummary},
    {"list", "keys", kNone, kNoOptions, Access::None, "", kNamesSummary},
    {"profiles", "list", kNone, kJsonOption, Access::None, "[--json]", "the tool's profiles"},
    {"profiles", "apply", kProfile, kNoOptions, Access::Writes, "NAME",
     "a profile to the keyboard"},
    {"profiles", "save", kNewProfile, kNoOptions, Access::Reads, "NAME",
     "the configuration into a profile"},
    {"profiles", "delete", kProfile, kNoOptions, Access::None, "NAME", "removes a profile"},
    {"profiles", "rename", kRename, kNoOptions, Access::None, "NAME NEW", "renames a profile"},
    {"profiles", "bind", kBind, kDefaultOption, Access::None, "NAME APP-ID | --default NAME",
     "the profile for an application, or for every other one"},
    {"profiles", "unbind", kUnbind, kNoOptions, Access::None, "NAME APP-ID",
     "removes an application from a profile"},
    {"profiles", "rules", kNone, kJsonOption, Access::None, "[--json]",
     "the profiles per application"},
    {"completion", "bash", kNone, kNoOptions, Access::None, "", kCompletionSummary},
    {"completion", "zsh", kNone, kNoOptions, Access::None, "", kCompletionSummary},
    {"completion", "fish", kNone, kNoOptions, Access::None, "", kCompletionSummary},
}};

// "  profiles list [--json]" padded to the summary column, or on a line of its own when long.
QString helpRow(const QString& left, std::string_view summary) {
    constexpr qsizetype kColumn = 26;
    QString row = QStringLiteral("  ") + left;
    if (row.size() + 1 > kColumn) {
        row += u'\n';
        row += QString(kColumn, u' ');
    } else {
        row = row.leftJustified(kColumn);
    }
    return row + tableText(summary) + u'\n';
}

}  // namespace

QString tableText(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString formName(const CommandForm& form) {
    return form.word.empty() ? tableText(form.verb)
                             : tableText(form.verb) + u' ' + tableText(form.word);
}

std::span<const CommandForm> commandForms() {
    return kForms;
}

QStringList verbs() {
    QStringList out;
    for (const CommandForm& f : commandForms()) {
        if (!out.contains(tableText(f.verb))) out << tableText(f.verb);
    }
    return out;
}

QStringList wordsOf(std::string_view verb) {
    QStringList out;
    for (const CommandForm& f : commandForms()) {
        if (f.verb == verb && !f.word.empty()) out << tableText(f.word);
    }
    return out;
}

const CommandForm* findForm(const QString& verb, const QString& word) {
    for (const CommandForm& f : commandForms()) {
        if (verb == tableText(f.verb) && word == tableText(f.word)) return &f;
    }
    return nullptr;
}

QString suggestion(const QString& word, const QStringList& candidates) {
    std::vector<std::string> names;
    for (const QString& c : candidates) names.push_back(c.toStdString());
    const std::string best = describe::closestWord(word.toStdString(), names);
    if (best.empty()) return {};
    return QStringLiteral("; did you mean \"%1\"?").arg(QString::fromStdString(best));
}

QString helpText() {
    QString text = QStringLiteral(
        "usage: tavrikctl [--simulate | --sim-socket PATH] [--data-dir DIR] COMMAND ...\n"
        "\n"
        "commands:\n");
    const auto forms = commandForms();
    QStringList writers;
    for (std::size_t i = 0; i < forms.size(); ++i) {
        const CommandForm& f = forms[i];
        QString words = tableText(f.word);
        // Rows that differ only in their word share one line: "list effects|presets|keys".
        while (i + 1 < forms.size() && forms[i + 1].verb == f.verb &&
               forms[i + 1].summary == f.summary && forms[i + 1].usage == f.usage) {
            words += u'|' + tableText(forms[++i].word);
        }
        QString left = tableText(f.verb);
        if (!words.isEmpty()) left += u' ' + words;
        if (!f.usage.empty()) left += u' ' + tableText(f.usage);
        text += helpRow(left, f.summary);
        if (f.access == Access::Writes) {
            writers << formName(f);
        }
        if (f.verb != "set") continue;
        for (const QString& line :
             QString::fromStdString(describe::setCommandUsage()).split(u'\n', Qt::SkipEmptyParts)) {
            text += QString(28, u' ') + line + u'\n';
        }
    }
    text += QStringLiteral(
        "\n"
        "options:\n"
        "  --simulate              the emulated keyboard, in-process\n"
        "  --sim-socket PATH       a running tavrik-kbsim serving on PATH\n"
        "  --data-dir DIR          where keymap.bin, MacroDefine.bin and Configure/ live\n"
        "  --help, --version\n"
        "\n"
        "Only ");
    const QString lastWriter = writers.takeLast();
    text += writers.join(QStringLiteral(", ")) + QStringLiteral(" and ") + lastWriter;
    text += QStringLiteral(
        " change the keyboard.\n"
        "When the tool runs, every command that reads or writes the keyboard runs in it.\n"
        "\n"
        "exit codes: 0 done, 1 device failure, 2 usage or bad input, 3 no keyboard,\n"
        "            4 no permission, 5 file error (nothing changed),\n"
        "            6 the keyboard changed but keymap.bin could not be written\n");
    return text;
}

}  // namespace tavrik::ctl
