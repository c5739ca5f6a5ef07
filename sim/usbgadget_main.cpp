// tavrik-usbgadget: the emulated keyboard as a USB device for a real kernel (configfs and
// FunctionFS on a device controller such as dummy_hcd's). Linux only; run as root.
//     tavrik-usbgadget [--trace FILE] [--version MAJOR.MINOR] [--product ID] [--name NAME]
//                      [--udc UDC] [--serial TEXT]
// Operator commands are read from standard input (see operator_commands.h); unplug unbinds the
// gadget from its controller, plug binds it again.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "common/thread_annotations.h"
#include "sim/firmware.h"
#include "sim/operator_commands.h"
#include "sim/trace_format.h"
#include "sim/usb_gadget.h"

namespace {

constexpr const char* kUsage =
    "usage: tavrik-usbgadget [--help] [--trace FILE] [--version MAJOR.MINOR] [--product ID]\n"
    "                        [--name NAME] [--udc UDC] [--serial TEXT]\n";

int usage() {
    std::cerr << kUsage;
    return 2;
}

int help() {
    std::cout << kUsage
              << "Plugs the emulated keyboard into the kernel as a USB device (configfs and\n"
                 "FunctionFS; needs root, configfs, usb_f_fs and a device controller).\n"
                 "  --trace FILE              write every report to FILE, one a line\n"
                 "  --version MAJOR.MINOR     firmware version (default 1.1, each 0..255)\n"
                 "  --product ID              USB product id (default 0xA131; the keyboard also\n"
                 "                            comes as 0x0001; any other id makes a decoy)\n"
                 "  --name NAME               gadget and FunctionFS name (default tavrik)\n"
                 "  --udc UDC                 device controller to bind (default dummy_udc.0)\n"
                 "  --serial TEXT             USB serial number (default TAVRIK0001)\n"
                 "  --help                    print this help\n"
              << tavrik::sim::kOperatorHelp
              << "  (unplug unbinds the gadget from its controller, plug binds it again)\n";
    return 0;
}

bool parseId(const std::string& text, std::uint16_t& out) {
    std::size_t used = 0;
    unsigned long v = 0;
    try {
        v = std::stoul(text, &used, 0);
    } catch (const std::exception&) {
        return false;
    }
    if (used != text.size() || v > 0xFFFF) return false;
    out = static_cast<std::uint16_t>(v);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    tavrik::sim::GadgetConfig config;
    std::string tracePath;
    int major = 1, minor = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            return help();
        } else if (arg == "--trace" && hasValue) {
            tracePath = argv[++i];
        } else if (arg == "--version" && hasValue) {
            char end = 0;
            if (std::sscanf(argv[++i], "%d.%d%c", &major, &minor, &end) != 2 || major < 0 ||
                major > 255 || minor < 0 || minor > 255) {
                return usage();
            }
        } else if (arg == "--product" && hasValue) {
            if (!parseId(argv[++i], config.productId)) return usage();
        } else if (arg == "--name" && hasValue) {
            config.name = argv[++i];
        } else if (arg == "--udc" && hasValue) {
            config.udc = argv[++i];
        } else if (arg == "--serial" && hasValue) {
            config.serial = argv[++i];
        } else {
            return usage();
        }
    }
    if (config.name.empty() || config.name.find('/') != std::string::npos) return usage();

    tavrik::sim::Firmware firmware;
    firmware.setFirmwareVersion(static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor));
    std::ofstream trace;
    const auto start = std::chrono::steady_clock::now();
    if (!tracePath.empty() && !tavrik::sim::traceToFile(firmware, tracePath, trace)) {
        std::cerr << "cannot write " << tracePath << '\n';
        return 1;
    }

    // Unplug and plug (also the remove fault's) in the trace's clock, for timing the arrival.
    tavrik::Mutex outMutex;
    config.onBound = [&](bool bound) {
        const auto ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        tavrik::MutexLock guard(outMutex);
        std::printf("%s at %.3f ms\n", bound ? "plugged" : "unplugged", ms);
        std::fflush(stdout);
    };
    tavrik::sim::UsbGadget gadget(firmware, config);
    if (tavrik::Status s = gadget.start(); !s) {
        std::cerr << s.error().context << '\n';
        gadget.stop();
        return 1;
    }
    std::printf("bound to %s\n", config.udc.c_str());
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
        std::ostringstream answer;
        const bool more = tavrik::sim::runOperatorCommand(firmware, line, answer);
        {
            tavrik::MutexLock guard(outMutex);
            std::fputs(answer.str().c_str(), stdout);
            std::fflush(stdout);
        }
        if (!more) break;
    }
    gadget.stop();
    return 0;
}
