#include <gtest/gtest.h>

#include <memory>

#include "common/utf16.h"
#include "describe/key_function.h"
#include "factory_state.h"
#include "macro/macro_store.h"
#include "model/slot_table.h"

namespace tavrik::describe {
namespace {

using test_support::factoryState;
using test_support::kASlot;

using keyassign::AssignmentResult;

constexpr int kEscSlot = 0;

std::unique_ptr<macro::MacroStore> storeWith(std::initializer_list<const char*> names) {
    auto store = std::make_unique<macro::MacroStore>();
    std::size_t i = 0;
    for (const char* n : names) {
        macro::setMacroName((*store)[i], utf8ToUtf16(n));
        macro::setLoopCount((*store)[i], static_cast<std::uint16_t>(i + 2));
        ++i;
    }
    return store;
}

struct ParseRow {
    const char* words;
    std::uint8_t kind;
    int count;
    std::array<std::uint8_t, 3> captured;
    int macroIndex;
    const char* functionName;
    const char* launchPath;
};

class ParseKeyFunction : public testing::TestWithParam<ParseRow> {};

TEST_P(ParseKeyFunction, GivesTheDialogResult) {
    const ParseRow& row = GetParam();
    const auto macros = storeWith({"Fire", "Combo"});
    const auto f = parseKeyFunction(row.words, *macros);
    ASSERT_TRUE(f) << f.error().context;
    EXPECT_EQ(f->action, KeyFunction::Action::Assign);
    const AssignmentResult& a = f->assignment;
    EXPECT_EQ(static_cast<std::uint8_t>(a.kind), row.kind);
    EXPECT_EQ(a.count, row.count);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(a.captured[i], row.captured[i]) << i;
    EXPECT_EQ(a.captured[3], 0);
    EXPECT_EQ(a.macroIndex, row.macroIndex);
    EXPECT_EQ(a.functionName, row.functionName);
    EXPECT_EQ(a.launchPath, row.launchPath);
}

INSTANTIATE_TEST_SUITE_P(
    Words, ParseKeyFunction,
    testing::Values(ParseRow{"LCtrl + C", 1, 2, {162, 67, 0}, -1, "", ""},
                    ParseRow{"LCtrl+C", 1, 2, {162, 67, 0}, -1, "", ""},
                    ParseRow{"  lctrl +c ", 1, 2, {162, 67, 0}, -1, "", ""},
                    ParseRow{"LShift + LAlt + F4", 1, 3, {160, 164, 115}, -1, "", ""},
                    ParseRow{"B", 0, 1, {66, 0, 0}, -1, "", ""},
                    ParseRow{"VolumeUp", 0, 1, {175, 0, 0}, -1, "", ""},
                    ParseRow{"preset Mute", 3, 0, {}, -1, "Mute", ""},
                    ParseRow{"preset 静音", 3, 0, {}, -1, "Mute", ""},
                    ParseRow{"preset select all", 3, 0, {}, -1, "Select All", ""},
                    ParseRow{"Task Management", 3, 0, {}, -1, "Task Management", ""},
                    ParseRow{"macro Combo", 2, 0, {}, 1, "", ""},
                    ParseRow{"macro combo", 2, 0, {}, 1, "", ""},
                    ParseRow{"macro #5", 2, 0, {}, 5, "", ""},
                    ParseRow{
                        "launch program /usr/bin/foo  bar", 5, 0, {}, -1, "", "/usr/bin/foo  bar"},
                    ParseRow{"program /usr/bin/foo", 5, 0, {}, -1, "", "/usr/bin/foo"},
                    ParseRow{"sound /a.mp3", 4, 0, {}, -1, "", "/a.mp3"},
                    ParseRow{"file notes.txt", 6, 0, {}, -1, "", "notes.txt"},
                    ParseRow{"launch folder /tmp/", 7, 0, {}, -1, "", "/tmp/"},
                    ParseRow{"default", 8, 255, {}, -1, "", ""}));

TEST(ParseKeyFunction, EnableAndDisableOnlyTouchTheEnableState) {
    const auto macros = storeWith({});
    EXPECT_EQ(parseKeyFunction("disable", *macros)->action, KeyFunction::Action::Disable);
    EXPECT_EQ(parseKeyFunction("Disabled", *macros)->action, KeyFunction::Action::Disable);
    EXPECT_EQ(parseKeyFunction("enable", *macros)->action, KeyFunction::Action::Enable);
}

struct ErrorRow {
    const char* words;
    const char* message;
};

class ParseKeyFunctionErrors : public testing::TestWithParam<ErrorRow> {};

TEST_P(ParseKeyFunctionErrors, SayWhatToDo) {
    const auto macros = storeWith({"Fire", "Combo"});
    const auto f = parseKeyFunction(GetParam().words, *macros);
    ASSERT_FALSE(f);
    EXPECT_EQ(f.error().kind, ErrorKind::Value);
    EXPECT_NE(f.error().context.find(GetParam().message), std::string::npos) << f.error().context;
    EXPECT_EQ(f.error().context.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Words, ParseKeyFunctionErrors,
    testing::Values(
        ErrorRow{"LCtrl + Ecs", "unknown key \"Ecs\" in \"LCtrl + Ecs\"; did you mean \"Esc\"?"},
        ErrorRow{"Ecs", "unknown key \"Ecs\"; did you mean \"Esc\"?"},
        ErrorRow{"A + B + C + D", "at most 3 keys"}, ErrorRow{"LCtrl +", "empty key name"},
        ErrorRow{"preset Mutte", "did you mean \"Mute\"?"},
        ErrorRow{"macro Fier", "unknown macro \"Fier\"; did you mean \"Fire\"?"},
        ErrorRow{"macro #32", "#0..#31"}, ErrorRow{"macro", "macro needs a name"},
        ErrorRow{"program", "program needs a path"},
        ErrorRow{"launch rocket /x", "unknown launch kind \"rocket\""},
        ErrorRow{"launch program", "program needs a path"}, ErrorRow{"", "no key function given"}));

TEST(ParseKeyFunction, RefusesOverlongLaunchPaths) {
    const auto macros = storeWith({});
    EXPECT_TRUE(parseKeyFunction("program /" + std::string(254, 'x'), *macros));
    const auto f = parseKeyFunction("program /" + std::string(255, 'x'), *macros);
    ASSERT_FALSE(f);
    EXPECT_NE(f.error().context.find("longer than 255"), std::string::npos);
}

struct ApplyRow {
    int slot;
    const char* words;
    model::KeyCode cell;  // what the keyboard executes afterwards
    const char* described;
};

class ApplyAndDescribe : public testing::TestWithParam<ApplyRow> {};

TEST_P(ApplyAndDescribe, StoresTheCellAndReadsBackAsWords) {
    const ApplyRow& row = GetParam();
    const auto macros = storeWith({"Fire", "Combo"});
    auto s = factoryState();
    const auto f = parseKeyFunction(row.words, *macros);
    ASSERT_TRUE(f) << f.error().context;
    applyKeyFunction(*s, row.slot, *f, *macros);
    EXPECT_EQ(model::keyCodeOf(s->image, row.slot), row.cell);
    EXPECT_EQ(describeKey(s->image, s->actions, *macros, row.slot), row.described);
    EXPECT_TRUE(model::keyEnabled(s->image, row.slot));
}

INSTANTIATE_TEST_SUITE_P(
    Golden, ApplyAndDescribe,
    testing::Values(ApplyRow{kASlot, "lctrl+c", {0x00, 0xE0, 0x06, 0x00}, "LCtrl + C"},
                    ApplyRow{kASlot, "B", {0x00, 0x00, 0x05, 0x00}, "B"},
                    ApplyRow{kASlot, "A", {0x00, 0x00, 0x04, 0x00}, "default"},  // its own key
                    ApplyRow{kASlot, "Volume UP", {0x03, 0x00, 0xE9, 0x00}, "VolumeUp"},
                    ApplyRow{kASlot, "Media", {0x03, 0x00, 0x83, 0x01}, "Media"},
                    ApplyRow{kASlot, "preset 静音", {0x03, 0x00, 0xE2, 0x00}, "preset Mute"},
                    ApplyRow{
                        kASlot, "preset Select All", {0x00, 0xE0, 0x04, 0x00}, "preset Select All"},
                    ApplyRow{kASlot, "macro Combo", {0x04, 0x01, 0x01, 0x00}, "macro Combo"},
                    ApplyRow{kASlot, "macro #7", {0x04, 0x01, 0x07, 0x00}, "macro #7"},
                    ApplyRow{kEscSlot,
                             "launch program /usr/bin/foo",
                             {0x0A, 0x00, 27, 0x00},
                             "program /usr/bin/foo"},
                    ApplyRow{kEscSlot, "sound /a b.mp3", {0x0A, 0x00, 27, 0x00}, "sound /a b.mp3"},
                    ApplyRow{kASlot, "default", {0x00, 0x00, 0x04, 0x00}, "default"}));

TEST(ApplyKeyFunction, BindingAMacroBuildsTheMacroSlots) {
    const auto macros = storeWith({"Fire", "Combo"});
    auto s = factoryState();
    applyKeyFunction(*s, kASlot, *parseKeyFunction("macro Fire", *macros), *macros);
    // Slot 1 ("Combo", loop count 3) starts with its loop count, high byte first.
    EXPECT_EQ(s->image[model::image::macroSlot(1)], 0);
    EXPECT_EQ(s->image[model::image::macroSlot(1) + 1], 3);
    EXPECT_EQ(s->changedKeys[kASlot], 1);
}

TEST(ApplyKeyFunction, DisableKeepsTheFunctionAndEnableBringsTheKeyBack) {
    const auto macros = storeWith({});
    auto s = factoryState();
    applyKeyFunction(*s, kASlot, *parseKeyFunction("LCtrl + C", *macros), *macros);
    applyKeyFunction(*s, kASlot, *parseKeyFunction("disable", *macros), *macros);
    EXPECT_FALSE(model::keyEnabled(s->image, kASlot));
    EXPECT_EQ(s->changedKeys[kASlot], 1);
    EXPECT_EQ(describeKey(s->image, s->actions, *macros, kASlot), "disabled");
    EXPECT_EQ(describeKeyFunction(s->image, s->actions, *macros, kASlot), "LCtrl + C");
    applyKeyFunction(*s, kASlot, *parseKeyFunction("enable", *macros), *macros);
    EXPECT_EQ(describeKey(s->image, s->actions, *macros, kASlot), "LCtrl + C");
    // Default re-enables a disabled key, as the dialog's Default button does.
    applyKeyFunction(*s, kASlot, *parseKeyFunction("disable", *macros), *macros);
    applyKeyFunction(*s, kASlot, *parseKeyFunction("default", *macros), *macros);
    EXPECT_TRUE(model::keyEnabled(s->image, kASlot));
}

TEST(DescribeKeyFunction, TheCellWinsWhenTheRecordDoesNotMatchIt) {
    const auto macros = storeWith({"Fire"});
    auto s = factoryState();
    applyKeyFunction(*s, kASlot, *parseKeyFunction("preset Mute", *macros), *macros);
    // The keyboard was programmed elsewhere: its cell says B, the host's record says Mute.
    const std::array<std::uint8_t, 4> b{0x00, 0x00, 0x05, 0x00};
    std::copy(b.begin(), b.end(), model::keyCodeCell(s->image, kASlot).begin());
    EXPECT_EQ(describeKeyFunction(s->image, s->actions, *macros, kASlot), "B");
    // A record of no known kind with a host-action cell.
    model::keyAction(s->actions, kASlot).setKind(9);
    const std::array<std::uint8_t, 4> host{0x0A, 0x00, 0x41, 0x00};
    std::copy(host.begin(), host.end(), model::keyCodeCell(s->image, kASlot).begin());
    EXPECT_EQ(describeKeyFunction(s->image, s->actions, *macros, kASlot), "cell 0A 00 41 00");
    // A factory media key reads as its default.
    EXPECT_EQ(describeKeyFunction(s->image, s->actions, *macros, 16), "default");
}

TEST(DescribeKeyFunction, AKeyWhoseCellHoldsItsOwnCodeIsDefaultWhateverTheRecordSays) {
    const auto macros = storeWith({"Fire"});
    auto s = factoryState();
    const model::KeyCode own = model::keyCodeOf(s->image, kASlot);
    // keymap.bin kept a combination the keyboard no longer has (it was reset elsewhere).
    applyKeyFunction(*s, kASlot, *parseKeyFunction("LCtrl + C", *macros), *macros);
    std::copy(own.begin(), own.end(), model::keyCodeCell(s->image, kASlot).begin());
    EXPECT_EQ(describeKeyFunction(s->image, s->actions, *macros, kASlot), "default");
    // The same for a record of no known kind, and for the cell form with the code in byte 2.
    model::keyAction(s->actions, kASlot).setKind(9);
    EXPECT_EQ(describeKeyFunction(s->image, s->actions, *macros, kASlot), "default");
    const std::array<std::uint8_t, 4> usageCell{0x00, 0x00, 0x04, 0x00};
    std::copy(usageCell.begin(), usageCell.end(), model::keyCodeCell(s->image, kASlot).begin());
    EXPECT_EQ(describeKeyFunction(s->image, s->actions, *macros, kASlot), "default");
}

TEST(DescribeKeyFunction, ChineseNamesForPresets) {
    const auto macros = storeWith({});
    auto s = factoryState();
    applyKeyFunction(*s, kASlot, *parseKeyFunction("preset Prev", *macros), *macros);
    EXPECT_EQ(describeKeyFunction(s->image, s->actions, *macros, kASlot, Language::Chinese),
              "preset 上一曲");
}

TEST(CheckAssignableSlot, OnlyTheKeysTheKeyMapViewAssigns) {
    EXPECT_TRUE(checkAssignableSlot(kEscSlot));
    EXPECT_TRUE(checkAssignableSlot(kASlot));
    EXPECT_FALSE(checkAssignableSlot(model::kFnSlot));
    EXPECT_FALSE(checkAssignableSlot(96));   // Win: locked through win-lock
    EXPECT_FALSE(checkAssignableSlot(16));   // media key, not on the 87-key layout
    EXPECT_FALSE(checkAssignableSlot(108));  // S1
    EXPECT_FALSE(checkAssignableSlot(113));
}

}  // namespace
}  // namespace tavrik::describe
