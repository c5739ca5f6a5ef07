#pragma once
// Translation of X keysyms and Qt keys to Windows virtual-key codes, which are the key-table
// codes of the tool. Keys are named by their unshifted US-layout meaning: Shift+1 (exclam) is
// the key "1". Both return 0 for keys the tool does not know.

#include <QtCore/qnamespace.h>
#include <cstdint>

namespace tavrik::app {

int vkFromKeysym(std::uint32_t keysym);

// key and modifiers of a QKeyEvent; nativeScanCode tells left from right modifiers where the
// platform gives X keycodes (X11, Wayland), 0 when unknown (the left key is then assumed).
int vkFromQtKey(int key, Qt::KeyboardModifiers modifiers, std::uint32_t nativeScanCode = 0);

// The code a window's key message carries: as vkFromQtKey, except that the keypad's Enter
// arrives as Return there.
int messageVkFromQtKey(int key, Qt::KeyboardModifiers modifiers, std::uint32_t nativeScanCode = 0);

}  // namespace tavrik::app
