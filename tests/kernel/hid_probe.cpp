// tavrik-hid-probe: what hidapi and the tool's transport see of the keyboard, for tests/kernel
// inside the virtual machine.
//     tavrik-hid-probe list     one line per hid_enumerate entry of vendor 0x04D9, then the
//                               command and event channels the transport chooses
//     tavrik-hid-probe rtt N    N read-version exchanges (set feature, get feature) on the
//                               command channel without pauses; prints the milliseconds per
//                               report transfer

#include <hidapi/hidapi.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "device/commands.h"
#include "device/discovery.h"
#include "device/reports.h"
#include "hid/hid_transport.h"

namespace {

using tavrik::device::ChannelRole;
using tavrik::device::OpenStatus;

const char* statusName(OpenStatus s) {
    switch (s) {
        case OpenStatus::Opened:
            return "opened";
        case OpenStatus::NotPresent:
            return "not-present";
        case OpenStatus::NoPermission:
            return "no-permission";
        case OpenStatus::Failed:
            return "failed";
    }
    return "?";
}

int list() {
    hid_init();
    hid_device_info* all = hid_enumerate(tavrik::device::kVendorId, 0);
    for (const hid_device_info* d = all; d != nullptr; d = d->next) {
        std::printf("entry path=%s vid=%04x pid=%04x interface=%d usage_page=%04x usage=%04x\n",
                    d->path, d->vendor_id, d->product_id, d->interface_number, d->usage_page,
                    d->usage);
    }
    hid_free_enumeration(all);
    for (const auto& [role, name] :
         {std::pair{ChannelRole::Command, "command"}, std::pair{ChannelRole::Event, "event"}}) {
        tavrik::device::OpenedChannel c = tavrik::hid::openChannel(role);
        std::printf("%s %s %s\n", name, c.path.empty() ? "-" : c.path.c_str(),
                    statusName(c.status));
    }
    return 0;
}

int rtt(int count) {
    tavrik::device::OpenedChannel c = tavrik::hid::openChannel(ChannelRole::Command);
    if (c.status != OpenStatus::Opened) {
        std::fprintf(stderr, "command channel: %s\n", statusName(c.status));
        return 1;
    }
    const tavrik::device::FeatureReport request =
        tavrik::device::makeFeature(tavrik::device::cmd::kReadFirmwareVersion);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        tavrik::device::FeatureReport reply{};
        if (!c.channel->setFeature(request) || !c.channel->getFeature(reply) ||
            reply[tavrik::device::feature::kCode] != tavrik::device::cmd::kReadFirmwareVersion) {
            std::fprintf(stderr, "exchange %d failed\n", i);
            return 1;
        }
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("rtt %.3f ms per report (%d exchanges of two reports in %.1f ms)\n",
                ms / (2.0 * count), count, ms);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "list" && argc == 2) return list();
    if (verb == "rtt" && argc == 3) return rtt(std::stoi(argv[2]));
    std::fprintf(stderr, "usage: tavrik-hid-probe list | rtt N\n");
    return 2;
}
