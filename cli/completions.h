#pragma once
// Shell completion for tavrikctl. The scripts for bash, zsh and fish are thin: each asks
// `tavrikctl __complete WORD...` for the candidates, so commands, setting words, effect, preset,
// key and profile names all come from the command table and the name lists at the moment of
// completion and never go stale.

#include <QString>
#include <QStringList>

namespace tavrik::ctl {

// The hidden verb the scripts call.
inline constexpr const char* kCompleteVerb = "__complete";
// A first candidate line that asks the shell for its own file or folder completion.
inline constexpr const char* kFilesDirective = ":files";
inline constexpr const char* kFoldersDirective = ":dirs";

// Candidates for the last of `words` (the words after the program name; the last is the word
// being typed, maybe empty). The shell filters them by the typed prefix.
QStringList completionCandidates(const QStringList& words);

// The completion script of "bash", "zsh" or "fish"; empty for another shell.
QString completionScript(const QString& shell);

}  // namespace tavrik::ctl
