#pragma once
// The reports a Save sends to the emulated keyboard for one edit: a fresh in-process keyboard
// behind a device link, its start-up read, then the edit and a Save, with the host-to-keyboard
// side of the emulator's trace recorded. What a test expects a switch or a forwarded command
// to send, taken from the session's own Save rather than written out by hand.

#include <QTemporaryDir>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "device/pacer.h"
#include "host/device_link.h"
#include "model/config_model.h"
#include "model/key_table.h"
#include "sim/firmware.h"

namespace tavrik::test_support {

struct SentReport {
    sim::ReportKind kind;
    std::vector<std::uint8_t> bytes;
    bool operator==(const SentReport&) const = default;
};

inline std::vector<SentReport> saveSequenceFor(
    const std::function<void(model::ConfigState&)>& edit) {
    QTemporaryDir dir;
    model::keyTable();
    auto pacer = std::make_shared<device::RecordingPacer>();
    pacer->setKeepLog(false);
    auto firmware = std::make_shared<sim::Firmware>([pacer] { return pacer->elapsed(); });
    model::ConfigModel model(dir.filePath("keymap.bin").toStdString());
    [[maybe_unused]] Status s = model.startup();
    appconfig::Options options;
    options.simulate = true;
    app::DeviceLink link(options, app::DeviceSetup{firmware, pacer}, model);
    link.open();
    link.session().waitIdle();
    std::vector<SentReport> sent;
    std::mutex m;
    firmware->setTrace([&](sim::Direction d, sim::ReportKind k, std::span<const std::uint8_t> b) {
        if (d != sim::Direction::HostToKeyboard) return;
        std::lock_guard<std::mutex> g(m);
        sent.push_back({k, {b.begin(), b.end()}});
    });
    model.withLock(edit);
    link.session().save();
    link.session().waitIdle();
    firmware->setTrace({});
    return sent;
}

}  // namespace tavrik::test_support
