#include <gtest/gtest.h>

#include <set>

#include "describe/key_names.h"
#include "describe/words.h"
#include "model/slot_table.h"

namespace tavrik::describe {
namespace {

struct SlotNameRow {
    int slot;
    const char* name;
};

class CanonicalSlotNames : public testing::TestWithParam<SlotNameRow> {};

TEST_P(CanonicalSlotNames, NameAndLookupAgree) {
    EXPECT_EQ(slotName(GetParam().slot), GetParam().name);
    EXPECT_EQ(findSlot(GetParam().name), GetParam().slot);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CanonicalSlotNames,
    testing::Values(SlotNameRow{0, "Esc"}, SlotNameRow{1, "F1"}, SlotNameRow{12, "F12"},
                    SlotNameRow{63, "A"}, SlotNameRow{21, "1"}, SlotNameRow{30, "0"},
                    SlotNameRow{95, "LCtrl"}, SlotNameRow{102, "RCtrl"}, SlotNameRow{78, "LShift"},
                    SlotNameRow{89, "RShift"}, SlotNameRow{98, "Space"}, SlotNameRow{90, "Up"},
                    SlotNameRow{74, "Enter"}, SlotNameRow{94, "NumEnter"}, SlotNameRow{31, "-"},
                    SlotNameRow{40, "Num-"}, SlotNameRow{91, "Num1"}, SlotNameRow{61, "NumPlus"},
                    SlotNameRow{37, "NumLock"}, SlotNameRow{16, "VolumeDown"},
                    SlotNameRow{17, "Media"}, SlotNameRow{54, "\\"}, SlotNameRow{100, "Fn"},
                    SlotNameRow{101, "Apps"}, SlotNameRow{108, "S1"}, SlotNameRow{112, "S5"}));

TEST(SlotNames, EverySlotHasItsOwnNameWithoutBlanksOrPlus) {
    std::set<std::string> seen;
    for (int s = 0; s < model::kSlotCount; ++s) {
        const std::string name = slotName(s);
        EXPECT_FALSE(name.empty()) << s;
        EXPECT_EQ(name.find_first_of(" +"), std::string::npos) << name;
        EXPECT_TRUE(seen.insert(name).second) << "shared name " << name;
        EXPECT_EQ(findSlot(name), s) << name;
    }
    EXPECT_EQ(slotName(113), "");
    EXPECT_EQ(slotName(-1), "");
}

struct AliasRow {
    const char* alias;
    int slot;
};

class SlotAliases : public testing::TestWithParam<AliasRow> {};

TEST_P(SlotAliases, NameTheExpectedSlot) {
    EXPECT_EQ(findSlot(GetParam().alias), GetParam().slot) << GetParam().alias;
}

// Display names of the key table, DIY-view labels and common names, in any case; a label two
// keys share names the first (left) one.
INSTANTIATE_TEST_SUITE_P(
    Table, SlotAliases,
    testing::Values(AliasRow{"esc", 0}, AliasRow{"ESCAPE", 0}, AliasRow{"  Esc  ", 0},
                    AliasRow{"Shift", 78}, AliasRow{"ctrl", 95}, AliasRow{"Alt", 97},
                    AliasRow{"Caps Lock", 62}, AliasRow{"capslock", 62}, AliasRow{"Prnt", 13},
                    AliasRow{"Scrl", 14}, AliasRow{"Ins", 34}, AliasRow{"Insert", 34},
                    AliasRow{"1-num", 91}, AliasRow{"Volume DOWN", 16}, AliasRow{"Player", 17},
                    AliasRow{"App", 101}, AliasRow{"Ent", 74}, AliasRow{"~", 20},
                    AliasRow{"Backspace", 33}, AliasRow{"pageup", 36}, AliasRow{"Win", 96}));

TEST(SlotNames, UnknownNamesGetTheClosestSuggestion) {
    EXPECT_FALSE(findSlot("Ecs"));
    EXPECT_EQ(closestSlotName("Ecs"), "Esc");
    EXPECT_EQ(closestSlotName("Spcae"), "Space");
    EXPECT_EQ(closestSlotName("lctlr"), "LCtrl");
    EXPECT_EQ(closestSlotName("qwertyuiop"), "");
    EXPECT_EQ(closestSlotName(" "), "");  // nothing is "close" to a blank name
    EXPECT_FALSE(findSlot(""));
}

TEST(CodeNames, CapturedKeysByCode) {
    EXPECT_EQ(findCode("LCtrl"), 162);
    EXPECT_EQ(findCode("c"), 67);
    EXPECT_EQ(findCode("RWin"), 92);  // no slot carries it
    EXPECT_EQ(findCode("MsLB"), 240);
    EXPECT_EQ(findCode("Num1"), 97);
    EXPECT_EQ(findCode("1"), 49);
    EXPECT_EQ(findCode("Code243"), 243);
    EXPECT_EQ(findCode("code17"), 17);
    EXPECT_FALSE(findCode("Code0"));
    EXPECT_FALSE(findCode("Code255"));
    EXPECT_FALSE(findCode("Code12x"));
    EXPECT_FALSE(findCode("Fn"));  // the function key has no code of its own
    EXPECT_FALSE(findCode("S1"));  // macro keys emit nothing
    EXPECT_EQ(codeName(243), "Code243");
    EXPECT_EQ(codeName(92), "RWin");
    EXPECT_EQ(codeName(174), "VolumeDown");
    EXPECT_EQ(codeName(179), "PlayPause");
    EXPECT_EQ(codeName(248), "WheelUp");
    EXPECT_EQ(closestCodeName("LCtlr"), "LCtrl");
}

TEST(CodeNames, EveryKeyCodeNameLeadsBackToItsCode) {
    for (int c = 1; c < 255; ++c) {
        const auto code = static_cast<std::uint8_t>(c);
        EXPECT_EQ(findCode(codeName(code)), code) << codeName(code);
    }
}

TEST(EditDistance, CountsEditsIgnoringCase) {
    EXPECT_EQ(editDistance("Esc", "Ecs"), 1u);  // a swap of neighbours
    EXPECT_EQ(editDistance("kitten", "sitting"), 3u);
    EXPECT_EQ(editDistance("ESC", "esc"), 0u);
    EXPECT_EQ(editDistance("", "abc"), 3u);
}

}  // namespace
}  // namespace tavrik::describe
