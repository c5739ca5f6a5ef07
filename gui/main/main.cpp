#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "appconfig/app_options.h"
#include "main/tavrik_app.h"

namespace {

// The tool's own options ("--name" and their values, "-h" and "-v"), so that help, the version
// and mistakes are answered before a display is needed; Qt's other single-dash options are left
// to Qt.
std::vector<std::string_view> toolArguments(int argc, char** argv) {
    std::vector<std::string_view> out;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "-h" || a == "-v") {
            out.push_back(a == "-h" ? "--help" : "--version");
            continue;
        }
        if (!a.starts_with("--")) continue;
        out.push_back(a);
        const bool valueFollows = (a == "--sim-socket" || a == "--data-dir" || a == "--lang");
        if (valueFollows && i + 1 < argc) out.push_back(argv[++i]);
    }
    return out;
}

// In a Wayland session with XWayland, run on the xcb platform: the desktop-wide key capture
// (XRecord) and window dragging then behave as on X11. An explicit QT_QPA_PLATFORM is kept.
void preferXcbUnderWayland() {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* x11 = std::getenv("DISPLAY");
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    if (wayland && *wayland && x11 && *x11 && !(chosen && *chosen)) {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = tavrik::appconfig::parseOptions(toolArguments(argc, argv));
    if (!options) {
        std::fprintf(stderr, "tavrik-87rev: %s\n%s", options.error().context.c_str(),
                     tavrik::appconfig::usageText().data());
        return 2;
    }
    if (options->help) {
        std::fputs(tavrik::appconfig::usageText().data(), stdout);
        return 0;
    }
    if (options->version) {
        std::fputs(tavrik::appconfig::versionText().c_str(), stdout);
        return 0;
    }
    preferXcbUnderWayland();
    tavrik::app::TavrikApp app(argc, argv);
    return app.run();
}
