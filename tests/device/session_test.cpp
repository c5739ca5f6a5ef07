// The device session against the emulated keyboard: start-up read, write-all, events,
// hot-plug and faults.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <thread>

#include "device/commands.h"
#include "model/slot_table.h"
#include "session_fixture.h"

namespace tavrik::device {
namespace {

namespace img = model::image;
using std::chrono::milliseconds;
using testing_support::Note;
using testing_support::SessionRig;

// Every region write-all carries, compared between the emulator and the host image.
void expectCarriedRegionsEqual(const model::Image& kb, const model::Image& host) {
    struct Range {
        std::size_t at, n;
    };
    const Range carried[] = {{img::kReportRate, 1},     {img::kResponseTime, 1},
                             {img::kLightingParams, 5}, {img::kColourTable, 21},
                             {img::kGameMode, 1},       {img::kKeyCodeArea, 512},
                             {img::kEnableBitmap, 18},  {img::kMacroArea, img::kMacroAreaSize},
                             {img::kDiyTables, 2560}};
    for (const Range& r : carried) {
        EXPECT_TRUE(std::equal(kb.begin() + r.at, kb.begin() + r.at + r.n, host.begin() + r.at))
            << "region at " << r.at;
    }
}

std::uint8_t code(const std::vector<std::uint8_t>& report) {
    return report[feature::kCode];
}

TEST(SessionStartup, ReadsTheKeyboardIntoBothImagesAndSavesKeymap) {
    SessionRig rig;
    model::Image kb = rig.firmware.image();
    kb[img::kBrightness] = 17;
    kb[img::macroSlot(9)] = 0x5A;
    kb[img::kEnableBitmap + 1] = 0xFE;  // Win lock on
    rig.firmware.setImage(kb);
    rig.firmware.setFirmwareVersion(3, 4);

    EXPECT_EQ(rig.session->open(), ConnectionState::Connected);
    ASSERT_TRUE(rig.listener.waitFinished(Job::StartupRead));
    rig.session->waitIdle();

    const model::ConfigState s = rig.copyState();
    expectCarriedRegionsEqual(rig.firmware.image(), s.image);
    EXPECT_EQ(s.image[img::kWinLock], 1);
    EXPECT_EQ(s.syncedImage, s.image);
    EXPECT_EQ(rig.session->firmwareVersion(), (std::array<std::uint8_t, 4>{3, 4, 0, 0}));
    EXPECT_EQ(rig.listener.count(Note::Synced), 1);
    EXPECT_TRUE(rig.firmware.protocolErrors().empty());
    EXPECT_EQ(std::filesystem::file_size(rig.model.keymapPath()), 10056u + 196860u);

    // The pauses of the start-up read: 0x09, version, lighting, colours, game mode, rate,
    // response, a yield after each macro slot, the DIY tables, then the lighting re-read.
    std::vector<milliseconds> expected{milliseconds{20}, milliseconds{10}, milliseconds{10},
                                       milliseconds{10}};
    for (int i = 0; i < 14; ++i) expected.emplace_back(1);
    for (int v : {5, 10, 10, 10, 10}) expected.emplace_back(v);
    for (int i = 0; i < 32; ++i) expected.emplace_back(0);
    for (int t = 0; t < 5; ++t) {
        for (int i = 0; i < 10; ++i) expected.emplace_back(5);
    }
    expected.emplace_back(10);
    EXPECT_EQ(rig.pacer.recorded(), expected);
}

TEST(SessionOpen, PermissionProblemIsReportedDistinctly) {
    struct Denied final : ChannelOpener {
        OpenedChannel open(ChannelRole) override {
            OpenedChannel c;
            c.status = ConnectionState::NoPermission;
            c.path = "/dev/hidraw3";
            return c;
        }
        bool keyboardPresent() override { return true; }
    } denied;
    testing_support::TempFolder folder;
    model::ConfigModel model(folder.path() / "keymap.bin");
    RecordingPacer pacer;
    testing_support::RecordingListener listener;
    Session session(denied, pacer, model, listener);
    EXPECT_EQ(session.open(), ConnectionState::NoPermission);
    EXPECT_FALSE(session.commandChannelOpen());
}

class WriteAll : public testing::Test {
protected:
    void SetUp() override { rig.start(); }

