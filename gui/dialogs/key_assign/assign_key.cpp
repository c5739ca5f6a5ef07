#include "dialogs/key_assign/assign_key.h"

#include <algorithm>
#include <array>

#include "dialogs/key_assign/key_assign_dialog.h"
#include "host/qt/log_categories.h"
#include "model/slot_table.h"

namespace tavrik::app {

Result<KeyMapOutcome> assignKey(QWidget* parent, model::ConfigModel& model, int slot,
                                const KeyMapContext& context,
                                const keyassign::BuildMacroSlots& buildMacroSlots) {
    if (slot < 0 || slot >= model::kSlotCount) return valueError("key slot out of range");
    // The table is refreshed from the file; the image in memory may be newer and is kept.
    if (const Status reloaded = model.reloadActions(); !reloaded) {
        qCDebug(lcFiles) << "keymap.bin reload failed:" << reloaded.error().context.c_str();
    }
    std::array<std::uint8_t, model::kKeyActionRecordSize> record{};
    bool enabled = true;
    model.withLock([&](model::ConfigState& s) {
        const auto bytes = model::keyActionBytes(s.actions, slot);
        std::copy(bytes.begin(), bytes.end(), record.begin());
        enabled = model::keyEnabled(s.image, slot);
    });
    const keyassign::KeyMapInput input{record, enabled, context.macroNames, context.language};
    KeyAssignDialog dialog(input, context.skinFolder, context.services, parent);
    if (dialog.exec() != QDialog::Accepted) return KeyMapOutcome::Cancelled;
    const Status applied =
        keyassign::applyAssignment(model, slot, dialog.result(), context.language, buildMacroSlots);
    if (!applied) return applied.error();
    return KeyMapOutcome::Applied;
}

}  // namespace tavrik::app
