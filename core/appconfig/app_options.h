#pragma once
// Command-line options of tavrik-87rev, the display language and the data folder rule.

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/language.h"
#include "common/result.h"

namespace tavrik::appconfig {

struct Options {
    bool simulate = false;             // --simulate: the emulated keyboard in-process
    std::string simSocket;             // --sim-socket PATH: a running keyboard emulator
    std::string dataDir;               // --data-dir DIR: where keymap.bin and the others live
    std::optional<Language> language;  // --lang en|zh
    bool help = false;                 // --help
    bool version = false;              // --version
    bool minimized = false;            // --minimized: start in the notification area
};

// Parses the arguments after the program name ("--opt value" or "--opt=value"). Error kind
// Value for an unknown option, a missing or bad value, or --simulate with --sim-socket.
Result<Options> parseOptions(std::span<const std::string_view> args);

// Usage text printed by --help and after an error.
std::string_view usageText();
// The line --version prints, ending in a newline.
std::string versionText();

// The language of a POSIX locale name ("zh_CN.UTF-8", "zh-TW", "en_GB"...): Chinese for any
// Chinese locale, English otherwise.
Language languageForLocale(std::string_view localeName);
// --lang overrides the system locale.
Language chooseLanguage(const Options& options, std::string_view systemLocale);
// The language the windows show: Chinese only when a font on the system covers Chinese
// characters (without one every Chinese text is drawn as empty boxes); otherwise English, with
// `fellBack` set so that the caller says so once.
struct DisplayLanguage {
    Language language = Language::English;
    bool fellBack = false;
};
DisplayLanguage displayLanguage(Language chosen, bool chineseFontAvailable);
// What the caller says when it fell back (in both languages: the user asked for Chinese).
inline constexpr BiText kNoChineseFontNotice{
    "No installed font can show Chinese, so the tool shows English. Install a Chinese font "
    "(for example fonts-wqy-microhei) and start it again.",
    "系统中没有可以显示中文的字体，因此本工具以英文显示。请安装中文字体（例如 "
    "fonts-wqy-microhei）后重新启动。"};

// The language code shared by every window: 4 for Chinese, 9 for English.
int languageCode(Language language);

// What the data folder rule needs to know about the machine.
struct DataFolderInputs {
    std::filesystem::path programFolder;  // folder of the running executable
    bool programFolderWritable = false;
    std::string xdgDataHome;         // $XDG_DATA_HOME, empty when unset
    std::string home;                // $HOME
    std::string dataDir;             // --data-dir, empty when not given
    bool skinBesideProgram = false;  // png/ lies in the program folder (build tree, unpacked copy)
};

inline constexpr const char* kDataFolderName = "tavrik-87rev";

// keymap.bin, MacroDefine.bin and Configure/ live in --data-dir when given, else in the program
// folder for a portable copy (its skin beside it and the folder writable), else in
// $XDG_DATA_HOME/tavrik-87rev ($HOME/.local/share when XDG_DATA_HOME is unset or relative). An
// installed copy thus never writes beside its executable, not even when run as root.
std::filesystem::path dataFolder(const DataFolderInputs& in);

}  // namespace tavrik::appconfig
