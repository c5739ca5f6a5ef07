#include "keyassign/key_map_state.h"

#include <algorithm>
#include <utility>

#include "common/utf16.h"
#include "keyassign/launch.h"
#include "model/image_layout.h"
#include "model/key_table.h"

namespace tavrik::keyassign {
namespace {

namespace ka = model::keyaction;

constexpr std::uint8_t kMacroCodeType = model::codetype::kMacro;

std::uint8_t codeByte(std::span<const std::uint8_t, model::kKeyActionRecordSize> r, int i) {
    return r[ka::kCodes + static_cast<std::size_t>(i)];
}

}  // namespace

KeyMapState::KeyMapState(const KeyMapInput& input) : m_lang(input.language) {
    // The keyboard has 32 macro slots, so only the first 32 macros can be bound.
    for (const std::string& name : input.macroNames) {
        if (name.empty() || m_view.macroNames.size() == model::image::kMacroSlotCount) break;
        m_view.macroNames.push_back(name);
    }
    m_view.currentKeyName = std::string(model::keyName(input.record[ka::kOwnCode]));
    initFromRecord(input.record);
    m_enabled = input.enabled;
    m_view.disableTicked = !input.enabled;
}

void KeyMapState::initFromRecord(std::span<const std::uint8_t, model::kKeyActionRecordSize> r) {
    m_kind = KeyKind{r[ka::kKind]};
    switch (m_kind) {
        case KeyKind::SingleKey:
            // Only the first code: a single key never carries more than one captured key.
            m_captured[0] = codeByte(r, 0);
            m_count = 1;
            m_view.singleText = std::string(model::keyName(m_captured[0]));
            m_focusRequest = FocusTarget::SingleEdit;
            m_initialFocus = true;
            break;
        case KeyKind::Combination:
            // The keys shown are exactly the keys kept, so a further key extends what is shown.
            for (int i = 0; i < kMaxCombinationKeys && codeByte(r, i) != 0; ++i) {
                m_captured[static_cast<std::size_t>(i)] = codeByte(r, i);
                m_count = i + 1;
            }
            m_view.combineText = joinedNames(m_count);
            m_focusRequest = FocusTarget::CombineEdit;
            m_initialFocus = true;
            break;
        case KeyKind::Macro:
            if (codeByte(r, 0) != kMacroCodeType) break;
            m_view.tab = Tab::Macro;
            if (codeByte(r, 2) < m_view.macroNames.size()) m_view.macroRow = codeByte(r, 2);
            m_focusRequest = FocusTarget::MacroList;
            break;
        case KeyKind::Preset: {
            m_view.tab = Tab::Basic;
            const std::array<std::uint8_t, 4> codes{codeByte(r, 0), codeByte(r, 1), codeByte(r, 2),
                                                    codeByte(r, 3)};
            if (const auto row = findPresetByCodes(codes)) {
                const int node = treeNodeOfRow(*row);
                m_view.treeNode = node;
                const int parent = catalogueTree()[static_cast<std::size_t>(node)].parent;
                if (parent >= 0) m_view.expandedNode = parent;
            }
            break;
        }
        case KeyKind::PlaySound:
        case KeyKind::StartProgram:
        case KeyKind::OpenFile:
        case KeyKind::OpenFolder:
            m_view.tab = Tab::Advance;
            m_view.launchPath =
                utf16ToUtf8(readUtf16Field(r.subspan<ka::kLaunchPath, ka::kLaunchPathSize>()));
            m_view.launchRow = static_cast<int>(m_kind) - kFirstLaunchKind;
            break;
        // Never stored; like a byte that names no kind, they leave the dialog as it opens.
        case KeyKind::None:
        case KeyKind::Unchosen:
            break;
    }
}

std::string KeyMapState::fieldText(int row) const {
    if (m_view.launchRow != row) return {};
    return shortenLaunchPath(m_view.launchPath);
}

std::optional<FocusTarget> KeyMapState::takeFocusRequest() {
    return std::exchange(m_focusRequest, std::nullopt);
}

void KeyMapState::clearCapture() {
    m_heldKey.reset();
    m_captured.fill(0);
    m_count = 0;
    m_view.singleText.clear();
    m_view.combineText.clear();
}

int KeyMapState::capturedBeforeZero() const {
    const auto zero = std::find(m_captured.begin(), m_captured.end(), 0);
    return static_cast<int>(zero - m_captured.begin());
}

// Each name is followed directly by "+ "; names end with a blank, so "LCtrl + C + ".
std::string KeyMapState::joinedNames(int count) const {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += model::keyName(m_captured[static_cast<std::size_t>(i)]);
        text += "+ ";
    }
    return text;
}

void KeyMapState::hookKey(int code, bool released) {
    if (!m_hookInstalled || code < 0 || code > 0xFF) return;
    if (released) {
        if (m_heldKey == code) m_heldKey.reset();
        return;
    }
    if (m_heldKey == code) return;  // auto-repeat of a held key
    const auto k = static_cast<std::uint8_t>(code);
    if (m_kind == KeyKind::SingleKey) {
        m_captured[0] = k;
        m_count = 1;
        m_view.singleText = std::string(model::keyName(k));
    } else if (m_kind == KeyKind::Combination) {
        if (m_count >= kMaxCombinationKeys) clearCapture();
        m_captured[static_cast<std::size_t>(m_count)] = k;
        ++m_count;
        m_view.combineText = joinedNames(m_count);
    }
    m_heldKey = code;
}

void KeyMapState::focusGained(Edit edit) {
    const KeyKind editKind = edit == Edit::Single ? KeyKind::SingleKey : KeyKind::Combination;
    if (m_initialFocus && m_kind == editKind) {
        m_initialFocus = false;
        return;
    }
    m_kind = editKind;
    m_captured.fill(0);
    m_count = 0;
    m_heldKey.reset();
    (edit == Edit::Single ? m_view.combineText : m_view.singleText).clear();
}

