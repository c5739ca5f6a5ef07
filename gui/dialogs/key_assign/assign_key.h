#pragma once
// The main window's command for a click on a key: refresh the key action table from keymap.bin,
// run KeyAssignDialog modally for the slot and, on OK, encode the result into the configuration and
// save keymap.bin.

#include <QString>
#include <string>
#include <vector>

#include "common/language.h"
#include "common/result.h"
#include "dialogs/key_assign/key_assign_services.h"
#include "keyassign/encoding.h"
#include "model/config_model.h"

class QWidget;

namespace tavrik::app {

struct KeyMapContext {
    Language language = Language::English;
    QString skinFolder;                   // the dialog's pictures, ending with '/'
    std::vector<std::string> macroNames;  // macros of the store in index order
    KeyMapServices services = KeyMapServices::desktop();
};

enum class KeyMapOutcome { Applied, Cancelled };

// Runs the dialog for key slot 0..112. The model is not locked while the dialog is open.
// buildMacroSlots rebuilds the image's macro slots from the macro store (it runs with the model
// locked). A failing reload of keymap.bin still opens the dialog on the table in memory; a
// failing save keeps the applied result in memory and returns the System error.
Result<KeyMapOutcome> assignKey(QWidget* parent, model::ConfigModel& model, int slot,
                                const KeyMapContext& context,
                                const keyassign::BuildMacroSlots& buildMacroSlots);

}  // namespace tavrik::app
