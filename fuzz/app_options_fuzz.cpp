// Splits arbitrary bytes at NUL into command-line arguments and parses them; a parsed result
// goes through the language and data folder rules.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "appconfig/app_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrik::appconfig;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> args;
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t end = std::min(text.find('\0', from), text.size());
        args.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    (void)languageForLocale(text);
    const auto options = parseOptions(args);
    if (!options) return 0;
    if (options->simulate && !options->simSocket.empty()) __builtin_trap();
    (void)chooseLanguage(*options, args.front());
    DataFolderInputs in;
    in.programFolder = "/opt/tavrik/bin";
    in.dataDir = options->dataDir;
    in.xdgDataHome = std::string(args.back());
    in.home = "/home/u";
    if (dataFolder(in).empty()) __builtin_trap();
    return 0;
}
