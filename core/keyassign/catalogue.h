#pragma once
// The closed catalogue of functions a key can be given: the 23 preset functions with their
// groups, display names and code bytes, the order in which the catalogue tree shows them, the
// lookups by name and by code bytes, and the per-kind metadata (tab, launch row, chooser).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "common/language.h"
#include "model/key_action.h"

namespace tavrik::keyassign {

inline constexpr std::size_t kPresetCount = 23;

// Four code bytes as stored at record offsets 2..5 and in the key code cell.
// 00 m a b: keyboard usages m, a, b pressed together; 03 00 lo hi: consumer usage hi * 256 + lo.
using PresetCodes = std::array<std::uint8_t, 4>;

enum class PresetGroup : std::uint8_t { None, Media, Shortcut, Windows };

struct PresetFunction {
    PresetGroup group;
    BiText name;
    PresetCodes codes;
};

// The 23 rows in table (and tree) order.
std::span<const PresetFunction, kPresetCount> presetFunctions();

// Display name of a group (empty texts for PresetGroup::None).
BiText groupName(PresetGroup group);

// One item of the catalogue tree, in insertion order. Groups and top-level functions share the
// root level (parent -1); only groups have children.
struct TreeNode {
    bool isGroup;
    int row;     // index into presetFunctions() for a function, -1 for a group
    int parent;  // index of the parent node within catalogueTree(), -1 at the root
    BiText name;
};

inline constexpr std::size_t kTreeNodeCount = kPresetCount + 3;
std::span<const TreeNode, kTreeNodeCount> catalogueTree();
// The tree node that shows preset row `row`.
int treeNodeOfRow(int row);

// The row whose name in `lang` equals `name` exactly (case-sensitive), or none. A group name
// never matches.
std::optional<int> findPresetByName(std::string_view name, Language lang);
// The row whose code bytes equal `codes` (compared as one big-endian 32-bit value), or none.
std::optional<int> findPresetByCodes(std::span<const std::uint8_t, 4> codes);
// True for the three group names of `lang`.
bool isPresetGroup(std::string_view name, Language lang);

// Tabs of the key assignment dialog, by index.
enum class Tab : std::uint8_t { SingleCombine = 0, Macro = 1, Basic = 2, Advance = 3 };
inline constexpr int kTabCount = 4;

enum class Chooser : std::uint8_t { None, OpenFile, Folder };

// What the dialog and the launcher need to know about a key kind.
struct KindInfo {
    std::optional<Tab> tab;        // none for kind 8 (a dialog result only)
    std::optional<int> launchRow;  // 0..3 on the "Advance" tab for kinds 4..7
    BiText rowLabel;               // launch kinds only
    Chooser chooser = Chooser::None;
    std::string_view filter;            // e.g. "mp3 Files(*.mp3)"; empty for folders
    std::string_view pattern;           // e.g. "*.mp3"
    std::string_view defaultExtension;  // e.g. ".mp3"
};

// Metadata of kinds SingleKey..None; none for any other value.
std::optional<KindInfo> kindInfo(model::KeyKind kind);

inline constexpr int kLaunchRowCount = 4;
inline constexpr int kFirstLaunchKind = static_cast<int>(model::kFirstLaunchKind);
// Metadata of the launch row 0..3 (kind 4 + row).
KindInfo launchRowInfo(int row);

// Folder chooser title and its refusal of a non-file-system pick.
inline constexpr BiText kFolderChooserTitle{"modification path", "modification path"};
inline constexpr BiText kSelectFolderMessage{"Please select a folder\n", "请选择文件夹\n"};

}  // namespace tavrik::keyassign
