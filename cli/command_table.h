#pragma once
// tavrikctl's commands in one table: the command line is checked against it, --help lists it,
// mistyped words are answered from it, and the shell completions are generated from it.

#include <QString>
#include <QStringList>
#include <array>
#include <span>
#include <string_view>

namespace tavrik::ctl {

// What a command's operand is, for checking and for completion.
enum class Operand {
    File,         // an existing file
    JsonFile,     // an existing .json file
    OutputFile,   // a file to write, or - for standard output
    Profile,      // the name of a listed profile
    NewName,      // a profile name to create or rename to
    SetWords,     // the words of `set`
    RuleProfile,  // a profile rules name (completed from the listed profiles; need not exist)
    AppId,        // an application id (X11 window class, Wayland app id)
};

// Options a command takes besides the common ones.
enum OptionFlags : unsigned {
    kNoOptions = 0,
    kJsonOption = 1,     // --json
    kOutputOption = 2,   // -o FILE, --output FILE
    kDefaultOption = 4,  // --default: the last operand is left out
};

// What a command does to the keyboard.
enum class Access {
    None,    // no keyboard needed (rules are still written by the running tool when it runs)
    Reads,   // reads it
    Writes,  // changes it
};

struct CommandForm {
    std::string_view verb;
    std::string_view word;  // the word after the verb ("profiles list"); empty when none
    std::span<const Operand> operands;
    unsigned options;
    Access access;
    std::string_view usage;    // operands and options, as --help shows them
    std::string_view summary;  // one line
};

std::span<const CommandForm> commandForms();

// Every verb once, in table order.
QStringList verbs();
// The words a verb takes next ("list", "apply", ... for profiles); empty for a verb without.
QStringList wordsOf(std::string_view verb);
// The form of verb and word; null when there is none.
const CommandForm* findForm(const QString& verb, const QString& word);

// The verb and its word, as typed: "profiles list", "status".
QString formName(const CommandForm& form);
// The table's text as a QString (its texts are ASCII).
QString tableText(std::string_view text);

// "; did you mean "x"?" for a word close to one of the candidates, else empty.
QString suggestion(const QString& word, const QStringList& candidates);

QString helpText();

}  // namespace tavrik::ctl
