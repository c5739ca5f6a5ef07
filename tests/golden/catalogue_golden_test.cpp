// The key function catalogue against values written out by hand: the 23 preset functions with
// both names, groups and code bytes, the group names, and the catalogue tree's order.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "keyassign/catalogue.h"

namespace tavrik::keyassign {
namespace {

struct ExpectedPreset {
    const char* group;  // "" for a top-level function
    const char* en;
    const char* zh;
    std::array<std::uint8_t, 4> codes;
};

constexpr ExpectedPreset kPresets[] = {
    {"", "Search", "搜索", {0x00, 0xE3, 0x09, 0x00}},
    {"", "Run", "运行", {0x00, 0xE3, 0x15, 0x00}},
    {"Media", "Media Player", "多媒体播放器", {0x03, 0x00, 0x83, 0x01}},
    {"Media", "Prev", "上一曲", {0x03, 0x00, 0xB6, 0x00}},
    {"Media", "Next", "下一曲", {0x03, 0x00, 0xB5, 0x00}},
    {"Media", "Play/Pause", "播放/暂停", {0x03, 0x00, 0xCD, 0x00}},
    {"Media", "Stop", "停止", {0x03, 0x00, 0xB7, 0x00}},
    {"Media", "Vol+", "音量+", {0x03, 0x00, 0xE9, 0x00}},
    {"Media", "Vol-", "音量-", {0x03, 0x00, 0xEA, 0x00}},
    {"Media", "Mute", "静音", {0x03, 0x00, 0xE2, 0x00}},
    {"Shortcut", "New", "新建", {0x00, 0xE0, 0x11, 0x00}},
    {"Shortcut", "Cut", "剪切", {0x00, 0xE0, 0x1B, 0x00}},
    {"Shortcut", "Copy", "复制", {0x00, 0xE0, 0x06, 0x00}},
    {"Shortcut", "Paste", "粘贴", {0x00, 0xE0, 0x19, 0x00}},
    {"Shortcut", "Save", "保存", {0x00, 0xE0, 0x16, 0x00}},
    {"Shortcut", "Print", "打印", {0x00, 0xE0, 0x13, 0x00}},
    {"Shortcut", "Select All", "全选", {0x00, 0xE0, 0x04, 0x00}},
    {"Windows", "Max", "最大化", {0x00, 0xE2, 0x2C, 0x1B}},
    {"Windows", "Min", "最小化", {0x00, 0xE2, 0x2C, 0x11}},
    {"", "Computer", "我的电脑", {0x03, 0x00, 0x94, 0x01}},
    {"", "Task Management", "任务管理器", {0x00, 0xE0, 0xE2, 0x4C}},
    {"", "Homepage", "浏览器-主页", {0x03, 0x00, 0x23, 0x02}},
    {"", "Close", "关闭窗口", {0x00, 0xE2, 0x3D, 0x00}},
};
static_assert(std::size(kPresets) == 23);

struct ExpectedGroup {
    PresetGroup group;
    const char* en;
    const char* zh;
};
constexpr ExpectedGroup kGroups[] = {
    {PresetGroup::Media, "Media", "多媒体"},
    {PresetGroup::Shortcut, "Shortcut", "快捷健"},
    {PresetGroup::Windows, "Windows", "Windows"},
};

std::string groupOf(PresetGroup g) {
    return std::string(groupName(g).en);
}

TEST(CatalogueGolden, EveryPresetRowWithBothNamesGroupAndCodes) {
    const auto rows = presetFunctions();
    ASSERT_EQ(rows.size(), 23u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        const ExpectedPreset& e = kPresets[i];
        EXPECT_EQ(rows[i].name.en, e.en);
        EXPECT_EQ(rows[i].name.zh, e.zh);
        EXPECT_EQ(groupOf(rows[i].group), e.group);
        EXPECT_EQ(rows[i].codes, e.codes);
        // Both lookups lead back to this row, in either language.
        EXPECT_EQ(findPresetByName(e.en, Language::English), static_cast<int>(i));
        EXPECT_EQ(findPresetByName(e.zh, Language::Chinese), static_cast<int>(i));
        EXPECT_EQ(findPresetByCodes(e.codes), static_cast<int>(i));
    }
}

TEST(CatalogueGolden, GroupNamesInBothLanguages) {
    for (const auto& g : kGroups) {
        EXPECT_EQ(groupName(g.group).en, g.en);
        EXPECT_EQ(groupName(g.group).zh, g.zh);
        EXPECT_TRUE(isPresetGroup(g.en, Language::English));
        EXPECT_TRUE(isPresetGroup(g.zh, Language::Chinese));
        EXPECT_EQ(findPresetByName(g.en, Language::English), std::nullopt);
    }
    EXPECT_EQ(groupName(PresetGroup::None).en, "");
}

TEST(CatalogueGolden, TreeShowsGroupsBeforeTheirRowsInTableOrder) {
    // Node names in insertion order, with the parent's name ("" at the root).
    struct ExpectedNode {
        const char* name;
        const char* parent;
    };
    constexpr ExpectedNode kTree[] = {
        {"Search", ""},
        {"Run", ""},
        {"Media", ""},
        {"Media Player", "Media"},
        {"Prev", "Media"},
        {"Next", "Media"},
        {"Play/Pause", "Media"},
        {"Stop", "Media"},
        {"Vol+", "Media"},
        {"Vol-", "Media"},
        {"Mute", "Media"},
        {"Shortcut", ""},
        {"New", "Shortcut"},
        {"Cut", "Shortcut"},
        {"Copy", "Shortcut"},
        {"Paste", "Shortcut"},
        {"Save", "Shortcut"},
        {"Print", "Shortcut"},
        {"Select All", "Shortcut"},
        {"Windows", ""},
        {"Max", "Windows"},
        {"Min", "Windows"},
        {"Computer", ""},
        {"Task Management", ""},
        {"Homepage", ""},
        {"Close", ""},
    };
    const auto tree = catalogueTree();
    ASSERT_EQ(tree.size(), std::size(kTree));
    for (std::size_t i = 0; i < tree.size(); ++i) {
        SCOPED_TRACE("node " + std::to_string(i));
        EXPECT_EQ(tree[i].name.en, kTree[i].name);
        const int p = tree[i].parent;
        const std::string parent =
            p < 0 ? "" : std::string(tree[static_cast<std::size_t>(p)].name.en);
        EXPECT_EQ(parent, kTree[i].parent);
        EXPECT_EQ(tree[i].isGroup, isPresetGroup(kTree[i].name, Language::English));
    }
}

}  // namespace
}  // namespace tavrik::keyassign
