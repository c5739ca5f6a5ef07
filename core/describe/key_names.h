#pragma once
// Readable key names, taken from the key table and the slot table in one place.
//
// Every key slot 0..112 has one canonical name: the key-table display name of its code without
// its trailing blank ("Esc", "F1", "A", "1", "LCtrl", "Space", "Up"), except where that name is
// empty or shared: the keypad keys are "Num0".."Num9", "Num*", "NumPlus", "Num-", "Num.", "Num/",
// "NumEnter" and "NumLock", the media keys "VolumeDown", "VolumeUp", "PlayPause", "Media", the
// function key "Fn" and the macro keys "S1".."S5". Key-table codes that no slot carries (mouse
// buttons, "RWin", ...) have canonical names of the same kind; a code without any name is written
// "Code<n>" (decimal). Canonical names contain no blank and no '+'.
//
// Lookups accept the canonical names, the key table's display names, the DIY-view labels and a
// few common aliases ("Escape", "Ctrl", "Backspace", "PageUp", ...), case-insensitively and with
// surrounding blanks ignored. An alias shared by two keys names the first in slot order
// ("Shift" is the left Shift).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrik::describe {

// Canonical name of slot 0..112; empty for any other value.
std::string slotName(int slot);
// The slot a name stands for; none for an unknown name.
std::optional<int> findSlot(std::string_view name);

// Canonical name of a key-table code 1..254 ("Code<n>" for codes without a name); used for
// captured keys and macro events.
std::string codeName(std::uint8_t code);
// The key-table code a name stands for (names as for findSlot, plus "Code<n>" for n in 1..254);
// none for an unknown name. A slot name gives the slot's code ("Fn" gives none: it has no code
// of its own).
std::optional<std::uint8_t> findCode(std::string_view name);

// The known name closest to an unknown one, to suggest in an error: edit distance at most 1 for
// names up to 4 characters, 2 up to 8, else 3; empty when none is close enough or the name is
// blank.
std::string closestSlotName(std::string_view name);
std::string closestCodeName(std::string_view name);

}  // namespace tavrik::describe
