#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keyassign/catalogue.h"

namespace tavrik::keyassign {
namespace {

class PresetRow : public ::testing::TestWithParam<int> {};

// A record written for row N and reopened preselects row N, in either language.
TEST_P(PresetRow, NameAndCodesAreInversesInBothLanguages) {
    const int row = GetParam();
    const PresetFunction& f = presetFunctions()[static_cast<std::size_t>(row)];
    for (Language lang : {Language::English, Language::Chinese}) {
        const auto byName = findPresetByName(f.name.in(lang), lang);
        ASSERT_TRUE(byName.has_value()) << f.name.en;
        EXPECT_EQ(*byName, row);
        const auto byCodes = findPresetByCodes(presetFunctions()[*byName].codes);
        ASSERT_TRUE(byCodes.has_value());
        EXPECT_EQ(presetFunctions()[*byCodes].name.in(lang), f.name.in(lang));
        EXPECT_FALSE(isPresetGroup(f.name.in(lang), lang));
    }
    // The other language's name is not a name of this language.
    EXPECT_FALSE(findPresetByName(f.name.zh, Language::English).has_value());
    EXPECT_FALSE(findPresetByName(f.name.en, Language::Chinese).has_value());
}

INSTANTIATE_TEST_SUITE_P(AllRows, PresetRow, ::testing::Range(0, static_cast<int>(kPresetCount)));

TEST(PresetLookup, GroupsAreNeverFunctions) {
    for (Language lang : {Language::English, Language::Chinese}) {
        EXPECT_TRUE(isPresetGroup("Windows", lang));
        EXPECT_FALSE(findPresetByName("Windows", lang).has_value());
    }
    EXPECT_TRUE(isPresetGroup("多媒体", Language::Chinese));
    EXPECT_FALSE(isPresetGroup("多媒体", Language::English));
    EXPECT_TRUE(isPresetGroup("Shortcut", Language::English));
}

TEST(PresetLookup, NameMatchIsExactAndCodesNeedAllFourBytes) {
    EXPECT_FALSE(findPresetByName("copy", Language::English).has_value());
    EXPECT_FALSE(findPresetByName("Copy ", Language::English).has_value());
    EXPECT_FALSE(findPresetByName("", Language::English).has_value());
    const PresetCodes unknown{0x00, 0xE0, 0x06, 0x01};  // "Copy" with a fourth byte
    EXPECT_FALSE(findPresetByCodes(unknown).has_value());
}

TEST(CatalogueTree, PresentationOrderAndNesting) {
    std::vector<std::string> shown;
    for (const TreeNode& n : catalogueTree()) {
        std::string text(n.name.en);
        if (n.parent >= 0) text = std::string(catalogueTree()[n.parent].name.en) + "/" + text;
        shown.push_back(text);
    }
    const std::vector<std::string> expected{"Search",
                                            "Run",
                                            "Media",
                                            "Media/Media Player",
                                            "Media/Prev",
                                            "Media/Next",
                                            "Media/Play/Pause",
                                            "Media/Stop",
                                            "Media/Vol+",
                                            "Media/Vol-",
                                            "Media/Mute",
                                            "Shortcut",
                                            "Shortcut/New",
                                            "Shortcut/Cut",
                                            "Shortcut/Copy",
                                            "Shortcut/Paste",
                                            "Shortcut/Save",
                                            "Shortcut/Print",
                                            "Shortcut/Select All",
                                            "Windows",
                                            "Windows/Max",
                                            "Windows/Min",
                                            "Computer",
                                            "Task Management",
                                            "Homepage",
                                            "Close"};
    EXPECT_EQ(shown, expected);
    for (int row = 0; row < static_cast<int>(kPresetCount); ++row) {
        EXPECT_EQ(catalogueTree()[static_cast<std::size_t>(treeNodeOfRow(row))].row, row);
    }
}

}  // namespace
}  // namespace tavrik::keyassign
