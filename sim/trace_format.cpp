#include "sim/trace_format.h"

#include <cstdio>

namespace tavrik::sim {

std::string traceLine(std::chrono::microseconds sinceStart, Direction direction, ReportKind kind,
                      std::span<const std::uint8_t> bytes) {
    char head[64];
    const long long us = sinceStart.count();
    const char* kindName = kind == ReportKind::Feature ? "feature"
                           : kind == ReportKind::Data  ? "data"
                                                       : "event";
    std::snprintf(head, sizeof head, "%lld.%03lld %s %s", us / 1000, us % 1000,
                  direction == Direction::HostToKeyboard ? "in" : "out", kindName);
    std::string line = head;
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (std::uint8_t b : bytes) {
        line += ' ';
        line += kDigits[b >> 4];
        line += kDigits[b & 0x0F];
    }
    return line;
}

bool traceToFile(Firmware& firmware, const std::string& path, std::ofstream& out) {
    out.open(path, std::ios::out | std::ios::trunc);
    if (!out) return false;
    const auto start = std::chrono::steady_clock::now();
    firmware.setTrace(
        [&out, start](Direction d, ReportKind k, std::span<const std::uint8_t> bytes) {
            const auto since = std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::steady_clock::now() - start);
            out << traceLine(since, d, k, bytes) << '\n';
            out.flush();
        });
    return true;
}

}  // namespace tavrik::sim
