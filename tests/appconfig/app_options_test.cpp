#include <gtest/gtest.h>

#include <vector>

#include "appconfig/app_options.h"

namespace tavrik::appconfig {
namespace {

Result<Options> parse(std::vector<std::string_view> args) {
    return parseOptions(args);
}

TEST(Options, ValidCommandLines) {
    auto o = parse({});
    ASSERT_TRUE(o);
    EXPECT_FALSE(o->simulate);
    EXPECT_FALSE(o->language.has_value());

    o = parse({"--simulate", "--data-dir", "/tmp/d", "--lang=zh"});
    ASSERT_TRUE(o) << o.error().context;
    EXPECT_TRUE(o->simulate);
    EXPECT_EQ(o->dataDir, "/tmp/d");
    EXPECT_EQ(o->language, Language::Chinese);

    EXPECT_FALSE(o->minimized);
    EXPECT_FALSE(o->version);

    o = parse({"--sim-socket=/run/kb.sock", "--lang", "en", "--minimized", "--version"});
    ASSERT_TRUE(o);
    EXPECT_TRUE(o->minimized);
    EXPECT_TRUE(o->version);
    EXPECT_EQ(o->simSocket, "/run/kb.sock");
    EXPECT_EQ(o->language, Language::English);
}

TEST(Language, ChineseWithoutAFontThatDrawsItFallsBackToEnglishAndSaysSo) {
    const struct {
        Language chosen;
        bool font;
        Language shown;
        bool fellBack;
    } rows[] = {
        {Language::Chinese, true, Language::Chinese, false},
        {Language::Chinese, false, Language::English, true},
        {Language::English, false, Language::English, false},
        {Language::English, true, Language::English, false},
    };
    for (const auto& r : rows) {
        const DisplayLanguage d = displayLanguage(r.chosen, r.font);
        EXPECT_EQ(d.language, r.shown);
        EXPECT_EQ(d.fellBack, r.fellBack);
    }
    EXPECT_FALSE(kNoChineseFontNotice.en.empty());
    EXPECT_FALSE(kNoChineseFontNotice.zh.empty());
}

TEST(Options, AUtf8FolderNameIsKeptByteForByte) {
    const std::vector<std::string_view> args{"--data-dir", "/tmp/caf\xC3\xA9 \xE6\x95\xB0"};
    const auto o = parseOptions(args);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->dataDir, "/tmp/caf\xC3\xA9 \xE6\x95\xB0");
}

class BadOptions : public ::testing::TestWithParam<std::vector<std::string_view>> {};

TEST_P(BadOptions, AreRejected) {
    auto o = parseOptions(GetParam());
    ASSERT_FALSE(o);
    EXPECT_EQ(o.error().kind, ErrorKind::Value);
}

INSTANTIATE_TEST_SUITE_P(
    Options, BadOptions,
    ::testing::Values(std::vector<std::string_view>{"--bogus"},
                      std::vector<std::string_view>{"--lang", "fr"},
                      std::vector<std::string_view>{"--lang"},
                      std::vector<std::string_view>{"--data-dir="},
                      // a Latin-1 folder name: not UTF-8
                      std::vector<std::string_view>{"--data-dir", "/tmp/caf\xE9"},
                      std::vector<std::string_view>{"--simulate=1"},
                      std::vector<std::string_view>{"--simulate", "--sim-socket", "/s"},
                      std::vector<std::string_view>{"stray"}));

TEST(Language, SystemLocaleAndOverride) {
    EXPECT_EQ(languageForLocale("zh_CN.UTF-8"), Language::Chinese);
    EXPECT_EQ(languageForLocale("zh-TW"), Language::Chinese);
    EXPECT_EQ(languageForLocale("zh"), Language::Chinese);
    EXPECT_EQ(languageForLocale("zu_ZA"), Language::English);
    EXPECT_EQ(languageForLocale("en_GB"), Language::English);
    EXPECT_EQ(languageForLocale("C"), Language::English);
    EXPECT_EQ(languageForLocale(""), Language::English);
    Options o;
    EXPECT_EQ(chooseLanguage(o, "zh_CN"), Language::Chinese);
    o.language = Language::English;
    EXPECT_EQ(chooseLanguage(o, "zh_CN"), Language::English);
    EXPECT_EQ(languageCode(Language::Chinese), 4);
    EXPECT_NE(languageCode(Language::English), 4);
}

TEST(DataFolder, OptionThenProgramFolderThenXdg) {
    DataFolderInputs in{"/opt/tavrik", true, "/home/u/.xdg", "/home/u", "", true};
    EXPECT_EQ(dataFolder(in), "/opt/tavrik");
    in.dataDir = "/tmp/data";
    EXPECT_EQ(dataFolder(in), "/tmp/data");
    in.dataDir.clear();
    in.programFolderWritable = false;
    EXPECT_EQ(dataFolder(in), "/home/u/.xdg/tavrik-87rev");
    in.xdgDataHome = "relative/dir";  // not absolute: ignored
    EXPECT_EQ(dataFolder(in), "/home/u/.local/share/tavrik-87rev");
    in.xdgDataHome.clear();
    EXPECT_EQ(dataFolder(in), "/home/u/.local/share/tavrik-87rev");
}

TEST(DataFolder, InstalledCopyNeverWritesBesideItsExecutable) {
    // Installed: the skin is in <prefix>/share, not beside the executable. A writable bin/ (root)
    // changes nothing; --data-dir still wins.
    DataFolderInputs in{"/usr/bin", true, "", "/root", "", false};
    EXPECT_EQ(dataFolder(in), "/root/.local/share/tavrik-87rev");
    in.programFolderWritable = false;
    EXPECT_EQ(dataFolder(in), "/root/.local/share/tavrik-87rev");
    in.dataDir = "/srv/kb";
    EXPECT_EQ(dataFolder(in), "/srv/kb");
    // A portable copy unpacked into a read-only folder falls back to the user's data folder.
    in = {"/media/cd/tavrik", false, "/x", "/home/u", "", true};
    EXPECT_EQ(dataFolder(in), "/x/tavrik-87rev");
}

}  // namespace
}  // namespace tavrik::appconfig
