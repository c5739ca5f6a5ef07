#include "cli/completions.h"

#include <filesystem>
#include <string>
#include <vector>

#include "cli/command_table.h"
#include "cli/ctl_host.h"
#include "describe/key_function.h"
#include "describe/key_names.h"
#include "describe/name_lists.h"
#include "describe/set_command.h"
#include "profiles/profile_store.h"

namespace tavrik::ctl {
namespace {

QStringList fromStd(const std::vector<std::string>& names) {
    QStringList out;
    for (const std::string& n : names) out << QString::fromStdString(n);
    return out;
}

QStringList assignableKeys() {
    QStringList out;
    for (const std::string& name : describe::keyNames()) {
        const auto slot = describe::findSlot(name);
        if (slot && describe::checkAssignableSlot(*slot)) out << QString::fromStdString(name);
    }
    return out;
}

QStringList numbers(int from, int to, int step) {
    QStringList out;
    for (int n = from; n <= to; n += step) out << QString::number(n);
    return out;
}

bool takesValue(const QString& option) {
    return option == QLatin1StringView("--sim-socket") ||
           option == QLatin1StringView("--data-dir") || option == QLatin1StringView("-o") ||
           option == QLatin1StringView("--output");
}

// What follows `set key KEY`: a function word, or a key that starts a combination.
QStringList keyFunctionCandidates(const QStringList& function) {
    if (function.isEmpty()) {
        return QStringList{"preset", "macro", "launch", "default", "disable", "enable"} +
               fromStd(describe::keyNames());
    }
    const QString& first = function[0];
    if (first == QLatin1StringView("preset")) return fromStd(describe::presetNames());
    if (first == QLatin1StringView("launch")) {
        if (function.size() == 1) return {"program", "file", "folder", "sound"};
        return {QString::fromLatin1(kFilesDirective)};
    }
    const bool pathWord = first == QLatin1StringView("program") ||
                          first == QLatin1StringView("file") || first == QLatin1StringView("sound");
    if (pathWord) return {QString::fromLatin1(kFilesDirective)};
    if (first == QLatin1StringView("folder")) return {QString::fromLatin1(kFoldersDirective)};
    // A combination: KEY + KEY [+ KEY].
    if (function.size() < 5 && function.last() == QLatin1StringView("+")) {
        return fromStd(describe::keyNames());
    }
    if (function.size() < 5 && describe::findCode(function.last().toStdString())) return {"+"};
    return {};
}

QStringList effectOptionCandidates(const QStringList& afterName) {
    const QString prev = afterName.isEmpty() ? QString() : afterName.last();
    if (prev == QLatin1StringView("--direction")) return {"left", "right", "top", "bottom"};
    if (prev == QLatin1StringView("--speed")) return numbers(0, 9, 1);
    if (prev == QLatin1StringView("--brightness")) return numbers(0, 50, 10);
    return {"--speed", "--brightness", "--direction"};
}

QStringList setCandidates(const QStringList& words) {
    if (words.isEmpty()) {
        QStringList out;
        for (std::string_view s : describe::kSetSettings) {
            out << QString::fromLatin1(s.data(), qsizetype(s.size()));
        }
        return out;
    }
    const QString& what = words[0];
    const qsizetype n = words.size();
    if (what == QLatin1StringView("effect")) {
        return n == 1 ? fromStd(describe::effectNames()) : effectOptionCandidates(words.mid(2));
    }
    if (n == 1 &&
        (what == QLatin1StringView("game-mode") || what == QLatin1StringView("win-lock"))) {
        return {"on", "off"};
    }
    if (n == 1 && what == QLatin1StringView("response-time")) return numbers(2, 20, 2);
    if (n == 1 && what == QLatin1StringView("report-rate")) return {"125", "250", "500", "1000"};
    if (what == QLatin1StringView("key")) {
        return n == 1 ? assignableKeys() : keyFunctionCandidates(words.mid(2));
    }
    if (what == QLatin1StringView("diy")) {
        if (n == 1) return numbers(1, 5, 1);
        if (n == 2) return fromStd(describe::keyNames());
    }
    return {};
}

// The profile names of the data folder the typed words name (else the usual one).
QStringList profileNames(const QString& dataDir) {
    appconfig::Options options;
    options.dataDir = dataDir.toStdString();
    const profiles::ProfileStore store(
        profiles::profileFolder(std::filesystem::path(ownDataFolder(options).toStdString())));
    return fromStd(store.rows());
}

QStringList operandCandidates(Operand operand, const QString& dataDir) {
    switch (operand) {
        case Operand::File:
        case Operand::JsonFile:
        case Operand::OutputFile:
            return {QString::fromLatin1(kFilesDirective)};
        case Operand::Profile:
        case Operand::RuleProfile:
            return profileNames(dataDir);
        case Operand::AppId:
        case Operand::NewName:
        case Operand::SetWords:
            break;
    }
    return {};
}

QStringList optionCandidates(const CommandForm* form) {
    QStringList out{"--simulate", "--sim-socket", "--data-dir", "--help", "--version"};
    if (form && (form->options & kJsonOption)) out << "--json";
    if (form && (form->options & kOutputOption)) out << "-o";
    if (form && (form->options & kDefaultOption)) out << "--default";
    return out;
}

}  // namespace

QStringList completionCandidates(const QStringList& words) {
    if (words.isEmpty()) return verbs();
    const QString current = words.last();
    const QStringList before = words.mid(0, words.size() - 1);
    if (!before.isEmpty() && takesValue(before.last())) {
        return {QString::fromLatin1(before.last() == QLatin1StringView("--data-dir")
                                        ? kFoldersDirective
                                        : kFilesDirective)};
    }
    // The positional words typed so far, and the data folder they name.
    QStringList positional;
    QString dataDir;
    for (qsizetype i = 0; i < before.size(); ++i) {
        const QString& w = before[i];
        const bool afterSet = !positional.isEmpty() && positional[0] == QLatin1StringView("set");
        if (w.startsWith(u'-') && !afterSet) {
            if (takesValue(w) && i + 1 < before.size()) {
                if (w == QLatin1StringView("--data-dir")) dataDir = before[i + 1];
                ++i;
            }
            continue;
        }
        positional << w;
    }
    if (positional.isEmpty()) return current.startsWith(u'-') ? optionCandidates(nullptr) : verbs();
    const QString verb = positional.takeFirst();
    const QStringList verbWords = wordsOf(verb.toStdString());
    if (!verbWords.isEmpty() && positional.isEmpty()) return verbWords;
    const CommandForm* form =
        findForm(verb, verbWords.isEmpty() ? QString() : positional.takeFirst());
    if (!form) return {};
    if (verb == QLatin1StringView("set")) return setCandidates(positional);
    if (current.startsWith(u'-')) return optionCandidates(form);
    if (std::size_t(positional.size()) >= form->operands.size()) return {};
    return operandCandidates(form->operands[std::size_t(positional.size())], dataDir);
}

QString completionScript(const QString& shell) {
    if (shell == QLatin1StringView("bash")) {
        return QStringLiteral(
            R"(# bash completion for tavrikctl; the candidates come from tavrikctl itself.
_tavrikctl() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local IFS=$'\n'
    local -a out
    out=($("${COMP_WORDS[0]}" __complete "${COMP_WORDS[@]:1:COMP_CWORD}" 2>/dev/null))
    case ${out[0]} in
        :files) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- "$cur")) ;;
        :dirs) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -d -- "$cur")) ;;
        *) COMPREPLY=($(compgen -W "${out[*]}" -- "$cur")) ;;
    esac
}
complete -F _tavrikctl tavrikctl
)");
    }
    if (shell == QLatin1StringView("zsh")) {
        return QStringLiteral(R"(#compdef tavrikctl
# zsh completion for tavrikctl; the candidates come from tavrikctl itself.
_tavrikctl() {
    local -a out
    out=("${(@f)$(${words[1]} __complete "${(@)words[2,CURRENT]}" 2>/dev/null)}")
    case ${out[1]} in
        :files) _files ;;
        :dirs) _files -/ ;;
        *) compadd -a out ;;
    esac
}
_tavrikctl "$@"
)");
    }
    if (shell == QLatin1StringView("fish")) {
        return QStringLiteral(
            R"(# fish completion for tavrikctl; the candidates come from tavrikctl itself.
function __tavrikctl_candidates
    set -l words (commandline -opc) (commandline -ct)
    set -e words[1]
    set -l out (command tavrikctl __complete $words 2>/dev/null)
    switch "$out[1]"
        case :files
            __fish_complete_path (commandline -ct)
        case :dirs
            __fish_complete_directories (commandline -ct)
        case '*'
            printf '%s\n' $out
    end
end
complete -c tavrikctl -f -a '(__tavrikctl_candidates)'
)");
    }
    return {};
}

}  // namespace tavrik::ctl
