// `set` argument lists: what each stores in the configuration, and that refused input changes
// nothing and says in one line what to do.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/utf16.h"
#include "describe/key_function.h"
#include "describe/set_command.h"
#include "factory_state.h"
#include "macro/macro_store.h"
#include "model/slot_table.h"
#include "settings/effects.h"
#include "settings/panel.h"

namespace tavrik::describe {
namespace {

using test_support::factoryState;
using test_support::kASlot;

namespace img = model::image;

struct SetCommandTest : ::testing::Test {
    SetCommandTest() : state(factoryState()), macros(std::make_unique<macro::MacroStore>()) {
        macro::setMacroName((*macros)[0], utf8ToUtf16("Combo"));
        macro::setLoopCount((*macros)[0], 3);
    }
    Status set(std::vector<std::string> args) { return applySetCommand(*state, *macros, args); }

    std::unique_ptr<model::ConfigState> state;
    std::unique_ptr<macro::MacroStore> macros;
};

TEST_F(SetCommandTest, EffectStoresTheEffectAndItsOptions) {
    ASSERT_TRUE(set({"effect", "wave", "--speed", "2", "--brightness=30", "--direction", "TOP"}));
    EXPECT_EQ(state->image[img::kEffect], settings::effect::kWave);
    EXPECT_EQ(state->image[img::kSpeed], 2);
    EXPECT_EQ(state->image[img::kBrightness], 30);
    EXPECT_EQ(state->image[img::kDirection], 3);
    EXPECT_EQ(state->image[img::kColourChoice], 8);  // Wave takes the full colour choice

    // Chinese names; options left out keep their values; Static leaves the full choice.
    ASSERT_TRUE(set({"effect", "全亮"}));
    EXPECT_EQ(state->image[img::kEffect], settings::effect::kStatic);
    EXPECT_EQ(state->image[img::kBrightness], 30);
    EXPECT_EQ(state->image[img::kColourChoice], 1);
    ASSERT_TRUE(set({"effect", "Gradient", "--direction", "bottom"}));
    EXPECT_EQ(state->image[img::kDirection], 4);
}

TEST_F(SetCommandTest, SwitchesAndPerformanceValues) {
    ASSERT_TRUE(set({"game-mode", "on"}));
    EXPECT_EQ(state->image[img::kGameMode], 1);
    ASSERT_TRUE(set({"game-mode", "off"}));
    EXPECT_EQ(state->image[img::kGameMode], 0);
    ASSERT_TRUE(set({"win-lock", "yes"}));
    EXPECT_EQ(state->image[img::kWinLock], 1);
    ASSERT_TRUE(set({"response-time", "8ms"}));
    EXPECT_EQ(state->image[img::kResponseTime], 4);
    ASSERT_TRUE(set({"response-time", "20"}));
    EXPECT_EQ(state->image[img::kResponseTime], 10);
    ASSERT_TRUE(set({"report-rate", "250Hz"}));
    EXPECT_EQ(state->image[img::kReportRate], 1);
    ASSERT_TRUE(set({"report-rate", "1000"}));
    EXPECT_EQ(state->image[img::kReportRate], 3);
}

TEST_F(SetCommandTest, KeyJoinsTheFunctionWordsAndStoresWhatTheDialogStores) {
    ASSERT_TRUE(set({"key", "a", "LCtrl", "+", "C"}));
    EXPECT_EQ(model::keyCodeOf(state->image, kASlot), (model::KeyCode{0x00, 0xE0, 0x06, 0x00}));
    EXPECT_EQ(describeKey(state->image, state->actions, *macros, kASlot), "LCtrl + C");
    ASSERT_TRUE(set({"key", "A", "macro", "Combo"}));
    EXPECT_EQ(model::keyCodeOf(state->image, kASlot), (model::KeyCode{0x04, 0x01, 0x00, 0x00}));
    EXPECT_EQ(state->image[img::macroSlot(0) + 1], 3);  // the macro slots were rebuilt
    ASSERT_TRUE(set({"key", "A", "launch", "program", "/opt/my tool/run"}));
    EXPECT_EQ(describeKey(state->image, state->actions, *macros, kASlot),
              "program /opt/my tool/run");
    ASSERT_TRUE(set({"key", "A", "disable"}));
    EXPECT_EQ(describeKey(state->image, state->actions, *macros, kASlot), "disabled");
    ASSERT_TRUE(set({"key", "A", "default"}));
    EXPECT_EQ(describeKey(state->image, state->actions, *macros, kASlot), "default");
}

TEST_F(SetCommandTest, DiyStoresOneCellOfOneTable) {
    ASSERT_TRUE(set({"diy", "2", "A", "#00ff80"}));
    const std::size_t at = settings::diyCellOffset(1, kASlot);
    EXPECT_EQ(state->image[at], 0);
    EXPECT_EQ(state->image[at + 1], 0x80);  // blue, green, red
    EXPECT_EQ(state->image[at + 2], 0xFF);
    EXPECT_EQ(state->image[at + 3], 0x00);
    EXPECT_EQ(state->image[settings::diyCellOffset(0, kASlot) + 2], 0);  // DIY1 untouched
}

struct Refusal {
    std::vector<std::string> args;
    const char* message;  // a part of the one-line error
};

class SetCommandRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(SetCommandRefusal, ChangesNothingAndSaysWhatToDo) {
    auto state = factoryState();
    const auto before = std::make_unique<model::ConfigState>(*state);
    auto macros = std::make_unique<macro::MacroStore>();
    macro::setMacroName((*macros)[0], utf8ToUtf16("Combo"));
    const Status s = applySetCommand(*state, *macros, GetParam().args);
    ASSERT_FALSE(s);
    EXPECT_EQ(s.error().kind, ErrorKind::Value);
    const std::string& text = s.error().context;
    EXPECT_NE(text.find(GetParam().message), std::string::npos) << text;
    EXPECT_EQ(text.find('\n'), std::string::npos) << text;
    EXPECT_TRUE(state->image == before->image);
    EXPECT_TRUE(state->actions == before->actions);
    EXPECT_TRUE(state->changedKeys == before->changedKeys);
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, SetCommandRefusal,
    ::testing::Values(
        Refusal{{}, "set needs a setting"}, Refusal{{"efect", "wave"}, "did you mean \"effect\"?"},
        Refusal{{"effect"}, "missing effect name"},
        Refusal{{"effect", "wav"}, "did you mean \"Wave\"?"},
        Refusal{{"effect", "wave", "--speed", "10"}, "speed"},
        Refusal{{"effect", "wave", "--speed"}, "missing value after \"--speed\""},
        Refusal{{"effect", "wave", "--brightness", "51"}, "brightness"},
        Refusal{{"effect", "wave", "--brightness", "-1"}, "brightness"},
        Refusal{{"effect", "wave", "--colour", "1"}, "unknown option \"--colour\""},
        Refusal{{"effect", "static", "--speed", "3"}, "has no speed"},
        Refusal{{"effect", "breathing", "--direction", "left"}, "has no direction"},
        Refusal{{"effect", "radar", "--direction", "top"}, "takes direction"},
        Refusal{{"effect", "wave", "--direction", "up"}, "left"},
        Refusal{{"game-mode"}, "missing value"}, Refusal{{"game-mode", "maybe"}, "on"},
        Refusal{{"win-lock", "on", "off"}, "unexpected argument \"off\""},
        Refusal{{"response-time", "3"}, "2, 4, 6, ... 20"},
        Refusal{{"response-time", "22"}, "response time"},
        Refusal{{"response-time", "fast"}, "response time"},
        Refusal{{"report-rate", "300"}, "125, 250, 500 or 1000"},
        Refusal{{"report-rate", "99999999999"}, "125, 250, 500 or 1000 Hz, not \"99999999999\""},
        Refusal{{"key", "", "B"}, "key names are like Esc"},
        Refusal{{"key", "Ecs", "default"}, "unknown key \"Ecs\"; did you mean \"Esc\"?"},
        Refusal{{"key", "A"}, "missing key or function"},
        Refusal{{"key", "A", "LCtrl", "+", "Ecs"}, "did you mean \"Esc\"?"},
        Refusal{{"key", "A", "macro", "Comob"}, "did you mean \"Combo\"?"},
        Refusal{{"key", "Fn", "B"}, "Fn key"}, Refusal{{"key", "LWin", "B"}, "win-lock"},
        Refusal{{"key", "Num1", "B"}, "not on the 87-key keyboard"},
        Refusal{{"diy", "6", "A", "#FF0000"}, "DIY table"},
        Refusal{{"diy", "0", "A", "#FF0000"}, "DIY table"},
        Refusal{{"diy", "1", "Spcae", "#FF0000"}, "did you mean \"Space\"?"},
        Refusal{{"diy", "1", "A", "#GG0000"}, "RRGGBB"},
        Refusal{{"diy", "1", "A"}, "missing value"}));

}  // namespace
}  // namespace tavrik::describe
