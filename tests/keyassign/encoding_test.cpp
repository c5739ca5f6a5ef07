#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "common/atomic_file.h"
#include "keyassign/encoding.h"
#include "model/key_table.h"
#include "model/keymap_file.h"
#include "model/slot_table.h"

namespace tavrik::keyassign {
namespace {

using model::KeyCode;

constexpr int kEsc = 0;    // own code 27
constexpr int kKeyA = 63;  // own code 65
constexpr int kMacroBuilt = 0x5A;

// Factory cells, own codes filled, every key enabled, nothing flagged.
std::unique_ptr<model::ConfigState> factoryState() {
    auto s = std::make_unique<model::ConfigState>();
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
        const KeyCode& f = model::factoryKeyCodes()[model::slot(slot).keyIndex];
        std::copy(f.begin(), f.end(), model::keyCodeCell(s->image, slot).begin());
    }
    model::completeFactoryReset(*s);
    return s;
}

AssignmentResult captured(KeyKind k, std::vector<std::uint8_t> codes) {
    AssignmentResult r;
    r.kind = k;
    std::copy(codes.begin(), codes.end(), r.captured.begin());
    r.count = static_cast<int>(codes.size());
    return r;
}

// Stands in for the macro part's slot build: marks the first byte of slot 0.
void markMacroSlots(model::Image& image) {
    image[model::image::macroSlot(0)] = kMacroBuilt;
}

bool encode(model::ConfigState& s, int slot, const AssignmentResult& r,
            Language lang = Language::English) {
    return encodeAssignment(s, slot, r, lang, markMacroSlots);
}

struct SingleKeyCase {
    std::uint8_t code;
    KeyCode cell;
};

class SingleKeyCell : public ::testing::TestWithParam<SingleKeyCase> {};

TEST_P(SingleKeyCell, UsageDecidesKeyboardOrConsumerPage) {
    auto s = factoryState();
    encode(*s, kEsc, captured(KeyKind::SingleKey, {GetParam().code}));
    EXPECT_EQ(model::keyCodeOf(s->image, kEsc), GetParam().cell);
    EXPECT_EQ(s->changedKeys[kEsc], 1);
    auto a = model::keyAction(s->actions, kEsc);
    EXPECT_EQ(a.kind(), 0);
    EXPECT_EQ(a.count(), 1);
    EXPECT_EQ(a.codes()[0], GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Table, SingleKeyCell,
                         ::testing::Values(SingleKeyCase{181, {3, 0, 0x83, 1}},
                                           SingleKeyCase{175, {3, 0, 0xE9, 0}},
                                           SingleKeyCase{174, {3, 0, 0xEA, 0}},
                                           SingleKeyCase{179, {3, 0, 0xCD, 0}},
                                           SingleKeyCase{66, {0, 0, 0x05, 0}}));

TEST(EncodeSingleKey, OwnCodeReturnsTheKeyToItsOwnFunction) {
    auto s = factoryState();
    encode(*s, kKeyA, captured(KeyKind::SingleKey, {66}));
    encode(*s, kKeyA, captured(KeyKind::SingleKey, {65}));
    auto a = model::keyAction(s->actions, kKeyA);
    EXPECT_EQ(a.kind(), 0);
    EXPECT_EQ(a.count(), 0);
    EXPECT_TRUE(std::all_of(a.codes().begin(), a.codes().end(), [](auto c) { return c == 0; }));
    EXPECT_EQ(model::keyCodeOf(s->image, kKeyA), (KeyCode{0, 0, 0x04, 0}));
    EXPECT_EQ(s->changedKeys[kKeyA], 0);
}

TEST(EncodeSingleKey, MoreThanOneKeyIsRecordedButNeverProgrammed) {
    auto s = factoryState();
    const KeyCode before = model::keyCodeOf(s->image, kEsc);
    encode(*s, kEsc, captured(KeyKind::SingleKey, {66, 67}));
    EXPECT_EQ(model::keyCodeOf(s->image, kEsc), before);
    EXPECT_EQ(model::keyAction(s->actions, kEsc).count(), 2);
}

TEST(EncodeCombination, ChordOfUsagesFlagsTheKey) {
    auto s = factoryState();
    encode(*s, kEsc, captured(KeyKind::Combination, {162, 67}));
    EXPECT_EQ(model::keyCodeOf(s->image, kEsc), (KeyCode{0, 0xE0, 0x06, 0}));
    EXPECT_EQ(s->changedKeys[kEsc], 1);
    auto a = model::keyAction(s->actions, kEsc);
    EXPECT_EQ(a.kind(), 1);
    EXPECT_EQ(a.count(), 2);
    // A one-key combination is a change too, as the flag recomputation also finds.
    encode(*s, kKeyA, captured(KeyKind::Combination, {68}));
    EXPECT_EQ(model::keyCodeOf(s->image, kKeyA), (KeyCode{0, 0x07, 0, 0}));
    const auto flag = s->changedKeys[kKeyA];
    model::recomputeChangedKeys(*s);
    EXPECT_EQ(flag, s->changedKeys[kKeyA]);
}

TEST(EncodeMacro, BindsTheSlotAndRebuildsMacroSlots) {
    auto s = factoryState();
    AssignmentResult r;
    r.kind = KeyKind::Macro;
    r.macroIndex = 3;
    encode(*s, kEsc, r);
    EXPECT_EQ(model::keyCodeOf(s->image, kEsc), (KeyCode{4, 1, 3, 0}));
    auto a = model::keyAction(s->actions, kEsc);
    EXPECT_EQ(a.kind(), 2);
    EXPECT_EQ(std::vector<std::uint8_t>(a.codes().begin(), a.codes().begin() + 4),
              (std::vector<std::uint8_t>{4, 1, 3, 0}));
    EXPECT_EQ(s->image[model::image::macroSlot(0)], kMacroBuilt);
    EXPECT_EQ(s->changedKeys[kEsc], 1);
}

TEST(EncodeMacro, NoMacroOrOneBeyondTheDeviceSlotsLeavesTheCell) {
    for (int index : {-1, 32}) {
        auto s = factoryState();
        const KeyCode before = model::keyCodeOf(s->image, kEsc);
        AssignmentResult r;
        r.kind = KeyKind::Macro;
        r.macroIndex = index;
        encode(*s, kEsc, r);
        EXPECT_EQ(model::keyCodeOf(s->image, kEsc), before) << index;
        EXPECT_EQ(model::keyAction(s->actions, kEsc).kind(), 2);
        EXPECT_NE(s->image[model::image::macroSlot(0)], kMacroBuilt);
    }
}

TEST(EncodePreset, NameOfTheCurrentLanguageGivesItsBytes) {
    auto s = factoryState();
    AssignmentResult r;
    r.kind = KeyKind::Preset;
    r.functionName = "复制";
    encode(*s, kEsc, r, Language::Chinese);
    EXPECT_EQ(model::keyCodeOf(s->image, kEsc), (KeyCode{0, 0xE0, 0x06, 0}));
    r.functionName = "Vol+";
    encode(*s, kKeyA, r);
    EXPECT_EQ(model::keyCodeOf(s->image, kKeyA), (KeyCode{3, 0, 0xE9, 0}));
    EXPECT_EQ(model::keyAction(s->actions, kKeyA).codes()[2], 0xE9);
    // A name that matches no row (here a group) keeps the cell but takes the kind.
    const KeyCode before = model::keyCodeOf(s->image, 1);
    r.functionName = "Media";
    encode(*s, 1, r);
    EXPECT_EQ(model::keyCodeOf(s->image, 1), before);
    EXPECT_EQ(model::keyAction(s->actions, 1).kind(), 3);
}

TEST(EncodeLaunch, KeyboardReportsTheOwnCode) {
    auto s = factoryState();
    AssignmentResult r;
    r.kind = KeyKind::StartProgram;
    r.launchPath = "/opt/tools/run";
    encode(*s, kEsc, r);
    EXPECT_EQ(model::keyCodeOf(s->image, kEsc), (KeyCode{10, 0, 27, 0}));
    auto a = model::keyAction(s->actions, kEsc);
    EXPECT_EQ(a.kind(), 5);
    EXPECT_EQ(a.ownCode(), 27);
    EXPECT_EQ(std::vector<std::uint8_t>(a.codes().begin(), a.codes().begin() + 5),
              (std::vector<std::uint8_t>{3, 0, 0x23, 2, 0}));
    EXPECT_EQ(a.launchPath(), "/opt/tools/run");
    EXPECT_EQ(s->changedKeys[kEsc], 1);
}

TEST(EncodeNothingChosen, KindEightRestoresAndEnables) {
    auto s = factoryState();
    encode(*s, kKeyA, captured(KeyKind::Combination, {162, 67}));
    model::setKeyEnabled(s->image, kKeyA, false);
    AssignmentResult r;
    r.kind = KeyKind::None;
    encode(*s, kKeyA, r);
    EXPECT_EQ(model::keyCodeOf(s->image, kKeyA), (KeyCode{0, 0, 0x04, 0}));
    EXPECT_EQ(model::keyAction(s->actions, kKeyA).kind(), 0);
    EXPECT_EQ(model::keyAction(s->actions, kKeyA).count(), 0);
    EXPECT_TRUE(model::keyEnabled(s->image, kKeyA));
}

TEST(EncodeNothingChosen, UnknownKindChangesNothing) {
    auto s = factoryState();
    const auto before = std::make_unique<model::ConfigState>(*s);
    AssignmentResult r = captured(KeyKind::Unchosen, {66});
    r.enabled = false;
    EXPECT_FALSE(encode(*s, kEsc, r));
    EXPECT_EQ(s->image, before->image);
    EXPECT_EQ(s->actions, before->actions);
    EXPECT_EQ(s->changedKeys, before->changedKeys);
}

class ApplyTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("keyassign_apply_" +
                 std::to_string(::testing::UnitTest::GetInstance()->current_test_info()->line()));
        std::filesystem::create_directories(m_dir);
        m_model = std::make_unique<model::ConfigModel>(m_dir / model::kKeymapFileName);
        ASSERT_TRUE(m_model->startup().ok());
        m_model->withLock([](model::ConfigState& s) {
            model::setKeyEnabled(s.image, kKeyA, true);
            model::setKeyEnabled(s.image, kEsc, true);
        });
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    Status apply(int slot, const AssignmentResult& r) {
        return applyAssignment(*m_model, slot, r, Language::English, markMacroSlots);
    }
    // The saved file equals memory.
    void expectSaved() {
        const auto bytes = readWholeFile(m_model->keymapPath());
        ASSERT_TRUE(bytes.ok());
        m_model->withLock([&](model::ConfigState& s) {
            ASSERT_EQ(bytes->size(), model::kKeymapFileSize);
            EXPECT_TRUE(std::equal(s.image.begin(), s.image.end(), bytes->begin()));
            EXPECT_TRUE(
                std::equal(s.actions.begin(), s.actions.end(), bytes->begin() + model::kImageSize));
        });
    }
    bool enabled(int slot) {
        return m_model->withLock(
            [&](model::ConfigState& s) { return model::keyEnabled(s.image, slot); });
    }
    std::uint8_t flag(int slot) {
        return m_model->withLock([&](model::ConfigState& s) { return s.changedKeys[slot]; });
    }

    std::filesystem::path m_dir;
    std::unique_ptr<model::ConfigModel> m_model;
};

// A disabled key ends with its bit clear and its flag set, whatever kind was chosen.
TEST_F(ApplyTest, DisabledKeyEndsFlaggedWithBitClearForEveryKind) {
    for (KeyKind k : {KeyKind::SingleKey, KeyKind::Combination, KeyKind::Macro, KeyKind::Preset,
                      KeyKind::PlaySound, KeyKind::OpenFolder, KeyKind::None}) {
        AssignmentResult r = captured(k, {65});
        r.macroIndex = 0;
        r.functionName = "Run";
        r.launchPath = "/tmp/x";
        r.enabled = false;
        ASSERT_TRUE(apply(kKeyA, r).ok());
        EXPECT_FALSE(enabled(kKeyA)) << int(k);
        EXPECT_EQ(flag(kKeyA), 1) << int(k);
        expectSaved();
    }
}

TEST_F(ApplyTest, DefaultAfterDisablingReEnablesTheKey) {
    AssignmentResult off = captured(KeyKind::SingleKey, {66});
    off.enabled = false;
    ASSERT_TRUE(apply(kKeyA, off).ok());
    ASSERT_FALSE(enabled(kKeyA));
    AssignmentResult def;
    def.count = kDefaultCount;
    def.enabled = false;  // the box may still be ticked: Default wins
    ASSERT_TRUE(apply(kKeyA, def).ok());
    EXPECT_TRUE(enabled(kKeyA));
    EXPECT_EQ(flag(kKeyA), 0);
    m_model->withLock([](model::ConfigState& s) {
        EXPECT_EQ(model::keyAction(s.actions, kKeyA).kind(), 0);
        EXPECT_EQ(model::keyAction(s.actions, kKeyA).count(), 0);
        EXPECT_EQ(model::keyCodeOf(s.image, kKeyA), (KeyCode{0, 0, 0x04, 0}));
    });
    expectSaved();
}

TEST_F(ApplyTest, OverlongPathIsRefusedWithoutChange) {
    AssignmentResult r;
    r.kind = KeyKind::OpenFile;
    r.launchPath = "/" + std::string(255, 'x');
    const auto before = std::filesystem::last_write_time(m_model->keymapPath());
    const Status st = apply(kEsc, r);
    ASSERT_FALSE(st.ok());
    EXPECT_EQ(st.error().kind, ErrorKind::Value);
    m_model->withLock(
        [](model::ConfigState& s) { EXPECT_EQ(model::keyAction(s.actions, kEsc).kind(), 0); });
    EXPECT_EQ(std::filesystem::last_write_time(m_model->keymapPath()), before);
}

TEST_F(ApplyTest, SaveFailureKeepsMemoryAndReportsSystemError) {
    // A deleted folder is made again, so the folder is replaced by a file that cannot be one.
    std::filesystem::remove_all(m_dir);
    std::ofstream(m_dir) << "not a folder";
    const Status st = apply(kEsc, captured(KeyKind::SingleKey, {66}));
    ASSERT_FALSE(st.ok());
    EXPECT_EQ(st.error().kind, ErrorKind::System);
    EXPECT_EQ(flag(kEsc), 1);
}

}  // namespace
}  // namespace tavrik::keyassign
