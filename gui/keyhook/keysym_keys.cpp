#include "keyhook/keysym_keys.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <algorithm>
#include <iterator>

#include "model/virtual_keys.h"

namespace tavrik::app {
namespace {

namespace vk = model::vk;

struct KeysymEntry {
    std::uint32_t keysym;
    int vk;
};

// Keys other than letters, digits and F-keys (handled by ranges). Shifted punctuation is listed
// with its key, so that a keysym read at any shift level names the same key.
constexpr KeysymEntry kKeysyms[] = {
    {XK_BackSpace, vk::kBack},
    {XK_Tab, vk::kTab},
    {XK_ISO_Left_Tab, vk::kTab},
    {XK_Return, vk::kReturn},
    {XK_Pause, vk::kPause},
    {XK_Break, vk::kPause},
    {XK_Caps_Lock, vk::kCapital},
    {XK_Escape, vk::kEscape},
    {XK_space, vk::kSpace},
    {XK_Prior, vk::kPrior},
    {XK_Next, vk::kNext},
    {XK_End, vk::kEnd},
    {XK_Home, vk::kHome},
    {XK_Left, vk::kLeft},
    {XK_Up, vk::kUp},
    {XK_Right, vk::kRight},
    {XK_Down, vk::kDown},
    {XK_Print, vk::kSnapshot},
    {XK_Sys_Req, vk::kSnapshot},
    {XK_Insert, vk::kInsert},
    {XK_Delete, vk::kDelete},
    {XK_Super_L, vk::kLWin},
    {XK_Super_R, vk::kRWin},
    {XK_Meta_L, vk::kLWin},
    {XK_Meta_R, vk::kRWin},
    {XK_Menu, vk::kApps},
    {XK_Num_Lock, vk::kNumLock},
    {XK_Scroll_Lock, vk::kScroll},
    {XK_Shift_L, vk::kLShift},
    {XK_Shift_R, vk::kRShift},
    {XK_Control_L, vk::kLControl},
    {XK_Control_R, vk::kRControl},
    {XK_Alt_L, vk::kLMenu},
    {XK_Alt_R, vk::kRMenu},
    {XK_ISO_Level3_Shift, vk::kRMenu},
    // Keypad: digits and their NumLock-off meanings name the same keys.
    {XK_KP_0, vk::kNumpad0},
    {XK_KP_1, vk::kNumpad0 + 1},
    {XK_KP_2, vk::kNumpad0 + 2},
    {XK_KP_3, vk::kNumpad0 + 3},
    {XK_KP_4, vk::kNumpad0 + 4},
    {XK_KP_5, vk::kNumpad0 + 5},
    {XK_KP_6, vk::kNumpad0 + 6},
    {XK_KP_7, vk::kNumpad0 + 7},
    {XK_KP_8, vk::kNumpad0 + 8},
    {XK_KP_9, vk::kNumpad0 + 9},
    {XK_KP_Insert, vk::kNumpad0},
    {XK_KP_End, vk::kNumpad0 + 1},
    {XK_KP_Down, vk::kNumpad0 + 2},
    {XK_KP_Next, vk::kNumpad0 + 3},
    {XK_KP_Left, vk::kNumpad0 + 4},
    {XK_KP_Begin, vk::kNumpad0 + 5},
    {XK_KP_Right, vk::kNumpad0 + 6},
    {XK_KP_Home, vk::kNumpad0 + 7},
    {XK_KP_Up, vk::kNumpad0 + 8},
    {XK_KP_Prior, vk::kNumpad0 + 9},
    {XK_KP_Multiply, vk::kMultiply},
    {XK_KP_Add, vk::kAdd},
    {XK_KP_Enter, vk::kSeparator},
    {XK_KP_Separator, vk::kSeparator},
    {XK_KP_Subtract, vk::kSubtract},
    {XK_KP_Decimal, vk::kDecimal},
    {XK_KP_Delete, vk::kDecimal},
    {XK_KP_Divide, vk::kDivide},
    // Punctuation, unshifted and shifted.
    {XK_semicolon, vk::kOem1},
    {XK_colon, vk::kOem1},
    {XK_equal, vk::kOemPlus},
    {XK_plus, vk::kOemPlus},
    {XK_comma, vk::kOemComma},
    {XK_less, vk::kOemComma},
    {XK_minus, vk::kOemMinus},
    {XK_underscore, vk::kOemMinus},
    {XK_period, vk::kOemPeriod},
    {XK_greater, vk::kOemPeriod},
    {XK_slash, vk::kOem2},
    {XK_question, vk::kOem2},
    {XK_grave, vk::kOem3},
    {XK_asciitilde, vk::kOem3},
    {XK_dead_grave, vk::kOem3},
    {XK_bracketleft, vk::kOem4},
    {XK_braceleft, vk::kOem4},
    {XK_backslash, vk::kOem5},
    {XK_bar, vk::kOem5},
    {XK_bracketright, vk::kOem6},
    {XK_braceright, vk::kOem6},
    {XK_apostrophe, vk::kOem7},
    {XK_quotedbl, vk::kOem7},
    {XK_dead_acute, vk::kOem7},
    // Shifted digits of the US layout.
    {XK_exclam, '1'},
    {XK_at, '2'},
    {XK_numbersign, '3'},
    {XK_dollar, '4'},
    {XK_percent, '5'},
    {XK_asciicircum, '6'},
    {XK_ampersand, '7'},
    {XK_asterisk, '8'},
    {XK_parenleft, '9'},
    {XK_parenright, '0'},
    // Media keys.
    {XF86XK_AudioLowerVolume, vk::kVolumeDown},
    {XF86XK_AudioRaiseVolume, vk::kVolumeUp},
    {XF86XK_AudioMute, vk::kVolumeMute},
    {XF86XK_AudioPlay, vk::kMediaPlayPause},
    {XF86XK_AudioPause, vk::kMediaPlayPause},
    {XF86XK_AudioStop, vk::kMediaStop},
    {XF86XK_AudioNext, vk::kMediaNext},
    {XF86XK_AudioPrev, vk::kMediaPrev},
    {XF86XK_AudioMedia, vk::kLaunchMediaSelect},
};

struct QtKeyEntry {
    int key;
    int vk;
};

// Qt keys other than letters, digits and F-keys; keypad keys are told apart by the modifier.
constexpr QtKeyEntry kQtKeys[] = {
    {Qt::Key_Backspace, vk::kBack},
    {Qt::Key_Tab, vk::kTab},
    {Qt::Key_Backtab, vk::kTab},
    {Qt::Key_Return, vk::kReturn},
    {Qt::Key_Enter, vk::kSeparator},
    {Qt::Key_Pause, vk::kPause},
    {Qt::Key_CapsLock, vk::kCapital},
    {Qt::Key_Escape, vk::kEscape},
    {Qt::Key_Space, vk::kSpace},
    {Qt::Key_PageUp, vk::kPrior},
    {Qt::Key_PageDown, vk::kNext},
    {Qt::Key_End, vk::kEnd},
    {Qt::Key_Home, vk::kHome},
    {Qt::Key_Left, vk::kLeft},
    {Qt::Key_Up, vk::kUp},
    {Qt::Key_Right, vk::kRight},
    {Qt::Key_Down, vk::kDown},
    {Qt::Key_Print, vk::kSnapshot},
    {Qt::Key_SysReq, vk::kSnapshot},
    {Qt::Key_Insert, vk::kInsert},
    {Qt::Key_Delete, vk::kDelete},
    {Qt::Key_Super_L, vk::kLWin},
    {Qt::Key_Super_R, vk::kRWin},
    {Qt::Key_Menu, vk::kApps},
    {Qt::Key_NumLock, vk::kNumLock},
    {Qt::Key_ScrollLock, vk::kScroll},
    {Qt::Key_AltGr, vk::kRMenu},
    {Qt::Key_Semicolon, vk::kOem1},
    {Qt::Key_Colon, vk::kOem1},
    {Qt::Key_Equal, vk::kOemPlus},
    {Qt::Key_Plus, vk::kOemPlus},
    {Qt::Key_Comma, vk::kOemComma},
    {Qt::Key_Less, vk::kOemComma},
    {Qt::Key_Minus, vk::kOemMinus},
    {Qt::Key_Underscore, vk::kOemMinus},
    {Qt::Key_Period, vk::kOemPeriod},
    {Qt::Key_Greater, vk::kOemPeriod},
    {Qt::Key_Slash, vk::kOem2},
    {Qt::Key_Question, vk::kOem2},
    {Qt::Key_QuoteLeft, vk::kOem3},
    {Qt::Key_AsciiTilde, vk::kOem3},
    {Qt::Key_BracketLeft, vk::kOem4},
    {Qt::Key_BraceLeft, vk::kOem4},
    {Qt::Key_Backslash, vk::kOem5},
    {Qt::Key_Bar, vk::kOem5},
    {Qt::Key_BracketRight, vk::kOem6},
    {Qt::Key_BraceRight, vk::kOem6},
    {Qt::Key_Apostrophe, vk::kOem7},
    {Qt::Key_QuoteDbl, vk::kOem7},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
    {Qt::Key_VolumeDown, vk::kVolumeDown},
    {Qt::Key_VolumeUp, vk::kVolumeUp},
    {Qt::Key_VolumeMute, vk::kVolumeMute},
    {Qt::Key_MediaPlay, vk::kMediaPlayPause},
    {Qt::Key_MediaTogglePlayPause, vk::kMediaPlayPause},
    {Qt::Key_MediaPause, vk::kMediaPlayPause},
    {Qt::Key_MediaStop, vk::kMediaStop},
    {Qt::Key_MediaNext, vk::kMediaNext},
    {Qt::Key_MediaPrevious, vk::kMediaPrev},
    {Qt::Key_LaunchMedia, vk::kLaunchMediaSelect},
};

// Keypad keys as Qt names them with the KeypadModifier.
constexpr QtKeyEntry kQtKeypad[] = {
    {Qt::Key_Asterisk, vk::kMultiply}, {Qt::Key_Plus, vk::kAdd},
    {Qt::Key_Minus, vk::kSubtract},    {Qt::Key_Period, vk::kDecimal},
    {Qt::Key_Comma, vk::kDecimal},     {Qt::Key_Delete, vk::kDecimal},
    {Qt::Key_Slash, vk::kDivide},      {Qt::Key_Enter, vk::kSeparator},
    {Qt::Key_Insert, vk::kNumpad0},    {Qt::Key_End, vk::kNumpad0 + 1},
    {Qt::Key_Down, vk::kNumpad0 + 2},  {Qt::Key_PageDown, vk::kNumpad0 + 3},
    {Qt::Key_Left, vk::kNumpad0 + 4},  {Qt::Key_Clear, vk::kNumpad0 + 5},
    {Qt::Key_Right, vk::kNumpad0 + 6}, {Qt::Key_Home, vk::kNumpad0 + 7},
    {Qt::Key_Up, vk::kNumpad0 + 8},    {Qt::Key_PageUp, vk::kNumpad0 + 9},
};

// X keycodes of the right-hand modifiers on the evdev keymap (X11 and Wayland).
constexpr std::uint32_t kRightShiftScan = 62, kRightControlScan = 105, kRightAltScan = 108;
constexpr std::uint32_t kRightSuperScan = 134;

template <typename Table, typename Key>
int lookup(const Table& table, Key key) {
    const auto it = std::find_if(std::begin(table), std::end(table),
                                 [key](const auto& e) { return e.keysym == key; });
    return it == std::end(table) ? 0 : it->vk;
}

int lookupQt(const auto& table, int key) {
    const auto it = std::find_if(std::begin(table), std::end(table),
                                 [key](const QtKeyEntry& e) { return e.key == key; });
    return it == std::end(table) ? 0 : it->vk;
}

int sided(std::uint32_t scan, std::uint32_t rightScan, int left, int right) {
    return scan == rightScan ? right : left;
}

}  // namespace

int vkFromKeysym(std::uint32_t keysym) {
    if (keysym >= XK_a && keysym <= XK_z) return 'A' + static_cast<int>(keysym - XK_a);
    if (keysym >= XK_A && keysym <= XK_Z) return 'A' + static_cast<int>(keysym - XK_A);
    if (keysym >= XK_0 && keysym <= XK_9) return '0' + static_cast<int>(keysym - XK_0);
    if (keysym >= XK_F1 && keysym <= XK_F24) return vk::kF1 + static_cast<int>(keysym - XK_F1);
    return lookup(kKeysyms, keysym);
}

int vkFromQtKey(int key, Qt::KeyboardModifiers modifiers, std::uint32_t scan) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9) return vk::kNumpad0 + (key - Qt::Key_0);
    if (keypad)
        if (const int v = lookupQt(kQtKeypad, key)) return v;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return vk::kF1 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Shift:
            return sided(scan, kRightShiftScan, vk::kLShift, vk::kRShift);
        case Qt::Key_Control:
            return sided(scan, kRightControlScan, vk::kLControl, vk::kRControl);
        case Qt::Key_Alt:
            return sided(scan, kRightAltScan, vk::kLMenu, vk::kRMenu);
        case Qt::Key_Meta:
            return sided(scan, kRightSuperScan, vk::kLWin, vk::kRWin);
        default:
            return lookupQt(kQtKeys, key);
    }
}

int messageVkFromQtKey(int key, Qt::KeyboardModifiers modifiers, std::uint32_t scan) {
    if (key == Qt::Key_Enter) return vk::kReturn;
    return vkFromQtKey(key, modifiers, scan);
}

}  // namespace tavrik::app
