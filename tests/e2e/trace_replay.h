#pragma once
// Reads a tavrik-kbsim trace and plays the reports in it to a fresh emulated keyboard, so that
// the keyboard's configuration after a run can be rebuilt from what the tool actually sent.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/image_layout.h"

namespace tavrik::e2e {

struct TraceRecord {
    double ms = 0;            // since the emulator started
    bool toKeyboard = false;  // "in"
    std::string kind;         // feature, data or event
    std::vector<std::uint8_t> bytes;
};

// The well-formed lines of the trace file; a line still being written is left out.
std::vector<TraceRecord> readTrace(const std::filesystem::path& file);

struct ReplayResult {
    model::Image image{};
    std::vector<std::string> protocolErrors;
};

// A factory-fresh keyboard receives the records in order (pauses timed by the records' times);
// it is unplugged and plugged in again before each record index in `replugsBefore`.
ReplayResult replay(const std::vector<TraceRecord>& records,
                    const std::vector<std::size_t>& replugsBefore = {});

}  // namespace tavrik::e2e
