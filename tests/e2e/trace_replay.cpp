#include "trace_replay.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "sim/firmware.h"

namespace tavrik::e2e {
namespace {

bool parseLine(const std::string& line, TraceRecord& out) {
    std::istringstream in(line);
    std::string direction;
    if (!(in >> out.ms >> direction >> out.kind)) return false;
    if (direction != "in" && direction != "out") return false;
    out.toKeyboard = direction == "in";
    std::string hex;
    while (in >> hex) {
        if (hex.size() != 2) return false;
        out.bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex, nullptr, 16)));
    }
    return !out.bytes.empty();
}

}  // namespace

std::vector<TraceRecord> readTrace(const std::filesystem::path& file) {
    std::vector<TraceRecord> out;
    std::ifstream in(file);
    std::string line;
    // getline also yields a last line without its newline: one still being written.
    while (std::getline(in, line)) {
        if (in.eof()) break;
        TraceRecord r;
        if (parseLine(line, r)) out.push_back(std::move(r));
    }
    return out;
}

ReplayResult replay(const std::vector<TraceRecord>& records,
                    const std::vector<std::size_t>& replugsBefore) {
    double now = 0;
    sim::Firmware keyboard(
        [&now] { return std::chrono::microseconds(static_cast<std::int64_t>(now * 1000.0)); });
    for (std::size_t i = 0; i < records.size(); ++i) {
        const TraceRecord& r = records[i];
        if (std::find(replugsBefore.begin(), replugsBefore.end(), i) != replugsBefore.end()) {
            keyboard.unplug();  // a burst cut by the unplug ends with it
            keyboard.plug();
        }
        now = r.ms;
        if (r.toKeyboard && r.kind == "feature") {
            keyboard.receiveFeature(r.bytes);
        } else if (r.toKeyboard && r.kind == "data") {
            keyboard.receiveData(r.bytes);
        } else if (!r.toKeyboard && r.kind == "feature") {
            (void)keyboard.replyFeature();  // the reply the host fetched
        } else if (!r.toKeyboard && r.kind == "data") {
            (void)keyboard.sendData();  // the packet of a read burst the host fetched
        }
    }
    return {keyboard.image(), keyboard.protocolErrors()};
}

}  // namespace tavrik::e2e
