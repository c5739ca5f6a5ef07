#include "skin/skin_paths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace tavrik::skin {
namespace {

struct FolderCase {
    const char* exePath;
    const char* folder;
};

class ProgramFolderTest : public ::testing::TestWithParam<FolderCase> {};

// Only the last component goes: a folder carrying the executable's name stays intact, and a
// renamed executable still finds its folder.
TEST_P(ProgramFolderTest, IsTheExecutablesFolder) {
    EXPECT_EQ(programFolderOf(QString::fromUtf8(GetParam().exePath)),
              QString::fromUtf8(GetParam().folder));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ProgramFolderTest,
    ::testing::Values(FolderCase{"/opt/Tavrik 87rev.exe/Tavrik 87rev.exe",
                                 "/opt/Tavrik 87rev.exe/"},
                      FolderCase{"/home/u/Tavrik 87rev.exe/bin/Tavrik 87rev.exe",
                                 "/home/u/Tavrik 87rev.exe/bin/"},
                      FolderCase{"/usr/local/bin/renamed-tool", "/usr/local/bin/"},
                      FolderCase{"/tool", "/"}, FolderCase{"tool", "./"}));

struct LanguageCase {
    int code;
    SkinPart part;
    const char* suffix;
};

class SkinPathTest : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(SkinPathTest, GoesThroughTheLanguageFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("png"));
    const QString program = dir.path() + "/";
    EXPECT_EQ(skinPath(program, GetParam().code, GetParam().part, "x.png"),
              program + QString::fromUtf8(GetParam().suffix));
}

INSTANTIATE_TEST_SUITE_P(
    Languages, SkinPathTest,
    ::testing::Values(
        LanguageCase{4, SkinPart::Main, "png/chinese/x.png"},
        LanguageCase{4, SkinPart::Config, "png/chinese/Config/x.png"},
        LanguageCase{4, SkinPart::Custom, "png/chinese/Custom/x.png"},
        LanguageCase{4, SkinPart::MacroManagement, "png/chinese/MacroManagement/x.png"},
        LanguageCase{0, SkinPart::Main, "png/english/x.png"},
        LanguageCase{1, SkinPart::Custom, "png/english/Custom/x.png"},
        LanguageCase{2052, SkinPart::Config, "png/english/Config/x.png"},
        LanguageCase{-4, SkinPart::MacroManagement, "png/english/MacroManagement/x.png"}));

TEST(SkinRootTest, FallsBackToTheInstalledShareFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("bin"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("share/tavrik-87rev/png"));
    const QString program = dir.path() + "/bin/";
    EXPECT_EQ(skinFolder(program, 4, SkinPart::Custom),
              dir.path() + "/share/tavrik-87rev/png/chinese/Custom/");

    // A skin beside the executable wins over the installed one.
    ASSERT_TRUE(QDir(dir.path()).mkpath("bin/png"));
    EXPECT_EQ(skinFolder(program, 0, SkinPart::Main), program + "png/english/");
}

}  // namespace
}  // namespace tavrik::skin
