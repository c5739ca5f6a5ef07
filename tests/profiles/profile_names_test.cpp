#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "profiles/profile_names.h"
#include "profiles/profile_texts.h"

namespace tavrik::profiles {
namespace {

TEST(ProfileNames, RowTextRemovesEveryBin) {
    EXPECT_EQ(rowText("Profile_1.bin"), "Profile_1");
    EXPECT_EQ(rowText("a.bin.bin"), "a");
    EXPECT_EQ(rowText("my.binary.bin"), "myary");
    EXPECT_EQ(rowText("x..binbin"), "x.bin");  // one pass, left to right
}

TEST(ProfileNames, RenamedFileNameAppendsBinOnlyWhenAbsent) {
    EXPECT_EQ(renamedFileName("Game"), "Game.bin");
    EXPECT_EQ(renamedFileName("Game.bin"), "Game.bin");
    EXPECT_EQ(renamedFileName("a.bin.b"), "a.bin.b");
    EXPECT_EQ(renamedFileName("Game.BIN"), "Game.BIN.bin");
}

class UnsafeName : public ::testing::TestWithParam<std::string> {};
TEST_P(UnsafeName, IsRefused) {
    EXPECT_FALSE(isSafeProfileName(GetParam()));
}
INSTANTIATE_TEST_SUITE_P(, UnsafeName,
                         ::testing::Values("", ".", "..", "../x", "a/b", "/etc/passwd", "..\\x",
                                           "a\\b", std::string("a\0b", 3), ".bin", ".bin.bin"));

TEST(ProfileNames, OrdinaryNamesAreSafe) {
    for (const char* name :
         {"Profile_1", "Copy of ? Profile_1 1", "复制  游戏", "..a", "a..", "x.bin"}) {
        EXPECT_TRUE(isSafeProfileName(name)) << name;
    }
}

TEST(ProfileNames, NamesThatWouldNotListOrFitAreRefused) {
    EXPECT_EQ(profileNameProblem("../x"), NameProblem::Unsafe);
    // Its file name would not end with ".bin": the profile would vanish from the list.
    EXPECT_EQ(profileNameProblem("x.binfoo"), NameProblem::NotListed);
    EXPECT_EQ(profileNameProblem("a.bin.b"), NameProblem::NotListed);
    EXPECT_EQ(profileNameProblem("x.bin"), std::nullopt);
    // 255 bytes is the longest file name, ".bin" included; "游" is three bytes in UTF-8.
    EXPECT_EQ(profileNameProblem(std::string(251, 'a')), std::nullopt);
    EXPECT_EQ(profileNameProblem(std::string(252, 'a')), NameProblem::TooLong);
    std::string wide;
    for (int i = 0; i < 84; ++i) wide += "游";
    EXPECT_EQ(profileNameProblem(wide), NameProblem::TooLong);
    EXPECT_EQ(profileNameProblem(std::string(251, 'a') + ".bin"), std::nullopt);
}

TEST(ProfileNames, NewTakesTheLowestFreeNumber) {
    EXPECT_EQ(newProfileName({}), "Profile_1");
    const std::vector<std::string> rows{"Profile_1", "Profile_3"};
    EXPECT_EQ(newProfileName(rows), "Profile_2");
    const std::vector<std::string> caseOnly{"profile_1"};
    EXPECT_EQ(newProfileName(caseOnly), "Profile_1");
}

TEST(ProfileNames, CopyNumbersOnClash) {
    std::vector<std::string> rows{"Profile_1"};
    const std::string prefix(text::kCopyPrefix.en);
    EXPECT_EQ(copyName(prefix, "Profile_1", rows), "Copy of ? Profile_1");
    rows.push_back("Copy of ? Profile_1");
    EXPECT_EQ(copyName(prefix, "Profile_1", rows), "Copy of ? Profile_1 1");
    rows.push_back("Copy of ? Profile_1 1");
    EXPECT_EQ(copyName(prefix, "Profile_1", rows), "Copy of ? Profile_1 2");
    EXPECT_EQ(copyName(text::kCopyPrefix.zh, "P", rows), "复制  P");
}

}  // namespace
}  // namespace tavrik::profiles
