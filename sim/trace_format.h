#pragma once
// One trace line per report: milliseconds since the start, direction ("in" received by the
// keyboard, "out" sent by it), kind and the bytes in upper-case hex separated by blanks:
//     12.345 in feature 00 0D 00 00 08 00 00 00 EA

#include <chrono>
#include <fstream>
#include <span>
#include <string>

#include "sim/firmware.h"

namespace tavrik::sim {

std::string traceLine(std::chrono::microseconds sinceStart, Direction direction, ReportKind kind,
                      std::span<const std::uint8_t> bytes);

// Writes the firmware's trace into `path` (emptied first), one flushed line per report, timed
// from this call. Returns false when the file cannot be written. `out` must outlive the firmware's
// use of the trace.
bool traceToFile(Firmware& firmware, const std::string& path, std::ofstream& out);

}  // namespace tavrik::sim
