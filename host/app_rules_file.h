#pragma once
// The rules of profiles that follow the application in front, in the data folder's
// app-profiles.json (described in host/APP_PROFILES.md): read at start, written atomically after
// each edit. A file that cannot be read or is damaged is never replaced: edits are refused and
// the problem is reported until the file is fixed or removed.

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonObject>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "appprofiles/app_rules.h"
#include "common/result.h"

namespace tavrik::app {

inline constexpr const char* kAppRulesFileName = "app-profiles.json";
inline constexpr const char* kAppRulesFormat = "tavrik-87rev-app-profiles";
inline constexpr int kAppRulesVersion = 1;
// A larger file is refused without being parsed.
inline constexpr qsizetype kMaxAppRulesBytes = 256 * 1024;

// Parses the file's text. Value error with the member's path ("profiles[1].apps[0]: ...").
Result<appprofiles::AppRules> parseAppRules(QByteArrayView json);
// The JSON object, and the file's text (indented, ending in a line break).
QJsonObject appRulesObject(const appprofiles::AppRules& rules);
QByteArray appRulesJson(const appprofiles::AppRules& rules);

class AppRulesFile {
public:
    explicit AppRulesFile(const std::filesystem::path& dataFolder);

    const std::filesystem::path& path() const { return m_path; }
    // Reads the file again: a missing file holds no rules; one that cannot be read or parsed
    // leaves no rules in force and sets problem().
    void load();
    const appprofiles::AppRules& rules() const { return m_rules; }
    // Why the file cannot be used, in English (for the command line and the log); none when it
    // can.
    const std::optional<std::string>& problem() const { return m_problem; }

    // Reads the file again, edits its rules and, when the edit changed them, writes the file.
    // Refused when problem() is set then (the file stays as it is), and when the write fails
    // (the rules stay as they were).
    Result<appprofiles::Edit> edit(
        const std::function<appprofiles::Edit(appprofiles::AppRules&)>& f);

private:
    std::filesystem::path m_path;
    appprofiles::AppRules m_rules;
    std::optional<std::string> m_problem;
};

}  // namespace tavrik::app
