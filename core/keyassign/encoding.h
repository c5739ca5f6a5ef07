#pragma once
// Turns an assignment result into the slot's key action record, its 4-byte key code cell, its
// changed-key flag and its enable bit. Pure data manipulation; applyAssignment adds the save of
// keymap.bin in the order the main window uses.

#include <functional>

#include "common/language.h"
#include "common/result.h"
#include "keyassign/assignment.h"
#include "model/config_model.h"
#include "model/config_state.h"

namespace tavrik::keyassign {

// Rebuilds the macro slots of the image from the macro store (supplied by the macro part).
using BuildMacroSlots = std::function<void(model::Image&)>;

// Encodes `result` for key slot 0..112 into `s` (record, cell, changed-key flag, enable bit for
// the Default button and kind 8, macro slots for kind 2). `lang` selects the preset names that
// functionName is looked up in. Returns the enabled state the caller is to apply: true after the
// Default button, otherwise result.enabled. Kinds outside 0..8 change nothing.
bool encodeAssignment(model::ConfigState& s, int slot, const AssignmentResult& result,
                      Language lang, const BuildMacroSlots& buildMacroSlots);

// Enabled: sets the slot's enable bit. Disabled: flags the slot and clears its bit.
void applyEnableState(model::ConfigState& s, int slot, bool enabled);

// Checks that a result can be stored: a Value error for a slot outside 0..112 or a launch path
// longer than 255 UTF-16 units. Nothing is changed by a refused result.
Status validateAssignment(int slot, const AssignmentResult& result);

// The main window's sequence for an OK result, under the model's lock: clear the slot's
// changed-key flag, encode, apply the enable state, save keymap.bin. A refused result changes
// nothing; a failing save keeps memory updated and returns the System error. buildMacroSlots
// runs with the model locked and must not lock it again.
Status applyAssignment(model::ConfigModel& model, int slot, const AssignmentResult& result,
                       Language lang, const BuildMacroSlots& buildMacroSlots);

}  // namespace tavrik::keyassign
