#include "keyassign/catalogue.h"

#include <algorithm>

namespace tavrik::keyassign {
namespace {

using G = PresetGroup;

constexpr std::array<PresetFunction, kPresetCount> kPresets{{
    {G::None, {"Search", "搜索"}, {0x00, 0xE3, 0x09, 0x00}},
    {G::None, {"Run", "运行"}, {0x00, 0xE3, 0x15, 0x00}},
    {G::Media, {"Media Player", "多媒体播放器"}, {0x03, 0x00, 0x83, 0x01}},
    {G::Media, {"Prev", "上一曲"}, {0x03, 0x00, 0xB6, 0x00}},
    {G::Media, {"Next", "下一曲"}, {0x03, 0x00, 0xB5, 0x00}},
    {G::Media, {"Play/Pause", "播放/暂停"}, {0x03, 0x00, 0xCD, 0x00}},
    {G::Media, {"Stop", "停止"}, {0x03, 0x00, 0xB7, 0x00}},
    {G::Media, {"Vol+", "音量+"}, {0x03, 0x00, 0xE9, 0x00}},
    {G::Media, {"Vol-", "音量-"}, {0x03, 0x00, 0xEA, 0x00}},
    {G::Media, {"Mute", "静音"}, {0x03, 0x00, 0xE2, 0x00}},
    {G::Shortcut, {"New", "新建"}, {0x00, 0xE0, 0x11, 0x00}},
    {G::Shortcut, {"Cut", "剪切"}, {0x00, 0xE0, 0x1B, 0x00}},
    {G::Shortcut, {"Copy", "复制"}, {0x00, 0xE0, 0x06, 0x00}},
    {G::Shortcut, {"Paste", "粘贴"}, {0x00, 0xE0, 0x19, 0x00}},
    {G::Shortcut, {"Save", "保存"}, {0x00, 0xE0, 0x16, 0x00}},
    {G::Shortcut, {"Print", "打印"}, {0x00, 0xE0, 0x13, 0x00}},
    {G::Shortcut, {"Select All", "全选"}, {0x00, 0xE0, 0x04, 0x00}},
    {G::Windows, {"Max", "最大化"}, {0x00, 0xE2, 0x2C, 0x1B}},
    {G::Windows, {"Min", "最小化"}, {0x00, 0xE2, 0x2C, 0x11}},
    {G::None, {"Computer", "我的电脑"}, {0x03, 0x00, 0x94, 0x01}},
    {G::None, {"Task Management", "任务管理器"}, {0x00, 0xE0, 0xE2, 0x4C}},
    {G::None, {"Homepage", "浏览器-主页"}, {0x03, 0x00, 0x23, 0x02}},
    {G::None, {"Close", "关闭窗口"}, {0x00, 0xE2, 0x3D, 0x00}},
}};

constexpr std::array<BiText, 3> kGroupNames{{
    {"Media", "多媒体"},
    {"Shortcut", "快捷健"},
    {"Windows", "Windows"},
}};

// Walks the rows in order and opens a group node before the first row of each group; rows of
// one group are contiguous in the table.
constexpr std::array<TreeNode, kTreeNodeCount> buildTree() {
    std::array<TreeNode, kTreeNodeCount> nodes{};
    std::size_t n = 0;
    PresetGroup open = PresetGroup::None;
    int groupNode = -1;
    for (int row = 0; row < static_cast<int>(kPresetCount); ++row) {
        const PresetFunction& f = kPresets[static_cast<std::size_t>(row)];
        if (f.group != PresetGroup::None && f.group != open) {
            groupNode = static_cast<int>(n);
            nodes[n++] = {true, -1, -1, kGroupNames[static_cast<std::size_t>(f.group) - 1]};
        }
        open = f.group;
        nodes[n++] = {false, row, f.group == PresetGroup::None ? -1 : groupNode, f.name};
    }
    return nodes;
}

constexpr std::array<TreeNode, kTreeNodeCount> kTree = buildTree();
static_assert(kTree[2].isGroup && kTree[11].isGroup && kTree[19].isGroup);
static_assert(kTree[kTreeNodeCount - 1].row == static_cast<int>(kPresetCount) - 1);

constexpr std::uint32_t bigEndian(std::span<const std::uint8_t, 4> b) {
    return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
           std::uint32_t{b[3]};
}

constexpr std::array<KindInfo, kLaunchRowCount> kLaunchRows{{
    {Tab::Advance,
     0,
     {"Play Sound", "播放声音"},
     Chooser::OpenFile,
     "mp3 Files(*.mp3)",
     "*.mp3",
     ".mp3"},
    {Tab::Advance,
     1,
     {"Startup", "启动程序"},
     Chooser::OpenFile,
     "exe Files(*.exe)",
     "*.exe",
     ".exe"},
    {Tab::Advance,
     2,
     {"Open File", "打开文件"},
     Chooser::OpenFile,
     "txt Files(*.txt)",
     "*.txt",
     ".txt"},
    {Tab::Advance, 3, {"Open Folder", "打开目录"}, Chooser::Folder, {}, {}, {}},
}};

}  // namespace

std::span<const PresetFunction, kPresetCount> presetFunctions() {
    return kPresets;
}

BiText groupName(PresetGroup group) {
    if (group == PresetGroup::None) return {};
    return kGroupNames[static_cast<std::size_t>(group) - 1];
}

std::span<const TreeNode, kTreeNodeCount> catalogueTree() {
    return kTree;
}

int treeNodeOfRow(int row) {
    const auto it = std::find_if(kTree.begin(), kTree.end(),
                                 [row](const TreeNode& n) { return !n.isGroup && n.row == row; });
    return it == kTree.end() ? -1 : static_cast<int>(it - kTree.begin());
}

std::optional<int> findPresetByName(std::string_view name, Language lang) {
    for (std::size_t i = 0; i < kPresets.size(); ++i) {
        if (kPresets[i].name.in(lang) == name) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::optional<int> findPresetByCodes(std::span<const std::uint8_t, 4> codes) {
    const std::uint32_t wanted = bigEndian(codes);
    for (std::size_t i = 0; i < kPresets.size(); ++i) {
        if (bigEndian(kPresets[i].codes) == wanted) return static_cast<int>(i);
    }
    return std::nullopt;
}

bool isPresetGroup(std::string_view name, Language lang) {
    return std::any_of(kGroupNames.begin(), kGroupNames.end(),
                       [&](const BiText& g) { return g.in(lang) == name; });
}

KindInfo launchRowInfo(int row) {
    return kLaunchRows.at(static_cast<std::size_t>(row));
}

std::optional<KindInfo> kindInfo(model::KeyKind kind) {
    using model::KeyKind;
    switch (kind) {
        case KeyKind::SingleKey:
        case KeyKind::Combination:
            return KindInfo{Tab::SingleCombine, {}, {}, Chooser::None, {}, {}, {}};
        case KeyKind::Macro:
            return KindInfo{Tab::Macro, {}, {}, Chooser::None, {}, {}, {}};
        case KeyKind::Preset:
            return KindInfo{Tab::Basic, {}, {}, Chooser::None, {}, {}, {}};
        case KeyKind::PlaySound:
        case KeyKind::StartProgram:
        case KeyKind::OpenFile:
        case KeyKind::OpenFolder:
            return launchRowInfo(static_cast<int>(kind) - kFirstLaunchKind);
        case KeyKind::None:
            return KindInfo{};
        case KeyKind::Unchosen:
            break;
    }
    return std::nullopt;  // Unchosen, or a byte that names no kind
}

}  // namespace tavrik::keyassign
