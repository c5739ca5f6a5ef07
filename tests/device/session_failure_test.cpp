// The device session when things go wrong: a Save that does not finish keeps the user's edits
// across the next arrival, every failure carries a kind the window can tell apart, a factory
// reset clears the host copy only when it reached the keyboard, and a failed read never leaves a
// firmware version behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "device/commands.h"
#include "model/keymap_file.h"
#include "model/slot_table.h"
#include "session_fixture.h"

namespace tavrik::device {
namespace {

namespace img = model::image;
using testing_support::Note;
using testing_support::SessionRig;

// A key slot whose cell lies in the second half of the key code area, so a burst cut after
// three packets never carries it.
int lateSlot() {
    for (int s = 0; s < model::kSlotCount; ++s) {
        if (model::cellOffset(s) >= 5 * kDataPayloadSize && s != model::kFnSlot) return s;
    }
    return -1;
}

bool regionEqual(const model::Image& a, const model::Image& b, std::size_t at, std::size_t n) {
    return std::equal(a.begin() + static_cast<long>(at), a.begin() + static_cast<long>(at + n),
                      b.begin() + static_cast<long>(at));
}

// The session sees plug and unplug as the hot-plug monitor would report them.
class UnsentEdits : public testing::Test {
protected:
    void SetUp() override {
        rig.forwardPlugEvents();
        rig.start();
        slot = lateSlot();
        ASSERT_GE(slot, 0);
    }

    // A key, a DIY table and the report rate, as the user would change them.
    void editThreeUnits() {
        rig.edit([this](model::ConfigState& s) {
            model::keyCodeCell(s.image, slot)[2] = 0x05;  // the key now sends "B"
            s.image[img::diyTable(2) + 17] ^= 0x5A;
            s.image[img::kReportRate] = s.image[img::kReportRate] == 1 ? 2 : 1;
        });
    }

    void saveAndWait() {
        rig.listener.take();
        rig.session->save();
        ASSERT_TRUE(rig.listener.waitFinished(Job::Save));
        rig.session->waitIdle();
    }

    void replug() {
        rig.listener.take();
        rig.firmware.plug();
        ASSERT_TRUE(rig.listener.waitFinished(Job::Arrival));
        rig.session->waitIdle();
    }

    // After the arrival: the edits are the current configuration, the keyboard's state is the
    // last-synchronised image, the changed key is flagged and keymap.bin holds the edits; the
    // next Save sends only what the keyboard lacks and brings both images together.
    void expectEditsKeptAndSentNext(bool reportRateReached) {
        const model::ConfigState s = rig.copyState();
        EXPECT_EQ(s.image, edited.image);
        EXPECT_EQ(s.actions, edited.actions);
        const model::Image kb = rig.firmware.image();
        EXPECT_TRUE(regionEqual(s.syncedImage, kb, img::kKeyCodeArea, img::kKeyCodeAreaSize));
        EXPECT_TRUE(regionEqual(s.syncedImage, kb, img::kDiyTables, img::kDiyTableSize * 5));
        EXPECT_EQ(s.syncedImage[img::kReportRate], kb[img::kReportRate]);
        EXPECT_EQ(s.changedKeys[static_cast<std::size_t>(slot)], 1);
        auto file = std::make_unique<model::ConfigState>();
        ASSERT_TRUE(model::readConfigFile(rig.model.keymapPath(), file->image, file->actions));
        EXPECT_EQ(file->image, edited.image);

        rig.takeSent();
        saveAndWait();
        ASSERT_TRUE(rig.listener.finished(Job::Save)->ok);
        std::vector<std::uint8_t> features;
        for (const auto& [kind, bytes] : rig.takeSent()) {
            if (kind == sim::ReportKind::Feature) features.push_back(bytes[feature::kCode]);
        }
        std::vector<std::uint8_t> expected{cmd::kSetLighting};
        if (!reportRateReached) expected.push_back(cmd::kSetReportRate);
        for (std::uint8_t c : {cmd::kWriteKeyCodes, cmd::kWriteDiyTable, cmd::kSetLighting}) {
            expected.push_back(c);
        }
        EXPECT_EQ(features, expected);
        const model::Image after = rig.firmware.image();
        EXPECT_EQ(model::keyCodeOf(after, slot)[2], 0x05);
        EXPECT_EQ(after[img::diyTable(2) + 17], edited.image[img::diyTable(2) + 17]);
        EXPECT_EQ(after[img::kReportRate], edited.image[img::kReportRate]);
        EXPECT_EQ(rig.copyState().syncedImage, rig.copyState().image);
        EXPECT_TRUE(rig.firmware.protocolErrors().empty());
    }