    Status save() {
        rig.session->save();
        rig.listener.waitFinished(Job::Save);
        rig.session->waitIdle();
        for (const Note& n : rig.listener.take()) {
            if (n.kind == Note::Finished && n.value == static_cast<int>(Job::Save)) {
                return n.ok ? Status{} : Status(deviceError(n.text));
            }
        }
        return deviceError("no result");
    }

    SessionRig rig;
};

TEST_F(WriteAll, NothingChangedSendsNothing) {
    const auto before = rig.copyState().syncedImage;
    ASSERT_TRUE(save());
    EXPECT_TRUE(rig.takeSent().empty());
    EXPECT_EQ(rig.copyState().syncedImage, before);
}

TEST_F(WriteAll, OnlyLightingSendsOneReportAndWaitsForNothing) {
    rig.edit([](model::ConfigState& s) { s.image[img::kBrightness] = 7; });
    const auto acks = rig.firmware.acknowledgementsSent();
    ASSERT_TRUE(save());
    const auto sent = rig.takeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(code(sent[0].second), cmd::kSetLighting);
    EXPECT_EQ(sent[0].second[param::kSubCommand], 2);
    EXPECT_EQ(rig.firmware.acknowledgementsSent(), acks);
    EXPECT_EQ(rig.firmware.image()[img::kBrightness], 7);
}

TEST_F(WriteAll, OnlyMacroSlotFiveSendsItBetweenTheLightingForms) {
    rig.edit([](model::ConfigState& s) { s.image[img::macroSlot(5) + 100] = 0x42; });
    ASSERT_TRUE(save());
    const auto sent = rig.takeSent();
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(code(sent[0].second), cmd::kSetLighting);
    EXPECT_EQ(sent[0].second[param::kSubCommand], 1);
    EXPECT_EQ(code(sent[1].second), cmd::kWriteMacroSlot);
    EXPECT_EQ(sent[1].second[param::kBlockIndex], 5);
    for (int k = 2; k < 5; ++k) EXPECT_EQ(sent[k].first, sim::ReportKind::Data);
    EXPECT_EQ(code(sent[5].second), cmd::kSetLighting);
    EXPECT_EQ(sent[5].second[param::kSubCommand], 2);
    EXPECT_EQ(rig.pacer.take(),
              (std::vector<milliseconds>{milliseconds{10}, milliseconds{1}, milliseconds{0},
                                         milliseconds{0}, milliseconds{10}}));
    EXPECT_EQ(rig.firmware.image()[img::macroSlot(5) + 100], 0x42);
    EXPECT_EQ(rig.copyState().syncedImage, rig.copyState().image);
}

TEST_F(WriteAll, NoAcknowledgementStopsBoundedAndTheNextSaveResends) {
    rig.firmware.setFaults({.noAcknowledgements = true});
    rig.edit([](model::ConfigState& s) {
        s.image[img::kReportRate] = 1;
        s.image[img::diyTable(2) + 9] = 0x99;
    });
    const auto syncedBefore = rig.copyState().syncedImage;
    const auto start = std::chrono::steady_clock::now();
    const Status failed = save();
    EXPECT_FALSE(failed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(rig.copyState().syncedImage, syncedBefore);
    ASSERT_EQ(rig.takeSent().size(), 1u);  // 0x08/1, then the wait gave up

    rig.firmware.setFaults({});
    ASSERT_TRUE(save());
    expectCarriedRegionsEqual(rig.firmware.image(), rig.copyState().image);
    EXPECT_EQ(rig.copyState().syncedImage, rig.copyState().image);
    EXPECT_TRUE(rig.firmware.protocolErrors().empty());
}

TEST_F(WriteAll, GarbageEventReportsAreIgnored) {
    rig.firmware.setFaults({.garbageEvents = true});
    rig.edit([](model::ConfigState& s) { s.image[img::kGameMode] = 1; });
    ASSERT_TRUE(save());
    EXPECT_EQ(rig.listener.count(Note::Event), 0);
    EXPECT_EQ(rig.firmware.image()[img::kGameMode], 1);
}

// Key events are queued: a window that is slow to handle one does not hold up the
// acknowledgements of a write-all.
TEST_F(WriteAll, KeyEventsNeverBlockAcknowledgements) {
    const int slot = 30;
    rig.edit([&](model::ConfigState& s) {
        auto cell = model::keyCodeCell(s.image, slot);
        cell[0] = model::codetype::kHostAction;
        cell[2] = 0x2C;
    });
    ASSERT_TRUE(save());
    std::mutex gate;
    std::unique_lock<std::mutex> held(gate);
    std::atomic<bool> handling{false};
    rig.listener.onEvent = [&] {
        handling = true;
        std::lock_guard<std::mutex> wait(gate);
    };
    ASSERT_TRUE(rig.firmware.pressKey(slot));
    for (int i = 0; i < 500 && !handling; ++i) std::this_thread::sleep_for(milliseconds{1});
    ASSERT_TRUE(handling);
    rig.edit([](model::ConfigState& s) { s.image[img::kResponseTime] = 4; });
    rig.session->save();
    rig.session->waitIdle();  // the write-all ends while the key event is still being handled
    EXPECT_EQ(rig.firmware.image()[img::kResponseTime], 4);
    EXPECT_EQ(rig.copyState().syncedImage[img::kResponseTime], 4);
    held.unlock();
    ASSERT_TRUE(rig.listener.waitFor(
        [](const Note& n) { return n.kind == Note::Event && n.value == 0x2C; }));
    EXPECT_EQ(rig.listener.count(Note::Event), 1);
}

TEST_F(WriteAll, RandomEditsLeaveBothImagesEqual) {
    std::mt19937 rng(42);
    for (int round = 0; round < 40; ++round) {
        rig.edit([&](model::ConfigState& s) {
            for (int e = 0; e < 3; ++e) {
                const std::size_t at = rng() % model::kImageSize;
                s.image[at] = static_cast<std::uint8_t>(rng());
            }
            s.image[img::kSpeed] = static_cast<std::uint8_t>(rng() % 10);
        });
        ASSERT_TRUE(save()) << round;
        expectCarriedRegionsEqual(rig.firmware.image(), rig.copyState().image);
    }
    EXPECT_TRUE(rig.firmware.protocolErrors().empty());
}

class Hotplug : public testing::Test {
protected:
    void SetUp() override {
        rig.forwardPlugEvents();
        rig.start();
    }
    SessionRig rig;
};

TEST_F(Hotplug, ArrivalWithBothChannelsClosedSyncsTwice) {
    rig.firmware.unplug();
    ASSERT_TRUE(rig.listener.waitFinished(Job::Removal));
    rig.session->waitIdle();
    EXPECT_FALSE(rig.session->commandChannelOpen());
    EXPECT_FALSE(rig.session->eventChannelOpen());
    rig.listener.take();

    rig.firmware.plug();
    ASSERT_TRUE(rig.listener.waitFinished(Job::Arrival));
    rig.session->waitIdle();
    EXPECT_EQ(rig.listener.count(Note::Synced), 2);
    EXPECT_TRUE(rig.session->commandChannelOpen());
    EXPECT_TRUE(rig.session->eventChannelOpen());
}

TEST_F(Hotplug, SecondArrivalWithBothOpenOnlyCostsThePause) {
    rig.session->deviceArrived({HotplugKind::Arrival, "/dev/hidraw7"});
    ASSERT_TRUE(rig.listener.waitFinished(Job::Arrival));
    rig.session->waitIdle();
    EXPECT_EQ(rig.pacer.take(), std::vector<milliseconds>{milliseconds{2000}});
    EXPECT_TRUE(rig.takeSent().empty());
    EXPECT_EQ(rig.listener.count(Note::Synced), 0);
}

// 100 quick unplug/plug pairs while a job holds the configuration: the queued arrivals merge
// into the last one (each would cost its 2 s pause and a whole read), the removals stay in
// order, and an edit made during the storm survives it and reaches the keyboard on Save.
TEST_F(Hotplug, AStormOfArrivalsCostsOneAndKeepsTheEdit) {
    // Removals name the keyboard's node, as the hot-plug monitor reports them.
    rig.firmware.setPlugListener([this](bool plugged) {
        if (plugged) {
            rig.session->deviceArrived({HotplugKind::Arrival, "emulated"});
        } else {
            rig.session->deviceRemoved({HotplugKind::Removal, "emulated"});
        }
    });
    {
        auto guard = rig.model.lock();
        rig.session->profileReplaced();  // the worker waits for the lock; the storm queues up
        for (int i = 0; i < 100; ++i) {
            rig.firmware.unplug();
            rig.firmware.plug();
        }
        guard->image[model::image::kBrightness] = 7;  // an edit not yet saved
    }
    rig.session->waitIdle();
    int arrivalPauses = 0;
    for (milliseconds p : rig.pacer.take()) arrivalPauses += p == milliseconds{2000};
    EXPECT_EQ(arrivalPauses, 1);
    EXPECT_TRUE(rig.session->commandChannelOpen());
    EXPECT_TRUE(rig.session->eventChannelOpen());
    EXPECT_EQ(rig.copyState().image[model::image::kBrightness], 7);

    rig.session->save();
    ASSERT_TRUE(rig.listener.waitFinished(Job::Save));
    rig.session->waitIdle();
    ASSERT_TRUE(rig.listener.finished(Job::Save)->ok) << rig.listener.finished(Job::Save)->text;
    EXPECT_EQ(rig.firmware.image()[model::image::kBrightness], 7);
}

// A removal waits for the nodes to settle; closing (a command's exit) does not.
TEST_F(Hotplug, OnlyARemovalWaitsTheSettlePause) {
    rig.pacer.take();
    rig.firmware.unplug();
    ASSERT_TRUE(rig.listener.waitFinished(Job::Removal));
    rig.session->waitIdle();
    EXPECT_EQ(rig.pacer.take(), (std::vector<milliseconds>{milliseconds{500}, milliseconds{200}}));
    rig.firmware.plug();
    ASSERT_TRUE(rig.listener.waitFinished(Job::Arrival));
    rig.session->waitIdle();
    rig.pacer.take();
    rig.session->close();
    rig.session->waitIdle();
    EXPECT_FALSE(rig.session->eventChannelOpen());
    EXPECT_TRUE(rig.pacer.take().empty());
}

TEST_F(Hotplug, RemovalOfAnotherDeviceKeepsTheChannels) {
    rig.session->deviceRemoved({HotplugKind::Removal, "/dev/hidraw99"});
    ASSERT_TRUE(rig.listener.waitFinished(Job::Removal));
    rig.session->waitIdle();
    EXPECT_TRUE(rig.session->commandChannelOpen());
    EXPECT_TRUE(rig.session->eventChannelOpen());
    rig.session->deviceRemoved({HotplugKind::Removal, "emulated"});  // the keyboard's own node
    rig.session->waitIdle();
    EXPECT_FALSE(rig.session->commandChannelOpen());
}

TEST_F(Hotplug, RemovalInTheMiddleOfABurstThenRecovery) {
    rig.firmware.setFaults({.removeAfterPackets = 3});
    rig.edit([](model::ConfigState& s) { s.image[img::kKeyCodeArea + 300] ^= 0xFF; });
    rig.session->save();
    ASSERT_TRUE(rig.listener.waitFinished(Job::Save));
    ASSERT_TRUE(rig.listener.waitFinished(Job::Removal));
    rig.session->waitIdle();
    EXPECT_FALSE(rig.session->commandChannelOpen());
    const auto notes = rig.listener.take();
    const auto saved = std::find_if(notes.begin(), notes.end(), [](const Note& n) {
        return n.kind == Note::Finished && n.value == static_cast<int>(Job::Save);
    });
    ASSERT_NE(saved, notes.end());
    EXPECT_FALSE(saved->ok);

    rig.firmware.plug();
    ASSERT_TRUE(rig.listener.waitFinished(Job::Arrival));
    rig.session->waitIdle();
    EXPECT_TRUE(rig.session->commandChannelOpen());
    // The keyboard's half-written key codes were read back; the next edit goes through.
    rig.edit([](model::ConfigState& s) { s.image[img::kKeyCodeArea + 300] ^= 0x0F; });
    rig.listener.take();
    rig.session->save();
    ASSERT_TRUE(rig.listener.waitFinished(Job::Save));
    rig.session->waitIdle();
    expectCarriedRegionsEqual(rig.firmware.image(), rig.copyState().image);
}

// Without a removal notice, the failed event channel tells the next arrival to reopen.
TEST(SessionHotplug, ArrivalAfterAnUnreportedRemovalReopens) {
    SessionRig rig;
    rig.start();
    rig.firmware.unplug();
    // Real arrivals come 2 s later, after the reader has noticed within one bounded read; the
    // recording pacer does not wait, so the test waits for the reader's own word.
    ASSERT_TRUE(rig.listener.waitFor([](const Note& n) {
        return n.kind == Note::Debug && n.text.starts_with("event channel failed");
    }));
    EXPECT_TRUE(rig.session->eventChannelOpen());  // nothing was reported: still taken as open
    rig.firmware.plug();
    rig.session->deviceArrived({HotplugKind::Arrival, ""});
    ASSERT_TRUE(rig.listener.waitFinished(Job::Arrival));
    rig.session->waitIdle();
    EXPECT_EQ(rig.listener.count(Note::Synced), 2);
    rig.edit([](model::ConfigState& s) { s.image[img::kReportRate] ^= 1; });
    rig.session->save();
    ASSERT_TRUE(rig.listener.waitFinished(Job::Save));
    rig.session->waitIdle();
    expectCarriedRegionsEqual(rig.firmware.image(), rig.copyState().image);
}

TEST_F(Hotplug, KeyEventReachesTheListener) {
    model::Image kb = rig.firmware.image();
    const std::size_t cell = img::kKeyCodeArea + model::cellOffset(12);
    kb[cell] = model::codetype::kHostAction;
    kb[cell + 2] = 0x2C;
    rig.firmware.setImage(kb);
    ASSERT_TRUE(rig.firmware.pressKey(12));
    EXPECT_TRUE(rig.listener.waitFor(
        [](const Note& n) { return n.kind == Note::Event && n.value == 0x2C; }));
}

TEST(SessionJobs, ProfileRefreshAndFactoryReset) {
    SessionRig rig;
    rig.start();
    rig.session->profileReplaced();
    ASSERT_TRUE(rig.listener.waitFinished(Job::ProfileRefresh));
    rig.session->waitIdle();
    EXPECT_TRUE(rig.listener.waitFor([](const Note& n) {
        return n.kind == Note::Synced && n.value == static_cast<int>(SyncReason::HostCopyReplaced);
    }));
    EXPECT_TRUE(rig.takeSent().empty());

    model::Image kb = rig.firmware.image();
    kb[img::kKeyCodeArea] = 0x77;
    rig.firmware.setImage(kb);
    rig.edit([](model::ConfigState& s) {
        s.changedKeys[3] = 1;
        s.actions[3 * model::kKeyActionRecordSize + 1] = 5;
    });
    rig.session->factoryReset();
    ASSERT_TRUE(rig.listener.waitFinished(Job::FactoryReset));
    rig.session->waitIdle();
    const model::ConfigState s = rig.copyState();
    expectCarriedRegionsEqual(rig.firmware.image(), s.image);
    EXPECT_EQ(s.changedKeys[3], 0);
    EXPECT_EQ(s.actions[3 * model::kKeyActionRecordSize + 1], 0);
    EXPECT_EQ(s.syncedImage, s.image);
    EXPECT_TRUE(rig.firmware.protocolErrors().empty());
}

}  // namespace
}  // namespace tavrik::device
