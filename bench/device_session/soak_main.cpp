// Soak: many write-alls of random edits through the device session against the emulated
// keyboard, the pacer recording instead of sleeping. After each, the emulator's image must
// equal the host's in every region write-all carries; resident memory must stay flat.
//     tavrik-device-soak [ROUNDS]   (default 10000)

#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>

#include "device/session.h"
#include "model/config_model.h"
#include "sim/firmware.h"
#include "sim/openers.h"

namespace {

using namespace tavrik;
namespace img = model::image;

class CountingListener final : public device::SessionListener {
public:
    void deviceSynced(device::SyncReason) override {}
    void deviceEvent(std::uint8_t) override {}
    void jobFinished(device::Job job, const Status& s) override {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (job == device::Job::Save && !s.ok()) ++failures;
    }
    int failures = 0;

private:
    std::mutex m_mutex;
};

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

bool carriedEqual(const model::Image& a, const model::Image& b) {
    auto same = [&](std::size_t at, std::size_t n) {
        return std::equal(a.begin() + at, a.begin() + at + n, b.begin() + at);
    };
    return same(img::kReportRate, 1) && same(img::kResponseTime, 1) &&
           same(img::kLightingParams, img::kLightingParamsSize) &&
           same(img::kColourTable, img::kColourTableSize) && same(img::kGameMode, 1) &&
           same(img::kKeyCodeArea, img::kKeyCodeAreaSize) &&
           same(img::kEnableBitmap, img::kEnableBitmapSize) &&
           same(img::kMacroArea, img::kMacroAreaSize) &&
           same(img::kDiyTables, img::kDiyTableCount * img::kDiyTableSize);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 10000;
    char pattern[] = "/tmp/tavrik-soakXXXXXX";
    const std::filesystem::path dir = ::mkdtemp(pattern);

    device::RecordingPacer pacer;
    pacer.setKeepLog(false);
    sim::Firmware firmware([&] { return pacer.elapsed(); });
    sim::SimOpener opener(firmware);
    model::ConfigModel model(dir / "keymap.bin");
    model.startup();
    CountingListener listener;
    int mismatches = 0;
    long firstKiB = 0, lastKiB = 0;
    {
        device::Session session(opener, pacer, model, listener);
        session.open();
        session.waitIdle();
        std::mt19937 rng(1);
        for (int round = 0; round < rounds; ++round) {
            model.withLock([&](model::ConfigState& s) {
                for (unsigned e = rng() % 4; e > 0; --e) {
                    s.image[rng() % model::kImageSize] = static_cast<std::uint8_t>(rng());
                }
                s.image[img::kSpeed] = static_cast<std::uint8_t>(rng() % 10);
            });
            session.save();
            session.waitIdle();
            const bool equal = model.withLock(
                [&](model::ConfigState& s) { return carriedEqual(firmware.image(), s.image); });
            mismatches += equal ? 0 : 1;
            if (round == rounds / 10) firstKiB = residentKiB();
        }
        lastKiB = residentKiB();
    }
    std::filesystem::remove_all(dir);
    std::printf("rounds %d, failed saves %d, image mismatches %d, protocol errors %zu\n", rounds,
                listener.failures, mismatches, firmware.protocolErrors().size());
    std::printf("resident memory after 10%%: %ld KiB, at the end: %ld KiB\n", firstKiB, lastKiB);
    const bool ok = listener.failures == 0 && mismatches == 0 &&
                    firmware.protocolErrors().empty() && lastKiB - firstKiB < 1024;
    return ok ? 0 : 1;
}
