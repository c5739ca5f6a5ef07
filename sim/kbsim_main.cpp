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

int usage() {
    std::cerr << "usage: tavrik-kbsim [--trace FILE] [--version MAJOR.MINOR] SOCKET\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string socketPath, tracePath;
    int major = 1, minor = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--trace" && i + 1 < argc) {
            tracePath = argv[++i];
        } else if (arg == "--version" && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%d.%d", &major, &minor) != 2) return usage();
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
    const auto start = std::chrono::steady_clock::now();
    if (!tracePath.empty()) {
        trace.open(tracePath, std::ios::out | std::ios::trunc);
        if (!trace) {
            std::cerr << "cannot write " << tracePath << '\n';
            return 1;
        }
        firmware.setTrace([&](tavrik::sim::Direction d, tavrik::sim::ReportKind k,
                              std::span<const std::uint8_t> bytes) {
            const auto since = std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::steady_clock::now() - start);
            trace << tavrik::sim::traceLine(since, d, k, bytes) << '\n';
            trace.flush();
        });
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
