#include "appconfig/app_options.h"

#include "build_info.h"
#include "common/utf16.h"

namespace tavrik::appconfig {
namespace {

constexpr int kEnglishLanguageCode = 9;

constexpr std::string_view kUsage =
    "Usage: tavrik-87rev [options]\n"
    "  --simulate           use the emulated keyboard in-process\n"
    "  --sim-socket PATH    connect to a running tavrik-kbsim\n"
    "  --data-dir DIR       keep keymap.bin, MacroDefine.bin and profiles in DIR\n"
    "  --lang en|zh         display language (default: the system's)\n"
    "  --minimized          start in the notification area\n"
    "  -v, --version        show the version\n"
    "  -h, --help           show this text\n";

// Splits "--name=value" into name and value.
struct Arg {
    std::string_view name;
    std::optional<std::string_view> inlineValue;
};

Arg splitArg(std::string_view a) {
    const auto eq = a.find('=');
    if (eq == std::string_view::npos) return {a, std::nullopt};
    return {a.substr(0, eq), a.substr(eq + 1)};
}

Status setLanguage(Options& o, std::string_view v) {
    if (v == "en") {
        o.language = Language::English;
    } else if (v == "zh") {
        o.language = Language::Chinese;
    } else {
        return valueError("--lang takes en or zh, not '" + std::string(v) + "'");
    }
    return {};
}

Status setValue(Options& o, std::string_view name, std::string_view v) {
    if (v.empty()) return valueError(std::string(name) + " needs a value");
    if (name == "--sim-socket") {
        o.simSocket = v;
    } else if (name == "--data-dir") {
        // Paths reach the Qt layer and the messages as UTF-8: a name in another encoding would
        // come out as another folder, so it is refused rather than changed.
        if (utf16ToUtf8(utf8ToUtf16(v)) != v) {
            return valueError(
                "--data-dir: the folder's name is not valid UTF-8; rename it or give a link "
                "to it whose name is UTF-8");
        }
        o.dataDir = v;
    } else {
        return setLanguage(o, v);
    }
    return {};
}

bool takesValue(std::string_view name) {
    return name == "--sim-socket" || name == "--data-dir" || name == "--lang";
}

}  // namespace

Result<Options> parseOptions(std::span<const std::string_view> args) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const Arg a = splitArg(args[i]);
        if (takesValue(a.name)) {
            std::string_view v;
            if (a.inlineValue) {
                v = *a.inlineValue;
            } else if (i + 1 < args.size()) {
                v = args[++i];
            }
            if (Status s = setValue(o, a.name, v); !s) return s.error();
        } else if (a.name == "--simulate" && !a.inlineValue) {
            o.simulate = true;
        } else if (a.name == "--help" && !a.inlineValue) {
            o.help = true;
        } else if (a.name == "--version" && !a.inlineValue) {
            o.version = true;
        } else if (a.name == "--minimized" && !a.inlineValue) {
            o.minimized = true;
        } else {
            return valueError("unknown option '" + std::string(args[i]) + "'");
        }
    }
    if (o.simulate && !o.simSocket.empty()) {
        return valueError("--simulate and --sim-socket exclude each other");
    }
    return o;
}

std::string_view usageText() {
    return kUsage;
}

std::string versionText() {
    return std::string("tavrik-87rev ") + TAVRIK_VERSION + "\n";
}

Language languageForLocale(std::string_view localeName) {
    const bool chinese = localeName.size() >= 2 && localeName.substr(0, 2) == "zh" &&
                         (localeName.size() == 2 || localeName[2] == '_' || localeName[2] == '-' ||
                          localeName[2] == '.');
    return chinese ? Language::Chinese : Language::English;
}

Language chooseLanguage(const Options& options, std::string_view systemLocale) {
    return options.language.value_or(languageForLocale(systemLocale));
}

DisplayLanguage displayLanguage(Language chosen, bool chineseFontAvailable) {
    if (chosen == Language::Chinese && !chineseFontAvailable) return {Language::English, true};
    return {chosen, false};
}

int languageCode(Language language) {
    return language == Language::Chinese ? kChineseLanguageCode : kEnglishLanguageCode;
}

std::filesystem::path dataFolder(const DataFolderInputs& in) {
    if (!in.dataDir.empty()) return std::filesystem::path(in.dataDir);
    if (in.skinBesideProgram && in.programFolderWritable) return in.programFolder;
    std::filesystem::path base(in.xdgDataHome);
    if (in.xdgDataHome.empty() || !base.is_absolute()) {
        base = std::filesystem::path(in.home) / ".local" / "share";
    }
    return base / kDataFolderName;
}

}  // namespace tavrik::appconfig
