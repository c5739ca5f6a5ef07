// Reports what an end-to-end run left behind, for the screen-reader test's script: the effect
// and one key's function in keymap.bin, and whether the keyboard, rebuilt from the reports in
// the emulator's trace, holds the image of keymap.bin.
//
//   tavrik-atspi-probe DATA_DIR TRACE_FILE KEY_NAME
// prints three lines: "effect <code>", "function <words>", "wire same|differs".
// Exit code 1 when keymap.bin cannot be read, 2 on a usage error.

#include <cstdio>
#include <memory>
#include <string>

#include "describe/key_function.h"
#include "describe/key_names.h"
#include "macro/macro_layout.h"
#include "model/config_state.h"
#include "model/keymap_file.h"
#include "trace_replay.h"

int main(int argc, char** argv) {
    using namespace tavrik;
    if (argc != 4) {
        std::fputs("usage: tavrik-atspi-probe DATA_DIR TRACE_FILE KEY_NAME\n", stderr);
        return 2;
    }
    const auto slot = describe::findSlot(argv[3]);
    if (!slot) {
        std::fprintf(stderr, "tavrik-atspi-probe: unknown key %s\n", argv[3]);
        return 2;
    }
    auto state = std::make_unique<model::ConfigState>();
    const std::string keymap = std::string(argv[1]) + "/keymap.bin";
    if (!model::readConfigFile(keymap, state->image, state->actions)) {
        std::fprintf(stderr, "tavrik-atspi-probe: cannot read %s\n", keymap.c_str());
        return 1;
    }
    const auto macros = std::make_unique<macro::MacroStore>();
    const e2e::ReplayResult wire = e2e::replay(e2e::readTrace(argv[2]));
    std::printf("effect %d\nfunction %s\nwire %s\n", state->image[model::image::kEffect],
                describe::describeKey(state->image, state->actions, *macros, *slot).c_str(),
                wire.image == state->image && wire.protocolErrors.empty() ? "same" : "differs");
    return 0;
}
