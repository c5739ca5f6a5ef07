// tavrik-kernel-check: asserts what came back from the virtual machine of tests/kernel/run.
//     tavrik-kernel-check report OUT VM_SECONDS START_EPOCH   every scenario, the figures and
//                                                             "N passed, M failed"
//     tavrik-kernel-check slot LABEL                          the key slot of a key label
// The references are the same sequences run against the in-process emulator with a virtual
// clock, so that their records carry exactly the pauses the protocol asks for (the pause floor).

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "device/command_set.h"
#include "device/pacer.h"
#include "device/sequences.h"
#include "model/image_layout.h"
#include "model/slot_table.h"
#include "sim/firmware.h"
#include "sim/sim_channel.h"
#include "trace_replay.h"

namespace {

namespace fs = std::filesystem;
namespace img = tavrik::model::image;
using tavrik::e2e::TraceRecord;
using Records = std::vector<TraceRecord>;

// Pauses only ever overshoot; the trace's time stamps of two records may still come a little
// closer than the host's pause (they are taken on the keyboard's side).
constexpr double kPauseSlackMs = 2.0;
constexpr double kStartupRatioLimit = 1.10;
constexpr double kArrivalSettleMs = 2000;

std::string readText(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> readLines(const fs::path& file) {
    std::vector<std::string> out;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string hexBytes(const std::vector<std::uint8_t>& bytes, std::size_t max = 9) {
    std::string out;
    char b[4];
    for (std::size_t i = 0; i < bytes.size() && i < max; ++i) {
        std::snprintf(b, sizeof b, "%02X ", bytes[i]);
        out += b;
    }
    return out;
}

std::string describe(const TraceRecord& r) {
    return (r.toKeyboard ? "in " : "out ") + r.kind + " " + hexBytes(r.bytes);
}

bool isEvent(const TraceRecord& r) {
    return r.kind == "event";
}
bool isAck(const TraceRecord& r) {
    return isEvent(r) && r.bytes.size() == 4 && r.bytes[0] == 4 && r.bytes[1] == 4;
}
bool isKeyEvent(const TraceRecord& r) {
    return isEvent(r) && r.bytes.size() == 4 && r.bytes[0] == 4 && r.bytes[1] != 4;
}

// The reports of a run without the event reports (acknowledgements the reference's emulator
// queues but nobody reads in it).
Records wire(const Records& all) {
    Records out;
    for (const TraceRecord& r : all) {
        if (!isEvent(r)) out.push_back(r);
    }
    return out;
}

// Runs a sequence against the in-process emulator (factory state or the given image, firmware
// 1.1) with a recording pacer as its clock and returns its trace.
Records reference(const std::optional<tavrik::model::Image>& keyboard,
                  const std::function<void(tavrik::device::Link)>& sequence) {
    tavrik::device::RecordingPacer pacer;
    tavrik::sim::Firmware firmware([&pacer] { return pacer.elapsed(); });
    if (keyboard) firmware.setImage(*keyboard);
    Records out;
    firmware.setTrace([&](tavrik::sim::Direction d, tavrik::sim::ReportKind k,
                          std::span<const std::uint8_t> bytes) {
        TraceRecord r;
        r.ms = static_cast<double>(pacer.elapsed().count()) / 1000.0;
        r.toKeyboard = d == tavrik::sim::Direction::HostToKeyboard;
        r.kind = k == tavrik::sim::ReportKind::Feature ? "feature"
                 : k == tavrik::sim::ReportKind::Data  ? "data"
                                                       : "event";
        r.bytes.assign(bytes.begin(), bytes.end());
        out.push_back(std::move(r));
    });
    tavrik::sim::SimChannel channel(firmware);
    sequence(tavrik::device::Link{channel, pacer});
    return out;
}

// The tool's start-up: the start-up read, then the lighting read of its first sync.
Records startupReference() {
    return reference(std::nullopt, [](tavrik::device::Link link) {
        tavrik::model::Image image{};
        tavrik::device::FirmwareVersion version;
        (void)tavrik::device::readAll(link, image, tavrik::device::ReadMode::Startup, &version);
        (void)tavrik::device::readLighting(link, image);
    });
}

// The arrival with both channels closed: version, plain read-all, the DIY tables once more,
// and the lighting read of each of the two syncs.
Records arrivalReference(const tavrik::model::Image& keyboard) {
    return reference(keyboard, [](tavrik::device::Link link) {
        tavrik::model::Image image{};
        (void)tavrik::device::readFirmwareVersion(link);
        (void)tavrik::device::readAll(link, image, tavrik::device::ReadMode::Plain);
        (void)tavrik::device::readDiyTables(link, image);
        (void)tavrik::device::readLighting(link, image);
        (void)tavrik::device::readLighting(link, image);
    });
}

// Empty when both carry the same reports in the same order.
std::string compareWire(const Records& got, const Records& want) {
    for (std::size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
        if (i >= got.size()) {
            return "report " + std::to_string(i) + " missing: " + describe(want[i]);
        }
        if (i >= want.size()) return "extra report " + std::to_string(i) + ": " + describe(got[i]);
        const TraceRecord& g = got[i];
        const TraceRecord& w = want[i];
        if (g.toKeyboard != w.toKeyboard || g.kind != w.kind || g.bytes != w.bytes) {
            return "report " + std::to_string(i) + " is " + describe(g) + " instead of " +
                   describe(w);
        }
    }
    return {};
}

// Every pause the protocol keeps between two reports the host sends is there: from one such
// report to the next, and from the first to each, the keyboard saw at least the reference's
// time pass. (Reports the keyboard sends are stamped when its side of the wire is served,
// which under TCG may lag the host by a few milliseconds; two host reports lag alike.)
std::string comparePauses(const Records& got, const Records& want) {
    std::optional<std::size_t> first, last;
    for (std::size_t i = 0; i < got.size() && i < want.size(); ++i) {
        if (!want[i].toKeyboard) continue;
        if (!first) first = i;
        for (std::optional<std::size_t> from : {last, first}) {
            if (!from || *from == i) continue;
            const double need = want[i].ms - want[*from].ms;
            const double had = got[i].ms - got[*from].ms;
            if (had + kPauseSlackMs < need) {
                char text[200];
                std::snprintf(text, sizeof text,
                              "only %.2f ms instead of %.2f ms from report %zu to report %zu (%s)",
                              had, need, *from, i, describe(got[i]).c_str());
                return text;
            }
        }
        last = i;
    }
    return {};
}

// The set commands the host sent, in order: "08.1" for the lighting sub-command 1, else the
// command code in hex. Read announcements and get requests are left out.
std::vector<std::string> setCommands(const Records& r) {
    std::vector<std::string> out;
    for (const TraceRecord& x : r) {
        if (!x.toKeyboard || x.kind != "feature" || x.bytes.size() != 9) continue;
        const std::uint8_t code = x.bytes[1];
        if (code & 0x80) continue;
        char b[8];
        if (code == 0x08) {
            std::snprintf(b, sizeof b, "08.%u", x.bytes[2]);
        } else {
            std::snprintf(b, sizeof b, "%02X", code);
        }
        out.push_back(b);
    }
    return out;
}

std::string join(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
    return out;
}

bool containsRun(const std::vector<std::string>& all, const std::vector<std::string>& run) {
    for (std::size_t i = 0; i + run.size() <= all.size(); ++i) {
        if (std::equal(run.begin(), run.end(), all.begin() + static_cast<std::ptrdiff_t>(i))) {
            return true;
        }
    }
    return false;
}

// Between two write steps of a Save the keyboard's acknowledgement went out: each set command
// but the first is preceded by an acknowledgement after the previous one.
std::string acknowledgedSteps(const Records& r) {
    bool sentStep = false, acked = true;
    for (const TraceRecord& x : r) {
        if (isAck(x)) acked = true;
        if (!x.toKeyboard || x.kind != "feature" || x.bytes.size() != 9 || (x.bytes[1] & 0x80)) {
            continue;
        }
        if (sentStep && !acked) return "step " + describe(x) + " sent before an acknowledgement";
        sentStep = true;
        acked = false;
    }
    return {};
}

// ---- the report ------------------------------------------------------------------------------

struct Outcome {
    std::string scenario;
    std::vector<std::string> failures;
    std::vector<std::string> notes;
};

class Report {
public:
    explicit Report(fs::path out) : m_out(std::move(out)) {
        for (const std::string& line : readLines(m_out / "steps")) {
            std::istringstream in(line);
            std::string scenario, step, result;
            in >> scenario >> step >> result;
            std::string rest;
            std::getline(in, rest);
            m_steps[scenario].push_back({step, result == "ok", rest});
        }
        for (const std::string& line : readLines(m_out / "marks")) {
            std::istringstream in(line);
            std::string name;
            double a = 0, b = 0;
            in >> name >> a;
            if (in >> b) {
                m_segments[name] = {static_cast<std::size_t>(a), static_cast<std::size_t>(b)};
            } else {
                m_figures[name] = a;
            }
        }
        m_full = tavrik::e2e::readTrace(m_out / "full.trace");
    }

    void scenario(const std::string& name, const std::function<void(Outcome&)>& body) {
        Outcome o{name, {}, {}};
        if (!fs::exists(m_out / (name + ".trace")) && m_segments.find(name) == m_segments.end() &&
            name != "discovery-0001" && name != "keyboard" && name != "startup-timing") {
            o.failures.push_back("did not run (see console.log)");
        } else {
            for (const auto& s : m_steps[name]) {
                if (!s.ok) o.failures.push_back("step " + s.name + " failed" + s.detail);
            }
            body(o);
        }
        m_outcomes.push_back(std::move(o));
    }

    Records segment(const std::string& name) const {
        return tavrik::e2e::readTrace(m_out / (name + ".trace"));
    }

    // The keyboard's image rebuilt from every report it received up to the end of a scenario;
    // replugged before the first report after each plug-in of the gadget log.
    tavrik::model::Image replayedUntil(const std::string& name) const {
        const auto it = m_segments.find(name);
        return replayedRecords(it == m_segments.end() ? m_full.size() : it->second.second);
    }
    // The same up to the first record at or after `ms`.
    tavrik::model::Image replayedBefore(double ms) const {
        std::size_t end = 0;
        while (end < m_full.size() && m_full[end].ms < ms) ++end;
        return replayedRecords(end);
    }
    tavrik::model::Image replayedRecords(std::size_t end) const {
        Records head(m_full.begin(),
                     m_full.begin() + static_cast<std::ptrdiff_t>(std::min(end, m_full.size())));
        std::vector<std::size_t> replugs;
        for (double at : plugTimes("plugged")) {
            for (std::size_t i = 0; i < head.size(); ++i) {
                if (head[i].ms >= at) {
                    replugs.push_back(i);
                    break;
                }
            }
        }
        return tavrik::e2e::replay(head, replugs).image;
    }

    std::vector<double> plugTimes(const std::string& word) const {
        std::vector<double> out;
        for (const std::string& line : readLines(m_out / "gadget.log")) {
            double ms = 0;
            char what[16] = {};
            if (std::sscanf(line.c_str(), "%15s at %lf ms", what, &ms) == 2 && word == what) {
                out.push_back(ms);
            }
        }
        return out;
    }

    // The image of a keymap.bin the guest copied out.
    std::optional<tavrik::model::Image> keymapImage(const std::string& name) const {
        const std::string bytes = readText(m_out / (name + ".keymap.bin"));
        if (bytes.size() < tavrik::model::kImageSize) return std::nullopt;
        tavrik::model::Image image{};
        std::copy_n(bytes.begin(), tavrik::model::kImageSize, image.begin());
        return image;
    }

    void sameRegion(Outcome& o, const std::string& name, std::size_t at, std::size_t size,
                    const char* what) const {
        const std::optional<tavrik::model::Image> host = keymapImage(name);
        if (!host) {
            o.failures.push_back("no keymap.bin came back");
            return;
        }
        const tavrik::model::Image keyboard = replayedUntil(name);
        if (!std::equal(host->begin() + static_cast<std::ptrdiff_t>(at),
                        host->begin() + static_cast<std::ptrdiff_t>(at + size),
                        keyboard.begin() + static_cast<std::ptrdiff_t>(at))) {
            o.failures.push_back(std::string("the keyboard's ") + what +
                                 " (rebuilt from its trace) differs from the tool's keymap.bin");
        }
    }

    std::string text(const std::string& file) const { return readText(m_out / file); }
    std::optional<double> figure(const std::string& name) const {
        const auto it = m_figures.find(name);
        if (it == m_figures.end()) return std::nullopt;
        return it->second;
    }

    int finish(double vmSeconds, double startEpoch) {
        int passed = 0, failed = 0;
        for (const Outcome& o : m_outcomes) {
            if (o.failures.empty()) {
                ++passed;
                std::printf("PASS %s\n", o.scenario.c_str());
            } else {
                ++failed;
                std::printf("FAIL %s\n", o.scenario.c_str());
                for (const std::string& f : o.failures) std::printf("     %s\n", f.c_str());
            }
            for (const std::string& n : o.notes) std::printf("     %s\n", n.c_str());
        }
        const auto now =
            std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
                .count();
        std::printf(
            "figures: boot to PID 1 %.1f s; virtual machine %.1f s; whole run %.1f s; "
            "the idle tool's CPU in the guest %.0f %%\n",
            figure("boot_ms").value_or(0) / 1000.0, vmSeconds, now - startEpoch,
            figure("tool_idle_cpu_percent").value_or(-1));
        std::printf("%d passed, %d failed\n", passed, failed);
        return failed == 0 && passed > 0 ? 0 : 1;
    }

private:
    struct Step {
        std::string name;
        bool ok;
        std::string detail;
    };

    fs::path m_out;
    std::map<std::string, std::vector<Step>> m_steps;
    std::map<std::string, std::pair<std::size_t, std::size_t>> m_segments;
    std::map<std::string, double> m_figures;
    Records m_full;
    std::vector<Outcome> m_outcomes;
};

struct Entry {
    std::string path;
    unsigned pid = 0;
    int interface = -1;
    unsigned usagePage = 0;
    unsigned usage = 0;
};

std::vector<Entry> entries(const std::string& probe) {
    std::vector<Entry> out;
    std::istringstream in(probe);
    for (std::string line; std::getline(in, line);) {
        char path[128] = {};
        Entry e;
        unsigned vid = 0;
        if (std::sscanf(line.c_str(),
                        "entry path=%127s vid=%x pid=%x interface=%d usage_page=%x usage=%x", path,
                        &vid, &e.pid, &e.interface, &e.usagePage, &e.usage) == 6) {
            e.path = path;
            out.push_back(e);
        }
    }
    return out;
}

std::string chosen(const std::string& probe, const std::string& role) {
    std::istringstream in(probe);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(role + " ", 0) == 0) return line.substr(role.size() + 1);
    }
    return {};
}

// The keyboard of product `pid` as the design expects it: interface 0, 1 (four collections, the
// fourth usage 4 of the vendor page), 2 and 3; the transport chose interface 3 and the node of
// the four collections.
void checkDiscovery(Outcome& o, const std::string& probe, unsigned pid) {
    std::map<int, std::vector<Entry>> byInterface;
    std::string eventPath, commandPath;
    for (const Entry& e : entries(probe)) {
        if (e.pid != pid) continue;
        byInterface[e.interface].push_back(e);
    }
    char id[8];
    std::snprintf(id, sizeof id, "%04x", pid);
    if (byInterface.size() != 4 || byInterface[0].size() != 1 || byInterface[1].size() != 4 ||
        byInterface[2].size() != 1 || byInterface[3].size() != 1) {
        o.failures.push_back(std::string("hidapi does not list product ") + id +
                             " as interfaces 0, 1 (four collections), 2 and 3");
        return;
    }
    const Entry& fourth = byInterface[1][3];
    if (fourth.usagePage != 0xFF00 || fourth.usage != 0x0004) {
        o.failures.push_back("the fourth collection of interface 1 is not usage 0xFF00:0004");
    }
    const std::string command = chosen(probe, "command");
    const std::string event = chosen(probe, "event");
    if (command != byInterface[3][0].path + " opened") {
        o.failures.push_back("command channel: " + command + " instead of " +
                             byInterface[3][0].path);
    }
    if (event != fourth.path + " opened") {
        o.failures.push_back("event channel: " + event + " instead of " + fourth.path);
    }
    o.notes.push_back(std::string("product ") + id + ": command " + command + ", event " + event);
}

int report(const fs::path& out, double vmSeconds, double startEpoch, double ratioLimit) {
    Report r(out);
    double rtt = 0;

    r.scenario("discovery", [&](Outcome& o) {
        const std::string probe = r.text("discovery.out");
        checkDiscovery(o, probe, 0xA131);
        std::size_t decoy = 0;
        for (const Entry& e : entries(probe)) decoy += e.pid == 0xA132 ? 1 : 0;
        if (decoy != 7) o.failures.push_back("the decoy (0xA132) is not listed like the keyboard");
        if (!tavrik::e2e::readTrace(out / "decoy.trace").empty()) {
            o.failures.push_back("a report reached the decoy");
        }
    });
    r.scenario("discovery-0001", [&](Outcome& o) {
        const std::string probe = r.text("discovery-0001.out");
        checkDiscovery(o, probe, 0x0001);
    });
    r.scenario("rtt", [&](Outcome& o) {
        if (std::sscanf(r.text("rtt.out").c_str(), "rtt %lf", &rtt) != 1 || rtt <= 0) {
            o.failures.push_back("no round trip measured: " + r.text("rtt.out"));
            return;
        }
        char note[120];
        std::snprintf(note, sizeof note, "through the kernel: %.3f ms per report", rtt);
        o.notes.push_back(note);
    });
    // The start-up read byte for byte, in order, with its pauses; then its time.
    double startupRatio = 0;
    r.scenario("startup", [&](Outcome& o) {
        const Records got = wire(r.segment("startup"));
        const Records want = wire(startupReference());
        if (std::string d = compareWire(got, want); !d.empty()) o.failures.push_back(d);
        if (std::string d = comparePauses(got, want); !d.empty()) o.failures.push_back(d);
    });
    r.scenario("startup-timing", [&](Outcome& o) {
        const Records got = wire(r.segment("startup"));
        const Records want = wire(startupReference());
        if (got.size() != want.size() || want.empty() || rtt <= 0) {
            o.failures.push_back("no start-up read or no round trip to time it by");
            return;
        }
        const double took = got.back().ms - got.front().ms;
        const double floor = want.back().ms - want.front().ms;
        const double rigFloor = floor + static_cast<double>(want.size()) * rtt;
        startupRatio = took / rigFloor;
        char note[300];
        std::snprintf(note, sizeof note,
                      "%zu reports in %.0f ms; pause floor %.0f ms (ratio %.3f); with %zu "
                      "reports x %.3f ms: %.0f ms (ratio %.3f, limit %.2f)",
                      got.size(), took, floor, took / floor, want.size(), rtt, rigFloor,
                      startupRatio, ratioLimit);
        o.notes.push_back(note);
        if (startupRatio > ratioLimit) o.failures.push_back("the start-up read is too slow");
    });

    const auto saveScenario = [&](const std::string& name, std::vector<std::string> expected,
                                  std::size_t at, std::size_t size, const char* what) {
        r.scenario(name, [&, expected, at, size, what](Outcome& o) {
            const Records got = r.segment(name);
            const std::vector<std::string> sent = setCommands(got);
            if (sent != expected) {
                o.failures.push_back("sent " + join(sent) + " instead of " + join(expected));
            }
            if (std::string d = acknowledgedSteps(got); !d.empty()) o.failures.push_back(d);
            r.sameRegion(o, name, at, size, what);
        });
    };
    saveScenario("save-key", {"08.1", "0D", "08.2"}, img::kKeyCodeArea, img::kKeyCodeAreaSize,
                 "key code area");
    saveScenario("save-diy", {"08.1", "12", "08.2"}, img::diyTable(1), img::kDiyTableSize,
                 "DIY table 2");
    saveScenario("save-lighting", {"08.2"}, img::kLightingParams, img::kLightingParamsSize,
                 "lighting");

    r.scenario("launch", [&](Outcome& o) {
        std::size_t events = 0;
        for (const TraceRecord& x : r.segment("launch")) events += isKeyEvent(x) ? 1 : 0;
        if (events != 1) {
            o.failures.push_back(std::to_string(events) + " key events instead of one");
        }
    });

    r.scenario("replug", [&](Outcome& o) {
        const Records got = r.segment("replug");
        const std::vector<double> unplugs = r.plugTimes("unplugged");
        const std::vector<double> plugs = r.plugTimes("plugged");
        if (unplugs.empty() || plugs.empty()) {
            o.failures.push_back("the gadget was not unbound and bound again");
            return;
        }
        bool cut = false;
        Records arrival;
        for (const TraceRecord& x : got) {
            if (x.ms < unplugs.back() && x.toKeyboard && x.kind == "feature" &&
                x.bytes.size() == 9 && x.bytes[1] == 0x12) {
                cut = true;
            }
            if (x.ms >= plugs.back()) arrival.push_back(x);
        }
        if (!cut) o.failures.push_back("no DIY burst was cut by the unplug");
        const Records arrivalWire = wire(arrival);
        if (arrivalWire.empty()) {
            o.failures.push_back("no arrival read after the replug");
            return;
        }
        const double delay = arrivalWire.front().ms - plugs.back();
        char note[120];
        std::snprintf(note, sizeof note, "arrival read %.0f ms after the plug-in", delay);
        o.notes.push_back(note);
        if (delay < kArrivalSettleMs)
            o.failures.push_back("the arrival read came before the settle");
        if (std::string d =
                compareWire(arrivalWire, wire(arrivalReference(r.replayedBefore(plugs.back()))));
            !d.empty()) {
            o.failures.push_back("arrival read: " + d);
        }
    });
    r.scenario("resave", [&](Outcome& o) {
        const Records got = r.segment("resave");
        const std::vector<std::string> sent = setCommands(got);
        const std::vector<std::string> expected{"08.1", "12", "08.2"};
        if (sent != expected) {
            o.failures.push_back("sent " + join(sent) + " instead of " + join(expected));
        }
        for (const TraceRecord& x : got) {
            if (x.toKeyboard && x.kind == "feature" && x.bytes.size() == 9 && x.bytes[1] == 0x12 &&
                x.bytes[3] != 2) {
                o.failures.push_back("the Save sent DIY table " + std::to_string(x.bytes[3] + 1));
            }
        }
        if (std::string d = acknowledgedSteps(got); !d.empty()) o.failures.push_back(d);
        r.sameRegion(o, "resave", img::diyTable(2), img::kDiyTableSize, "DIY table 3");
        r.sameRegion(o, "resave", img::kLightingParams, img::kLightingParamsSize, "lighting");
    });

    r.scenario("ctl-tool", [&](Outcome& o) {
        const std::vector<std::string> sent = setCommands(r.segment("ctl-tool"));
        if (!containsRun(sent, {"08.1", "09", "08.2"})) {
            o.failures.push_back("set game-mode did not reach the keyboard: " + join(sent));
        }
        if (r.text("ctl-tool.dump.json").rfind('{', 0) != 0) {
            o.failures.push_back("dump --json wrote no JSON document");
        }
        r.sameRegion(o, "ctl-tool", img::kGameMode, 1, "game mode");
    });
    r.scenario("ctl-alone", [&](Outcome& o) {
        const std::vector<std::string> sent = setCommands(r.segment("ctl-alone"));
        if (!containsRun(sent, {"08.1", "04", "08.2"})) {
            o.failures.push_back("set response-time did not reach the keyboard: " + join(sent));
        }
        if (r.text("ctl-alone.dump.json").rfind('{', 0) != 0) {
            o.failures.push_back("dump --json wrote no JSON document");
        }
    });

    r.scenario("permissions", [&](Outcome& o) {
        // udevadm info --export-db: one block per device, "P: <devpath>", "E: TAGS=...".
        std::size_t keyboardNodes = 0, decoyNodes = 0;
        std::istringstream in(r.text("permissions.out"));
        std::string block, line;
        const auto judge = [&](const std::string& b) {
            if (!contains(b, "\nN: hidraw") && b.rfind("N: hidraw", 0) != 0) return;
            const bool tagged = contains(b, "E: TAGS=") && contains(b, ":uaccess:");
            if (contains(b, ":04D9:A131.")) {
                ++keyboardNodes;
                if (!tagged) o.failures.push_back("no uaccess tag: " + b.substr(0, 90));
            } else if (contains(b, ":04D9:A132.")) {
                ++decoyNodes;
                if (tagged) o.failures.push_back("the decoy is tagged: " + b.substr(0, 90));
            }
        };
        while (std::getline(in, line)) {
            if (line.empty()) {
                judge(block);
                block.clear();
            } else {
                block += line + "\n";
            }
        }
        judge(block);
        if (keyboardNodes != 4 || decoyNodes != 4) {
            o.failures.push_back("udevadm did not show four nodes of each device");
        }
        const std::string denied = r.text("permissions.denied");
        const std::string deniedStatus = denied.substr(0, denied.find("exit "));
        // status and the commands that need the keyboard say the permission is missing and how
        // to mend it; neither says there is no keyboard.
        if (!contains(denied, "no permission") || !contains(denied, "exit 4") ||
            !contains(deniedStatus, "udevadm trigger") || contains(denied, "exit 3") ||
            contains(denied, "no keyboard")) {
            o.failures.push_back("the user without access was not told about the permission: " +
                                 denied);
        }
        const std::string granted = r.text("permissions.granted");
        if (!contains(granted, "keyboard: connected") || contains(granted, "exit 4") ||
            contains(granted, "exit 1") || contains(granted, "exit 3")) {
            o.failures.push_back("the user with an ACL could not use the keyboard: " + granted);
        }
    });

    r.scenario("keyboard", [&](Outcome& o) {
        // The firmware's own checks over the whole run: report lengths, checksums, packet
        // counts and the pauses before each burst's first packet.
        const std::string log = r.text("gadget.log");
        if (!contains(log, "protocol errors 0")) {
            o.failures.push_back("the keyboard saw protocol errors (gadget.log)");
        }
    });
    return r.finish(vmSeconds, startEpoch);
}

int slot(const std::string& label) {
    for (int s = 0; s < tavrik::model::kSlotCount; ++s) {
        if (tavrik::model::slot(s).label == label) {
            std::printf("%d\n", s);
            return 0;
        }
    }
    std::fprintf(stderr, "no key labelled %s\n", label.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "report" && (argc == 5 || argc == 6)) {
        return report(argv[2], std::stod(argv[3]), std::stod(argv[4]),
                      argc == 6 ? std::stod(argv[5]) : kStartupRatioLimit);
    }
    if (verb == "slot" && argc == 3) return slot(argv[2]);
    if (verb == "reference" && argc == 2) {
        for (const TraceRecord& x : startupReference()) {
            std::printf("%.3f %s\n", x.ms, describe(x).c_str());
        }
        return 0;
    }
    std::fprintf(stderr,
                 "usage: tavrik-kernel-check report OUT VM_SECONDS START_EPOCH [RATIO_LIMIT] | "
                 "slot LABEL\n");
    return 2;
}
