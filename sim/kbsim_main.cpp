// tavrik-kbsim: the emulated keyboard served over a Unix socket.
//     tavrik-kbsim [--trace FILE] [--version MAJOR.MINOR] SOCKET
// Operator commands are read from standard input (see kbsim_server.h).

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <mutex>
#include <string>

#include "sim/firmware.h"
#include "sim/kbsim_server.h"
#include "sim/trace_format.h"

namespace {

constexpr const char* kUsage =
    "usage: tavrik-kbsim [--help] [--trace FILE] [--version MAJOR.MINOR] SOCKET\n";

int usage() {
    std::cerr << kUsage;
    return 2;
}

int help() {
    std::cout << kUsage
              << "Serves the emulated keyboard on the Unix socket SOCKET.\n"
                 "  --trace FILE              write every report to FILE, one a line\n"
                 "  --version MAJOR.MINOR     firmware version (default 1.1, each 0..255)\n"
                 "  --help                    print this help\n"
              << tavrik::sim::kOperatorHelp;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string socketPath, tracePath;
    int major = 1, minor = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            return help();
        } else if (arg == "--trace" && i + 1 < argc) {
            tracePath = argv[++i];
        } else if (arg == "--version" && i + 1 < argc) {
            char end = 0;
            if (std::sscanf(argv[++i], "%d.%d%c", &major, &minor, &end) != 2 || major < 0 ||
                major > 255 || minor < 0 || minor > 255) {
                return usage();
            }
        } else if (!arg.empty() && arg[0] != '-' && socketPath.empty()) {
            socketPath = arg;
        } else {
            return usage();
        }
    }
    if (socketPath.empty()) return usage();

    tavrik::sim::Firmware firmware;
    firmware.setFirmwareVersion(static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor));
    std::ofstream trace;
    if (!tracePath.empty() && !tavrik::sim::traceToFile(firmware, tracePath, trace)) {
        std::cerr << "cannot write " << tracePath << '\n';
        return 1;
    }

    tavrik::sim::KbsimServer server(firmware, socketPath);
    if (tavrik::Status s = server.listen(); !s) {
        std::cerr << s.error().context << '\n';
        return 1;
    }
    std::cout << "listening on " << socketPath << std::endl;
    server.run(STDIN_FILENO, std::cout);
    return 0;
}
