#include <cstdio>
#include <string_view>
#include <vector>

#include "main/vedivezaziva_app.h"
#include "mainwindow/app_options.h"

namespace {

// The tool's own options ("--name" and their values), so that --help and mistakes are answered
// before a display is needed; Qt's single-dash options are left to Qt.
std::vector<std::string_view> toolArguments(int argc, char** argv) {
    std::vector<std::string_view> out;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (!a.starts_with("--")) continue;
        out.push_back(a);
        const bool valueFollows = (a == "--sim-socket" || a == "--data-dir" || a == "--lang");
        if (valueFollows && i + 1 < argc) out.push_back(argv[++i]);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = tavrik::mainwindow::parseOptions(toolArguments(argc, argv));
    if (!options) {
        std::fprintf(stderr, "tavrik-87rev: %s\n%s", options.error().context.c_str(),
                     tavrik::mainwindow::usageText().data());
        return 2;
    }
    if (options->help) {
        std::fputs(tavrik::mainwindow::usageText().data(), stdout);
        return 0;
    }
    tavrik::app::CVediVezazivaApp app(argc, argv);
    return app.run();
}
