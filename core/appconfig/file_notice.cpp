#include "appconfig/file_notice.h"

#include <algorithm>

#include "appconfig/file_texts.h"

namespace tavrik::appconfig {
namespace fs = std::filesystem;

namespace {
const BiText& reasonText(FileProblem problem) {
    switch (problem) {
        case FileProblem::NotRegular:
            return text::kFileNotRegular;
        case FileProblem::NotReadable:
            return text::kFileNotReadable;
        case FileProblem::NotWritable:
            return text::kFileReadOnly;
        case FileProblem::NameTooLong:
            return text::kFileNameTooLong;
    }
    return text::kFileNotReadable;
}

void replaceFirst(std::string& s, std::string_view what, std::string_view with) {
    if (const auto at = s.find(what); at != std::string::npos) s.replace(at, what.size(), with);
}
}  // namespace

std::string fileNoticeText(const fs::path& file, FileProblem problem, Language lang) {
    std::string out(text::kFileLeftAlone.in(lang));
    // The reason first: a path may itself contain "%2".
    replaceFirst(out, "%2", reasonText(problem).in(lang));
    replaceFirst(out, "%1", file.string());
    return out;
}

std::optional<std::string> FileNotices::noticeFor(const fs::path& file, Language lang) {
    if (std::find(m_told.begin(), m_told.end(), file) != m_told.end()) return std::nullopt;
    const auto problem = fileProblem(file);
    if (!problem) return std::nullopt;
    m_told.push_back(file);
    return fileNoticeText(file, *problem, lang);
}

}  // namespace tavrik::appconfig
