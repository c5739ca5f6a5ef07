#pragma once
// The key assignment dialog without its window: initialisation from the key's record, key
// capture, focus rules, clicks and pointer moves in dialog coordinates, the "Advance" tab and
// the assignment result. The window forwards its input here and paints from view().

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/language.h"
#include "keyassign/assignment.h"
#include "keyassign/catalogue.h"
#include "keyassign/key_map_layout.h"
#include "model/key_action.h"

namespace tavrik::keyassign {

enum class Edit : std::uint8_t { Single, Combine };
enum class FocusTarget : std::uint8_t { SingleEdit, CombineEdit, MacroList };
enum class DialogEnd : std::uint8_t { None, Accept, Reject };

// What the dialog opens on.
struct KeyMapInput {
    std::span<const std::uint8_t, model::kKeyActionRecordSize> record;  // the key's action record
    bool enabled = true;                  // the key's bit in the key enable bitmap
    std::vector<std::string> macroNames;  // defined macros in index order (UTF-8)
    Language language = Language::English;
};

// Everything the window paints and shows.
struct KeyMapView {
    Tab tab = Tab::SingleCombine;
    std::string currentKeyName;        // drawn after "Current Key:"
    std::optional<int> hoveredButton;  // 0..9
    bool disableTicked = false;
    std::string singleText;                // "Single" edit, caret at the end
    std::string combineText;               // "Combine" edit, caret at the end
    std::vector<std::string> macroNames;   // list box rows
    int macroRow = -1;                     // selected list row, -1 none
    std::optional<int> treeNode;           // selected catalogue tree node
    std::optional<int> expandedNode;       // group node to expand at start
    std::optional<int> selectedIndicator;  // "Advance": row drawn with "enable.png"
    std::optional<int> launchRow;          // "Advance": row whose field shows the path
    std::string launchPath;                // full chosen path
    std::optional<int> hoveredBrowse;      // "Advance": browse region drawn "view02.png"
};

// What a click asks the window to do.
struct ClickOutcome {
    DialogEnd end = DialogEnd::None;
    std::optional<BiText> message;  // show it in a message box; the dialog stays open
    std::optional<int> chooseRow;   // run the chooser of this launch row, then call chosen()
};

class KeyMapState {
public:
    explicit KeyMapState(const KeyMapInput& input);

    const KeyMapView& view() const { return m_view; }
    Language language() const { return m_lang; }
    // Text shown in a launch row's field (the shortened path on the launch row, else empty).
    std::string fieldText(int row) const;

    // The control the dialog wants focused; taken once by the window.
    std::optional<FocusTarget> takeFocusRequest();

    // Result of installing the keyboard hook; without it keys are not captured.
    void setHookInstalled(bool installed) { m_hookInstalled = installed; }
    bool hookInstalled() const { return m_hookInstalled; }

    // A key from the hook: its key-table code, and whether it was released. Releases and
    // auto-repeated presses of the last key (no release seen in between) are not captured.
    void hookKey(int code, bool released);

    // An edit gained focus by a focus change inside the dialog (not by re-activation).
    void focusGained(Edit edit);

    void pointerMoved(Point p);
    // Pressing here may drag the dialog: no button lies under the point.
    static bool isBackground(Point p) { return !hitTestButton(p).has_value(); }

    // A left-button release.
    ClickOutcome click(Point p);
    // The chooser of `row` finished: the picked path, or none when cancelled. Returns a message
    // to show when the pick is refused (empty folder item, path over 255 characters).
    std::optional<BiText> chosen(int row, const std::optional<std::string>& path);

    void selectTreeNode(std::optional<int> node);
    void selectMacroRow(int row);
    // Menu command 32789: empties the "Combine" edit and the captured keys.
    void deleteAll();

    // Meaningful after the dialog ended with Accept.
    AssignmentResult result() const;

private:
    void initFromRecord(std::span<const std::uint8_t, model::kKeyActionRecordSize> record);
    void clearCapture();
    int capturedBeforeZero() const;
    std::string joinedNames(int count) const;
    void leaveLaunchRows();
    ClickOutcome clickButton(int b);
    ClickOutcome save();
    void clickAdvance(Point p, ClickOutcome& out);

    Language m_lang;
    KeyMapView m_view;
    KeyKind m_kind = KeyKind::Unchosen;
    std::array<std::uint8_t, kCapturedKeysSize> m_captured{};
    int m_count = 0;
    int m_macroIndex = -1;
    std::string m_functionName;
    bool m_enabled = true;
    bool m_hookInstalled = false;
    bool m_initialFocus = false;
    std::optional<int> m_heldKey;  // last captured key not yet released
    std::optional<FocusTarget> m_focusRequest;
};

}  // namespace tavrik::keyassign
