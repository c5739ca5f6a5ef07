// A factory configuration for the describe tests: every key enabled, factory key codes.
#pragma once

#include <algorithm>
#include <memory>

#include "model/config_state.h"
#include "model/key_table.h"
#include "model/slot_table.h"

namespace tavrik::describe::test_support {

inline constexpr int kASlot = 63;

inline std::unique_ptr<model::ConfigState> factoryState() {
    auto s = std::make_unique<model::ConfigState>();
    model::completeFactoryReset(*s);
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
        const model::KeyCode code = model::factoryKeyCodes()[model::slot(slot).keyIndex];
        std::copy(code.begin(), code.end(), model::keyCodeCell(s->image, slot).begin());
    }
    return s;
}

}  // namespace tavrik::describe::test_support