    SessionRig rig;
    int slot = -1;
    model::ConfigState edited;
};

TEST_F(UnsentEdits, UnplugInTheMiddleOfTheBurst) {
    editThreeUnits();
    rig.firmware.setFaults({.removeAfterPackets = 3});
    saveAndWait();
    edited = rig.copyState();
    ASSERT_TRUE(rig.listener.waitFinished(Job::Removal));
    rig.session->waitIdle();
    replug();
    expectEditsKeptAndSentNext(true);
}

TEST_F(UnsentEdits, NoAcknowledgementThenUnplug) {
    editThreeUnits();
    rig.firmware.setFaults({.noAcknowledgements = true});
    saveAndWait();
    edited = rig.copyState();
    rig.firmware.setFaults({});
    rig.firmware.unplug();
    ASSERT_TRUE(rig.listener.waitFinished(Job::Removal));
    rig.session->waitIdle();
    replug();
    expectEditsKeptAndSentNext(false);
}

// Without a failed Save the keyboard's values win at an arrival, as at start-up.
TEST_F(UnsentEdits, AnArrivalAfterAGoodSaveReadsTheKeyboard) {
    editThreeUnits();
    saveAndWait();
    rig.firmware.unplug();
    ASSERT_TRUE(rig.listener.waitFinished(Job::Removal));
    rig.session->waitIdle();
    model::Image kb = rig.firmware.image();
    kb[img::kBrightness] = 3;
    rig.firmware.setImage(kb);
    replug();
    EXPECT_EQ(rig.copyState().image[img::kBrightness], 3);
}

class FailureKinds : public testing::Test {
protected:
    void SetUp() override { rig.start(); }
    Note save() {
        rig.listener.take();
        rig.session->save();
        EXPECT_TRUE(rig.listener.waitFinished(Job::Save));
        rig.session->waitIdle();
        return rig.listener.finished(Job::Save).value_or(Note{});
    }
    SessionRig rig;
};

TEST_F(FailureKinds, EachSaveFailureHasItsOwnKind) {
    rig.edit([](model::ConfigState& s) { s.image[img::kGameMode] ^= 1; });

    rig.firmware.setFaults({.noAcknowledgements = true});
    Note n = save();
    EXPECT_FALSE(n.ok);
    EXPECT_EQ(n.errorKind, ErrorKind::NoAcknowledgement);

    rig.firmware.setFaults({.removeAfterPackets = 0});
    rig.edit([](model::ConfigState& s) { s.image[img::kKeyCodeArea + 7] ^= 1; });
    n = save();
    EXPECT_FALSE(n.ok);
    EXPECT_EQ(n.errorKind, ErrorKind::Unplugged);
}

TEST_F(FailureKinds, ProgrammedButNotStoredNamesTheFile) {
    // A folder where keymap.bin should be: the file cannot be replaced, also as root.
    std::filesystem::remove(rig.model.keymapPath());
    std::filesystem::create_directory(rig.model.keymapPath());
    std::filesystem::create_directory(rig.model.keymapPath() / "keep");
    rig.edit([](model::ConfigState& s) { s.image[img::kResponseTime] = 3; });
    const Note n = save();
    EXPECT_FALSE(n.ok);
    EXPECT_EQ(n.errorKind, ErrorKind::System);
    EXPECT_NE(n.text.find("keymap.bin"), std::string::npos) << n.text;
    EXPECT_EQ(rig.firmware.image()[img::kResponseTime], 3);  // the keyboard has it
}

TEST(SessionFailures, SaveWithoutAKeyboardIsNotConnected) {
    SessionRig rig;
    rig.firmware.unplug();
    EXPECT_EQ(rig.session->open(), ConnectionState::Absent);
    rig.session->save();
    ASSERT_TRUE(rig.listener.waitFinished(Job::Save));
    EXPECT_EQ(rig.listener.finished(Job::Save)->errorKind, ErrorKind::NotConnected);
    rig.session->factoryReset();
    ASSERT_TRUE(rig.listener.waitFinished(Job::FactoryReset));
    EXPECT_EQ(rig.listener.finished(Job::FactoryReset)->errorKind, ErrorKind::NotConnected);
}

// The key action table and the flags are the user's: a reset that never reached the keyboard
// leaves them; one that did clears them even when reading the keyboard back fails, which is
// reported.
TEST(SessionFailures, FactoryResetClearsOnlyWhatTheKeyboardReset) {
    SessionRig rig;
    rig.start();
    const auto assign = [](model::ConfigState& st) {
        st.changedKeys[3] = 1;
        st.actions[3 * model::kKeyActionRecordSize + 1] = 5;
    };
    rig.edit(assign);
    rig.firmware.unplug();  // gone, and no removal reported yet
    rig.session->factoryReset();
    ASSERT_TRUE(rig.listener.waitFinished(Job::FactoryReset));
    rig.session->waitIdle();
    Note n = *rig.listener.finished(Job::FactoryReset);
    EXPECT_FALSE(n.ok);
    EXPECT_EQ(n.errorKind, ErrorKind::Unplugged);
    model::ConfigState s = rig.copyState();
    EXPECT_EQ(s.changedKeys[3], 1);
    EXPECT_EQ(s.actions[3 * model::kKeyActionRecordSize + 1], 5);
    EXPECT_FALSE(rig.listener.finished(Job::FactoryReadBack));

    SessionRig second;
    second.start();
    second.edit(assign);
    second.firmware.setFaults({.noGetReply = true});  // the reset is taken, nothing is read
    second.session->factoryReset();
    ASSERT_TRUE(second.listener.waitFinished(Job::FactoryReset));
    second.session->waitIdle();
    EXPECT_TRUE(second.listener.finished(Job::FactoryReset)->ok);
    const auto readBack = second.listener.finished(Job::FactoryReadBack);
    ASSERT_TRUE(readBack);
    EXPECT_FALSE(readBack->ok);
    s = second.copyState();
    EXPECT_EQ(s.changedKeys[3], 0);
    EXPECT_EQ(s.actions[3 * model::kKeyActionRecordSize + 1], 0);
}

// Opens the session and expects its start-up read to fail as a device failure that leaves no
// firmware version.
void openExpectingAFailedStartupRead(SessionRig& rig) {
    rig.session->open();
    ASSERT_TRUE(rig.listener.waitFinished(Job::StartupRead));
    rig.session->waitIdle();
    EXPECT_FALSE(rig.listener.finished(Job::StartupRead)->ok);
    EXPECT_EQ(rig.listener.finished(Job::StartupRead)->errorKind, ErrorKind::Device);
    EXPECT_FALSE(rig.session->firmwareVersion());
}

// A reply whose checksum does not match is a failed exchange like a missing one: the start-up
// read stops, none of the reply's values reach the host copy, and no version is kept.
TEST(SessionFailures, RepliesWithABadChecksumAreNotStored) {
    SessionRig rig;
    model::Image keyboard = rig.firmware.image();
    keyboard[model::image::kBrightness] = 17;
    keyboard[model::image::kGameMode] = 0;
    rig.firmware.setImage(keyboard);
    const model::Image before = rig.model.withLock([](model::ConfigState& s) { return s.image; });
    rig.firmware.setFaults({.badReplyChecksum = true});
    openExpectingAFailedStartupRead(rig);
    rig.model.withLock([&](model::ConfigState& s) {
        EXPECT_EQ(s.image[model::image::kBrightness], before[model::image::kBrightness]);
        EXPECT_EQ(s.syncedImage, before);
    });
}

// A start-up read the keyboard does not answer leaves no firmware version, so no update can be
// offered for it; a later good read brings one.
TEST(SessionFailures, AFailedReadLeavesNoFirmwareVersion) {
    SessionRig rig;
    rig.firmware.setFaults({.noGetReply = true});
    openExpectingAFailedStartupRead(rig);

    rig.firmware.setFaults({});
    rig.firmware.setFirmwareVersion(2, 7);
    rig.firmware.unplug();
    rig.session->deviceRemoved({HotplugKind::Removal, ""});
    ASSERT_TRUE(rig.listener.waitFinished(Job::Removal));
    rig.session->waitIdle();
    rig.firmware.plug();
    rig.session->deviceArrived({HotplugKind::Arrival, ""});
    ASSERT_TRUE(rig.listener.waitFinished(Job::Arrival));
    rig.session->waitIdle();
    ASSERT_TRUE(rig.session->firmwareVersion());
    EXPECT_EQ((*rig.session->firmwareVersion())[1], 7);
}

}  // namespace
}  // namespace tavrik::device
