#include <gtest/gtest.h>

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <set>

#include "keyhook/keysym_keys.h"
#include "model/key_table.h"

namespace tavrik::app {
namespace {

constexpr int kFirstMouseCode = 0xF0;  // mouse entries of the key table are not keys

std::set<int> keyTableKeys() {
    std::set<int> codes;
    for (const auto& r : model::keyTable())
        if (r.usage != 0 && r.code < kFirstMouseCode) codes.insert(r.code);
    return codes;
}

std::set<int> reachedByKeysyms() {
    std::set<int> codes;
    for (std::uint32_t sym = 0; sym <= 0xFFFF; ++sym) codes.insert(vkFromKeysym(sym));
    for (std::uint32_t sym = 0x1008FF00; sym <= 0x1008FFFF; ++sym) codes.insert(vkFromKeysym(sym));
    codes.erase(0);
    return codes;
}

std::set<int> reachedByQtKeys() {
    std::set<int> codes;
    for (auto mods : {Qt::KeyboardModifiers{}, Qt::KeyboardModifiers{Qt::KeypadModifier}}) {
        for (int key = 0x20; key <= 0xFF; ++key) codes.insert(vkFromQtKey(key, mods));
        for (int key = 0x01000000; key <= 0x010000FF; ++key) codes.insert(vkFromQtKey(key, mods));
    }
    for (std::uint32_t scan : {62u, 105u, 108u, 134u})  // right-hand modifiers
        for (int key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt, Qt::Key_Meta})
            codes.insert(vkFromQtKey(key, {}, scan));
    codes.erase(0);
    return codes;
}

TEST(VirtualKeys, EveryKeyOfTheKeyTableIsReachedAndNoMouseCode) {
    const auto keys = keyTableKeys();
    ASSERT_GT(keys.size(), 100u);
    for (const auto& reached : {reachedByKeysyms(), reachedByQtKeys()}) {
        for (int code : keys) EXPECT_TRUE(reached.count(code)) << "code " << code;
        EXPECT_LT(*reached.rbegin(), kFirstMouseCode);
    }
}

struct KeysymCase {
    std::uint32_t keysym;
    int vk;
};
class KeysymTranslation : public ::testing::TestWithParam<KeysymCase> {};

TEST_P(KeysymTranslation, GivesTheVirtualKey) {
    EXPECT_EQ(vkFromKeysym(GetParam().keysym), GetParam().vk);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeysymTranslation,
    ::testing::Values(
        KeysymCase{XK_a, 65}, KeysymCase{XK_Z, 90}, KeysymCase{XK_exclam, 49},
        KeysymCase{XK_parenright, 48}, KeysymCase{XK_F5, 116}, KeysymCase{XK_F12, 123},
        KeysymCase{XK_KP_Home, 103}, KeysymCase{XK_KP_7, 103}, KeysymCase{XK_KP_Enter, 108},
        KeysymCase{XK_KP_Delete, 110}, KeysymCase{XK_Return, 13}, KeysymCase{XK_Shift_R, 161},
        KeysymCase{XK_Control_R, 163}, KeysymCase{XK_ISO_Level3_Shift, 165},
        KeysymCase{XK_Super_R, 92}, KeysymCase{XK_Menu, 93}, KeysymCase{XK_Print, 44},
        KeysymCase{XK_backslash, 220}, KeysymCase{XK_bar, 220}, KeysymCase{XK_grave, 192},
        KeysymCase{XK_apostrophe, 222}, KeysymCase{XF86XK_AudioLowerVolume, 174},
        KeysymCase{XF86XK_AudioRaiseVolume, 175}, KeysymCase{XF86XK_AudioPlay, 179},
        KeysymCase{XF86XK_AudioMedia, 181}, KeysymCase{XK_eacute, 0}, KeysymCase{0, 0}));

TEST(QtKeyTranslation, KeypadAndSidesAreToldApart) {
    EXPECT_EQ(vkFromQtKey(Qt::Key_Enter, Qt::KeypadModifier), 108);
    EXPECT_EQ(vkFromQtKey(Qt::Key_Return, {}), 13);
    EXPECT_EQ(vkFromQtKey(Qt::Key_Minus, {}), 189);
    EXPECT_EQ(vkFromQtKey(Qt::Key_Minus, Qt::KeypadModifier), 109);
    EXPECT_EQ(vkFromQtKey(Qt::Key_Home, Qt::KeypadModifier), 103);
    EXPECT_EQ(vkFromQtKey(Qt::Key_Home, {}), 36);
    EXPECT_EQ(vkFromQtKey(Qt::Key_Shift, Qt::ShiftModifier, 50), 160);
    EXPECT_EQ(vkFromQtKey(Qt::Key_Shift, Qt::ShiftModifier, 62), 161);
    EXPECT_EQ(vkFromQtKey(Qt::Key_Alt, {}, 108), 165);
    EXPECT_EQ(vkFromQtKey(Qt::Key_Question, Qt::ShiftModifier), 191);
}

// The window's key messages see the keypad's Enter as Return; every other key as captured.
TEST(QtKeyTranslation, WindowMessagesSeeBothEntersAsReturn) {
    EXPECT_EQ(messageVkFromQtKey(Qt::Key_Enter, Qt::KeypadModifier), 13);
    EXPECT_EQ(messageVkFromQtKey(Qt::Key_Enter, {}), 13);
    EXPECT_EQ(messageVkFromQtKey(Qt::Key_Return, {}), 13);
    EXPECT_EQ(messageVkFromQtKey(Qt::Key_Escape, {}), 27);
    EXPECT_EQ(messageVkFromQtKey(Qt::Key_F1, {}), 112);
    EXPECT_EQ(messageVkFromQtKey(Qt::Key_Minus, Qt::KeypadModifier), 109);
}

}  // namespace
}  // namespace tavrik::app
