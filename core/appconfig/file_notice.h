#pragma once
// The notice that a data file (keymap.bin, MacroDefine.bin) exists but is left alone because the
// tool may not read or write it: told once per file and run, naming the file and the reason.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "common/language.h"

namespace tavrik::appconfig {

// The notice's text for a file with the given problem.
std::string fileNoticeText(const std::filesystem::path& file, FileProblem problem, Language lang);

class FileNotices {
public:
    // The notice for file when it has a FileProblem now and none was given for it before in this
    // run; otherwise nothing.
    std::optional<std::string> noticeFor(const std::filesystem::path& file, Language lang);

private:
    std::vector<std::filesystem::path> m_told;
};

}  // namespace tavrik::appconfig
