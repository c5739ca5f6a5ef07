#include "describe/name_lists.h"

#include "describe/key_names.h"
#include "keyassign/catalogue.h"
#include "model/slot_table.h"
#include "settings/effects.h"

namespace tavrik::describe {

std::vector<std::string> effectNames() {
    std::vector<std::string> out;
    for (const settings::Effect& e : settings::effectTable()) out.emplace_back(e.name.en);
    return out;
}

std::vector<std::string> presetNames() {
    std::vector<std::string> out;
    for (const auto& p : keyassign::presetFunctions()) out.emplace_back(p.name.en);
    return out;
}

std::vector<std::string> keyNames() {
    std::vector<std::string> out;
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
        if (model::slot(slot).drawn()) out.push_back(slotName(slot));
    }
    return out;
}

}  // namespace tavrik::describe
