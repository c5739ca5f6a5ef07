#pragma once
// The main window's painted surface as a tree of items for assistive technology and keyboard
// use: the title buttons, the panel's sections with their controls, the drop-down rows, the help
// box rows, the bottom buttons and the keyboard picture with one item per drawn key. Names,
// rectangles and what an item does come from the same hit areas and panel rules as the mouse:
// an item is offered exactly when a click at its centre would reach it, and it is activated by
// releases at window points that the window runs as clicks.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/language.h"
#include "mainwindow/main_view.h"
#include "model/image_layout.h"

namespace tavrik::mainwindow::access {

enum class Kind : std::uint8_t {
    Root,         // the window itself
    Area,         // a hit area (index: hit code)
    Section,      // a settings section (index: 0 lighting, 1 game, 2 response, 3 report)
    RadioGroup,   // index 0 game mode, 1 Win lock, 2 key view
    EffectRow,    // index 0..17
    ResponseRow,  // index 0..9
    HelpRow,      // index 0..3 (3: the start-with-session row)
    Keyboard,     // the keyboard picture
    Key,          // index: key slot
};

struct ItemId {
    Kind kind = Kind::Root;
    int index = 0;
    bool operator==(const ItemId&) const = default;
};

enum class Role : std::uint8_t {
    Window,
    Grouping,
    Button,
    SectionHeader,  // a button that folds its section
    RadioButton,
    ComboBox,
    ListItem,
    MenuItem,
    CheckMenuItem,
    Swatch,
    Keyboard,
    Key,
};

inline constexpr int kSectionCount = 4;
inline constexpr int kRadioGroupCount = 3;
inline constexpr int kHelpRowCount = 4;

// Everything the items depend on besides the view.
struct Context {
    const ViewState* view = nullptr;
    const model::Image* image = nullptr;
    Language language = Language::English;
    bool startWithSession = false;  // the help box's check row
    // The home page row's text (the address the window shows).
    std::string homePage;
};

struct Item {
    ItemId id;
    Role role = Role::Grouping;
    std::string name;         // UTF-8, in the window's language
    std::string description;  // a value or what the item does now; may be empty
    Rect rect;                // window pixels, inclusive edges; empty for items without one
    bool shown = false;       // drawn now
    bool offered = false;     // a click reaches it now (after closing an open overlay)
    bool checked = false;     // radio, check row, the current list row, the chosen swatch
    bool expandable = false;  // section headers and the drop-down boxes
    bool expanded = false;
};

// The item's children in reading order (top to bottom, left to right). The tree's shape is
// fixed: hidden items stay in it with shown = false, so an item's place never changes.
std::vector<ItemId> children(ItemId id);
// The item's parent; the root's is the root.
ItemId parent(ItemId id);
// Whether the id names an item of the tree.
bool exists(ItemId id);

// How an item stands now. Key descriptions (what a key does) are given by the caller, who knows
// the key action table: keyFunction may be empty.
Item describe(ItemId id, const Context& context, const std::string& keyFunction = {});

// The releases (window points, in order) that activate the item as a click would: an open
// overlay that the item does not belong to is closed first, a list row or help row opens its
// overlay first. Empty when the item is not offered or does nothing on a click.
std::vector<Point> activation(ItemId id, const ViewState& view, std::uint8_t effect);

// The items Tab and Shift+Tab visit now, in order: only those offered; while a drop-down or
// the help box is open, only its rows. The keyboard picture is one stop (its keys are reached
// with the arrow keys). Sliders are not items: the window places them after their section's
// header.
std::vector<ItemId> tabOrder(const ViewState& view, std::uint8_t effect);

// The key an arrow key moves to from `from` (dx, dy one of -1, 0, 1): the nearest choosable key
// whose centre lies in that direction, preferring keys in line with the current one. None at the
// picture's edge.
std::optional<int> keyInDirection(int from, int dx, int dy, bool diyView);
// The first choosable key in slot order (where the picture's focus starts).
int firstKey(bool diyView);

// A point where a release only closes an open overlay (and hits nothing otherwise).
inline constexpr Point kNeutralPoint{0, 0};

constexpr Point centre(Rect r) {
    return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

namespace text {
// Names of the painted spots that show no text of their own.
inline constexpr BiText kHelp{"Help", "帮助"};
inline constexpr BiText kMinimise{"Minimise", "最小化"};
inline constexpr BiText kClose{"Close", "关闭"};
inline constexpr BiText kKeyboard{"Keyboard", "键盘"};
inline constexpr BiText kKeyView{"Key view", "按键视图"};
inline constexpr BiText kUp{"Up", "上"};
inline constexpr BiText kDown{"Down", "下"};
inline constexpr BiText kLeft{"Left", "左"};
inline constexpr BiText kRight{"Right", "右"};
inline constexpr BiText kRed{"Red", "红色"};
inline constexpr BiText kGreen{"Green", "绿色"};
inline constexpr BiText kBlue{"Blue", "蓝色"};
inline constexpr BiText kYellow{"Yellow", "黄色"};
inline constexpr BiText kCyan{"Cyan", "青色"};
inline constexpr BiText kMagenta{"Magenta", "品红色"};
inline constexpr BiText kWhite{"White", "白色"};
inline constexpr BiText kOrange{"Orange", "橙色"};
inline constexpr BiText kUnlit{"Unlit", "不亮"};
inline constexpr BiText kNotChoosable{"Cannot be assigned", "不可设置"};
}  // namespace text

}  // namespace tavrik::mainwindow::access
