// Loads arbitrary bytes as keymap.bin and runs the rules that read the loaded blocks.
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/config_state.h"
#include "model/keymap_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrik::model;
    static ConfigState state;
    takeFileBytes(std::span<const std::uint8_t>(data, size), &state.image, state.actions);
    fillOwnCodes(state.actions);
    recomputeChangedKeys(state);
    readWinLock(state.image);
    foldWinLock(state.image);
    (void)changedUnits(state.image, state.syncedImage);
    for (int s = 0; s < kKeyActionCount; ++s) (void)keyAction(state.actions, s).launchPath();
    return 0;
}
