#include "sim/operator_commands.h"

#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "model/slot_table.h"

namespace tavrik::sim {

namespace {

// Reads one whole-number argument within [lo, hi]; nothing when it is missing, not a number or
// out of range.
std::optional<int> numberArg(std::istringstream& in, int lo, int hi) {
    std::string word;
    if (!(in >> word)) return std::nullopt;
    std::size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(word, &used);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (used != word.size() || value < lo || value > hi) return std::nullopt;
    return value;
}

bool atEnd(std::istringstream& in) {
    std::string rest;
    return !(in >> rest);
}

}  // namespace

bool runOperatorCommand(Firmware& firmware, const std::string& line, std::ostream& out) {
    std::istringstream in(line);
    std::string word;
    if (!(in >> word)) return true;
    if (word == "quit") return false;
    if (word == "press") {
        const std::optional<int> slot = numberArg(in, 0, model::kSlotCount - 1);
        if (!slot || !atEnd(in)) {
            out << "refused: press takes a slot number 0.." << model::kSlotCount - 1 << '\n';
            return true;
        }
        out << (firmware.pressKey(*slot) ? "pressed " : "no host action on slot ") << *slot << '\n';
    } else if (word == "unplug") {
        firmware.unplug();
        out << "unplugged\n";
    } else if (word == "plug") {
        firmware.plug();
        out << "plugged\n";
    } else if (word == "dump") {
        out << firmware.describe();
    } else if (word == "version") {
        const std::optional<int> major = numberArg(in, 0, 255);
        const std::optional<int> minor = major ? numberArg(in, 0, 255) : std::nullopt;
        if (!minor || !atEnd(in)) {
            out << "refused: version takes a major and a minor number 0..255\n";
            return true;
        }
        firmware.setFirmwareVersion(static_cast<std::uint8_t>(*major),
                                    static_cast<std::uint8_t>(*minor));
        out << "version " << *major << '.' << *minor << '\n';
    } else if (word == "fault") {
        std::string name;
        in >> name;
        Faults f;
        if (name == "noack") {
            f.noAcknowledgements = true;
        } else if (name == "noreply") {
            f.noGetReply = true;
        } else if (name == "garbage") {
            f.garbageEvents = true;
        } else if (name == "badsum") {
            f.badReplyChecksum = true;
        } else if (name == "remove") {
            const std::optional<int> packets = numberArg(in, 0, 1 << 20);
            if (!packets) {
                out << "refused: fault remove takes a number of packets\n";
                return true;
            }
            f.removeAfterPackets = *packets;
        } else if (name != "none") {
            out << "refused: unknown fault '" << name
                << "' (none, noack, noreply, garbage, badsum, "
                << "remove <packets>)\n";
            return true;
        }
        if (!atEnd(in)) {
            out << "refused: too many words after fault " << name << '\n';
            return true;
        }
        firmware.setFaults(f);
        out << "fault " << name << '\n';
    } else {
        out << "refused: unknown command '" << word << "'\n" << kOperatorHelp;
    }
    return true;
}

}  // namespace tavrik::sim
