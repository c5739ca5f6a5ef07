#include <gtest/gtest.h>

#include "model/key_table.h"

namespace tavrik::model {
namespace {

struct KeyRow {
    int code;
    std::uint8_t usage;
    const char* name;
};

class KeyTableRow : public ::testing::TestWithParam<KeyRow> {};

TEST_P(KeyTableRow, UsageAndNameAreExact) {
    const KeyRow& r = GetParam();
    EXPECT_EQ(keyUsage(r.code), r.usage) << "code " << r.code;
    EXPECT_EQ(keyName(r.code), r.name) << "code " << r.code;
    EXPECT_EQ(keyTable()[static_cast<std::size_t>(r.code)].code, r.code);
}

INSTANTIATE_TEST_SUITE_P(Codes, KeyTableRow,
                         ::testing::Values(KeyRow{65, 0x04, "A "}, KeyRow{90, 0x1D, "Z "},
                                           KeyRow{48, 0x27, "0"}, KeyRow{49, 0x1E, "1 "},
                                           KeyRow{57, 0x26, "9 "}, KeyRow{112, 0x3A, "F1 "},
                                           KeyRow{121, 0x43, "F10 "}, KeyRow{123, 0x45, "F12 "},
                                           KeyRow{220, 0x32, "\\ "}, KeyRow{108, 0x58, "Enter "},
                                           KeyRow{13, 0x28, "Enter "}, KeyRow{241, 0xF1, "MsRB"},
                                           KeyRow{242, 0xF2, "MsMB"}, KeyRow{243, 0xF3, ""},
                                           KeyRow{179, 0xCD, "Play/Pause"},
                                           KeyRow{174, 0xEA, "Volume DOWN "}, KeyRow{0, 0, ""},
                                           KeyRow{233, 0, ""}, KeyRow{254, 0, ""}));

TEST(KeyTable, OutOfRangeCodesAreNoKeys) {
    EXPECT_EQ(keyUsage(-1), 0);
    EXPECT_EQ(keyUsage(255), 0);
    EXPECT_TRUE(keyName(300).empty());
}

TEST(KeyTable, CodeForUsageFindsFirstCode) {
    EXPECT_EQ(codeForUsage(0x04), 65);
    EXPECT_EQ(codeForUsage(0x28), 13);  // main Enter before keypad Enter
    EXPECT_EQ(codeForUsage(0), 0);
}

}  // namespace
}  // namespace tavrik::model