void KeyMapState::pointerMoved(Point p) {
    m_view.hoveredButton = hitTestButton(p);
    m_view.hoveredBrowse.reset();
    if (m_view.tab != Tab::Advance) return;
    if (const auto region = hitTestRegion(p); region && region->part == RegionPart::Browse) {
        m_view.hoveredBrowse = region->row;
    }
}

void KeyMapState::leaveLaunchRows() {
    m_view.selectedIndicator.reset();
    m_view.launchRow.reset();
}

ClickOutcome KeyMapState::click(Point p) {
    ClickOutcome out;
    if (const auto b = hitTestButton(p)) out = clickButton(*b);
    if (m_view.tab == Tab::Advance) clickAdvance(p, out);
    return out;
}

ClickOutcome KeyMapState::clickButton(int b) {
    const Tab from = m_view.tab;
    switch (b) {
        case button::kClose:
            return {DialogEnd::Reject, {}, {}};
        case button::kTabSingleCombine:
            if (from != Tab::SingleCombine) {
                clearCapture();
                m_kind = KeyKind::SingleKey;
                m_focusRequest = FocusTarget::SingleEdit;
            }
            m_view.tab = Tab::SingleCombine;
            leaveLaunchRows();
            break;
        case button::kTabMacro:
            m_view.tab = Tab::Macro;
            leaveLaunchRows();
            break;
        case button::kTabBasic:
            if (from != Tab::Basic) m_view.treeNode = 0;
            m_view.tab = Tab::Basic;
            leaveLaunchRows();
            break;
        case button::kTabAdvance:
            if (from != Tab::Advance) {
                clearCapture();
                m_kind = KeyKind::Unchosen;
                m_view.launchRow.reset();
            }
            m_view.tab = Tab::Advance;
            m_view.selectedIndicator.reset();
            break;
        case button::kDisable:
            m_view.disableTicked = !m_view.disableTicked;
            break;
        case button::kDefault:
            m_count = kDefaultCount;
            return {DialogEnd::Accept, {}, {}};
        case button::kCancel:
            m_captured.fill(0);
            m_count = 0;
            return {DialogEnd::Reject, {}, {}};
        case button::kSave:
            return save();
        default:
            break;
    }
    return {};
}

ClickOutcome KeyMapState::save() {
    switch (m_view.tab) {
        case Tab::SingleCombine:
            m_enabled = !m_view.disableTicked;
            m_count = capturedBeforeZero();
            if (m_count == 0) m_kind = KeyKind::None;
            break;
        case Tab::Macro:
            m_kind = KeyKind::Macro;
            m_macroIndex = m_view.macroRow;
            if (m_macroIndex < 0) {
                m_kind = KeyKind::None;
                m_enabled = true;
            } else {
                m_enabled = !m_view.disableTicked;
            }
            break;
        case Tab::Basic: {
            const auto tree = catalogueTree();
            const auto node = m_view.treeNode;
            if (!node || *node < 0 || *node >= static_cast<int>(tree.size()) ||
                tree[static_cast<std::size_t>(*node)].isGroup) {
                return {DialogEnd::None, kSelectSubItemMessage, {}};
            }
            m_kind = KeyKind::Preset;
            m_functionName = std::string(tree[static_cast<std::size_t>(*node)].name.in(m_lang));
            m_enabled = !m_view.disableTicked;
            break;
        }
        case Tab::Advance:
            m_enabled = !m_view.disableTicked;
            // A launch needs a path: without one the key returns to its own function.
            if (!model::isLaunchKind(m_kind) || m_view.launchPath.empty()) m_kind = KeyKind::None;
            break;
    }
    return {DialogEnd::Accept, {}, {}};
}

void KeyMapState::clickAdvance(Point p, ClickOutcome& out) {
    const auto region = hitTestRegion(p);
    if (!region) {
        if (!m_view.launchRow) m_kind = KeyKind::None;
        return;
    }
    if (region->part == RegionPart::Indicator) {
        m_view.selectedIndicator = region->row;
        m_view.launchRow = region->row;
        m_view.launchPath.clear();
    } else if (region->part == RegionPart::Browse) {
        out.chooseRow = region->row;
    }
}

std::optional<BiText> KeyMapState::chosen(int row, const std::optional<std::string>& path) {
    if (!path || row < 0 || row >= kLaunchRowCount) return std::nullopt;
    if (path->empty()) return kSelectFolderMessage;
    if (utf8ToUtf16(*path).size() > ka::kMaxLaunchPathChars) return kPathTooLongMessage;
    m_view.launchRow = row;
    m_kind = static_cast<KeyKind>(kFirstLaunchKind + row);
    m_view.launchPath = *path;
    return std::nullopt;
}

void KeyMapState::selectTreeNode(std::optional<int> node) {
    m_view.treeNode = node;
}

void KeyMapState::selectMacroRow(int row) {
    m_view.macroRow = row >= 0 && row < static_cast<int>(m_view.macroNames.size()) ? row : -1;
}

void KeyMapState::deleteAll() {
    m_view.combineText.clear();
    m_captured.fill(0);
    m_count = 0;
    m_heldKey.reset();
}

AssignmentResult KeyMapState::result() const {
    AssignmentResult r;
    r.kind = m_kind;
    r.captured = m_captured;
    r.count = m_count;
    r.macroIndex = m_macroIndex;
    r.functionName = m_functionName;
    if (model::isLaunchKind(m_kind)) r.launchPath = m_view.launchPath;
    r.enabled = m_enabled;
    return r;
}

}  // namespace tavrik::keyassign
