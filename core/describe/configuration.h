#pragma once
// Everything the tool stores about the keyboard, as one value: the configuration image, the key
// action table (together the layout of keymap.bin and of profile files) and the macro store
// (MacroDefine.bin). About 377 KB: allocate it on the heap.

#include "macro/macro_layout.h"
#include "model/image_layout.h"
#include "model/key_action.h"

namespace tavrik::describe {

struct Configuration {
    model::Image image{};
    model::KeyActionTable actions{};
    macro::MacroStore macros{};
};

}  // namespace tavrik::describe
