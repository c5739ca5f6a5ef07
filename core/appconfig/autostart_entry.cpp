#include "appconfig/autostart_entry.h"

namespace tavrik::appconfig {

std::filesystem::path autostartEntryPath(std::string_view xdgConfigHome, std::string_view home) {
    std::filesystem::path base(xdgConfigHome);
    if (xdgConfigHome.empty() || !base.is_absolute()) {
        base = std::filesystem::path(home) / ".config";
    }
    return base / "autostart" / kAutostartFileName;
}

std::string execArgument(std::string_view program) {
    constexpr std::string_view kReserved = " \t\n\r\"'\\><~|&;$*?#()`";
    constexpr std::string_view kEscapedInQuotes = "\"`$\\";
    const bool quote = program.find_first_of(kReserved) != std::string_view::npos;
    std::string arg;
    for (char c : program) {
        if (c == '%') {
            arg += "%%";
            continue;
        }
        if (quote && kEscapedInQuotes.find(c) != std::string_view::npos) arg += '\\';
        arg += c;
    }
    if (!quote) return arg;
    return "\"" + desktopString(arg) + "\"";
}

std::string desktopString(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\r':
                escaped += "\\r";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string autostartEntry(std::string_view program) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Tavrik 87Rev\n"
           "Comment=Keyboard configuration and launch actions\n"
           "TryExec=" +
           desktopString(program) +
           "\n"
           "Exec=" +
           execArgument(program) +
           " --minimized\n"
           "Icon=tavrik-87rev\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

}  // namespace tavrik::appconfig
