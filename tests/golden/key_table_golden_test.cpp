// The key table against values written out by hand: every record that is a key, with its usage
// byte and display name (trailing blanks included), and every other code empty.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "model/key_table.h"

namespace tavrik::model {
namespace {

struct ExpectedKey {
    int code;
    int usage;
    const char* name;
};

// Every code that carries a usage or a name; all others have usage 0 and an empty name.
constexpr ExpectedKey kKeys[] = {
    {8, 0x2A, "Back "},
    {9, 0x2B, "Tab "},
    {13, 0x28, "Enter "},
    {19, 0x48, "Pause "},
    {20, 0x39, "Caps "},
    {27, 0x29, "Esc "},
    {32, 0x2C, "Space "},
    {33, 0x4B, "PgUp "},
    {34, 0x4E, "PgDn "},
    {35, 0x4D, "End "},
    {36, 0x4A, "Home "},
    {37, 0x50, "Left "},
    {38, 0x52, "Up "},
    {39, 0x4F, "Right "},
    {40, 0x51, "Down "},
    {44, 0x46, "Prscr "},
    {45, 0x49, "Inst "},
    {46, 0x4C, "Del "},
    {48, 0x27, "0"},
    {49, 0x1E, "1 "},
    {50, 0x1F, "2 "},
    {51, 0x20, "3 "},
    {52, 0x21, "4 "},
    {53, 0x22, "5 "},
    {54, 0x23, "6 "},
    {55, 0x24, "7 "},
    {56, 0x25, "8 "},
    {57, 0x26, "9 "},
    {65, 0x04, "A "},
    {66, 0x05, "B "},
    {67, 0x06, "C "},
    {68, 0x07, "D "},
    {69, 0x08, "E "},
    {70, 0x09, "F "},
    {71, 0x0A, "G "},
    {72, 0x0B, "H "},
    {73, 0x0C, "I "},
    {74, 0x0D, "J "},
    {75, 0x0E, "K "},
    {76, 0x0F, "L "},
    {77, 0x10, "M "},
    {78, 0x11, "N "},
    {79, 0x12, "O "},
    {80, 0x13, "P "},
    {81, 0x14, "Q "},
    {82, 0x15, "R "},
    {83, 0x16, "S "},
    {84, 0x17, "T "},
    {85, 0x18, "U "},
    {86, 0x19, "V "},
    {87, 0x1A, "W "},
    {88, 0x1B, "X "},
    {89, 0x1C, "Y "},
    {90, 0x1D, "Z "},
    {91, 0xE3, "LWin "},
    {92, 0xE7, "RWin "},
    {93, 0x65, "Apps "},
    {96, 0x62, "0-num "},
    {97, 0x59, "1-num "},
    {98, 0x5A, "2-num "},
    {99, 0x5B, "3-num "},
    {100, 0x5C, "4-num "},
    {101, 0x5D, "5-num "},
    {102, 0x5E, "6-num "},
    {103, 0x5F, "7-num "},
    {104, 0x60, "8-num "},
    {105, 0x61, "9-num "},
    {106, 0x55, "* "},
    {107, 0x57, "+ "},
    {108, 0x58, "Enter "},
    {109, 0x56, "- "},
    {110, 0x63, ". "},
    {111, 0x54, "/ "},
    {112, 0x3A, "F1 "},
    {113, 0x3B, "F2 "},
    {114, 0x3C, "F3 "},
    {115, 0x3D, "F4 "},
    {116, 0x3E, "F5 "},
    {117, 0x3F, "F6 "},
    {118, 0x40, "F7 "},
    {119, 0x41, "F8 "},
    {120, 0x42, "F9 "},
    {121, 0x43, "F10 "},
    {122, 0x44, "F11 "},
    {123, 0x45, "F12 "},
    {144, 0x53, "Num "},
    {145, 0x47, "Scrol "},
    {160, 0xE1, "LShift "},
    {161, 0xE5, "RShift "},
    {162, 0xE0, "LCtrl "},
    {163, 0xE4, "RCtrl "},
    {164, 0xE2, "LAlt "},
    {165, 0xE6, "RAlt "},
    {174, 0xEA, "Volume DOWN "},
    {175, 0xE9, "Volume UP "},
    {179, 0xCD, "Play/Pause"},
    {181, 0x83, "Media "},
    {186, 0x33, "; "},
    {187, 0x2E, "= "},
    {188, 0x36, ", "},
    {189, 0x2D, "- "},
    {190, 0x37, ". "},
    {191, 0x38, "/ "},
    {192, 0x35, "` "},
    {219, 0x2F, "[ "},
    {220, 0x32, "\\ "},
    {221, 0x30, "] "},
    {222, 0x34, "' "},
    {240, 0xF0, "MsLB"},
    {241, 0xF1, "MsRB"},
    {242, 0xF2, "MsMB"},
    {243, 0xF3, ""},
    {244, 0xF4, ""},
    {245, 0xF5, "Mouse Pointer Right"},
    {246, 0xF6, "Mouse Pointer Up"},
    {247, 0xF7, "Mouse pointer Down"},
    {248, 0xF8, "Mouse Wheel Up"},
    {249, 0xF9, "Mouse Wheel Down"},
};

TEST(KeyTableGolden, EveryRecordMatchesTheHandWrittenTable) {
    std::map<int, ExpectedKey> expected;
    for (const auto& k : kKeys) expected.emplace(k.code, k);
    ASSERT_EQ(expected.size(), 118u);

    const KeyTable& table = keyTable();
    ASSERT_EQ(table.size(), 255u);
    for (int code = 0; code < 255; ++code) {
        SCOPED_TRACE("code " + std::to_string(code));
        const KeyRecord& r = table[static_cast<std::size_t>(code)];
        EXPECT_EQ(r.code, code);
        const auto it = expected.find(code);
        const int usage = it == expected.end() ? 0 : it->second.usage;
        const std::string name = it == expected.end() ? "" : it->second.name;
        EXPECT_EQ(r.usage, usage);
        EXPECT_EQ(r.name, name);
        EXPECT_EQ(keyUsage(code), usage);
        EXPECT_EQ(keyName(code), name);
    }
}

TEST(KeyTableGolden, CodesOutsideTheTableAreNoKeys) {
    for (int code : {-1, 255, 256, 1000}) {
        EXPECT_EQ(keyUsage(code), 0) << code;
        EXPECT_EQ(keyName(code), "") << code;
    }
}

TEST(KeyTableGolden, UsageMapsBackToTheLowestCodeThatEmitsIt) {
    std::map<int, int> firstCode;
    for (const auto& k : kKeys) firstCode.emplace(k.usage, k.code);  // kKeys is in code order
    for (int usage = 1; usage < 256; ++usage) {
        const auto it = firstCode.find(usage);
        EXPECT_EQ(codeForUsage(static_cast<std::uint8_t>(usage)),
                  it == firstCode.end() ? 0 : it->second)
            << "usage " << usage;
    }
    EXPECT_EQ(codeForUsage(0), 0);
}

}  // namespace
}  // namespace tavrik::model
