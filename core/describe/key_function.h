#pragma once
// A key's function in words, and words back to an assignment that the existing key assignment
// encoding stores.
//
// Word forms (English; key names as in key_names.h):
//   "default"                       the key's own function
//   "B"                             a single key
//   "LCtrl + C"                     a combination of two or three keys ("LCtrl+C" parses too)
//   "preset Mute"                   a preset function (English or Chinese name)
//   "macro Combo"                   the macro of that name; "macro #3" the macro index 3 (0-based)
//   "program PATH", "file PATH", "folder PATH", "sound PATH"
//                                   launch actions ("launch program PATH" parses too)
//   "disabled"                      (describeKey only) the key is disabled
// Parsing also takes "disable" / "disabled" and "enable": they change only the enable state.
// A record that none of these forms expresses is described from its key code cell, or as
// "cell XX XX XX XX"; such words do not parse back.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "common/language.h"
#include "common/result.h"
#include "keyassign/assignment.h"
#include "macro/macro_layout.h"
#include "model/config_state.h"

namespace tavrik::describe {

// Words for the function the slot's key action record gives it, checked against its key code
// cell: when the two disagree the cell is described ("default" when it holds the key's own
// code). The enable bit is not looked at. Preset names are given in `lang`.
std::string describeKeyFunction(const model::Image& image, const model::KeyActionTable& actions,
                                const macro::MacroStore& macros, int slot,
                                Language lang = Language::English);
// As describeKeyFunction, but "disabled" when the key's enable bit is clear.
std::string describeKey(const model::Image& image, const model::KeyActionTable& actions,
                        const macro::MacroStore& macros, int slot,
                        Language lang = Language::English);

struct KeyFunction {
    enum class Action : std::uint8_t {
        Assign,   // encode `assignment`
        Enable,   // set the key's enable bit, function unchanged
        Disable,  // clear the enable bit and flag the key, function unchanged
    };
    Action action = Action::Assign;
    // For Assign: the dialog result the words stand for; preset names are English.
    keyassign::AssignmentResult assignment;
};

// Parses one function in words (see the forms above). A macro name is looked up in `macros`
// (exact match first, then ignoring case). Value errors name the problem and what to do, for
// example: unknown key "Ecs" in "LCtrl + Ecs"; did you mean "Esc"?
Result<KeyFunction> parseKeyFunction(std::string_view words, const macro::MacroStore& macros);

// Whether a slot may be given a function from the command line: the 87 drawn keys except the
// Win key and Fn, as in the key-map view. Value error otherwise.
Status checkAssignableSlot(int slot);

// Stores a parsed function for slot 0..112 the way the key assignment dialog's OK does: the
// changed-key flag is cleared, the assignment is encoded by the key assignment encoding, then
// the enable state is applied. Binding a macro rebuilds the image's macro slots from `macros`.
// Enable / Disable only change the enable bit (and, for Disable, the changed-key flag).
void applyKeyFunction(model::ConfigState& state, int slot, const KeyFunction& function,
                      const macro::MacroStore& macros);

// What an assignment stores for one slot, computed on a private scratch state with the key
// assignment encoding: used to check that words reproduce a record and cell exactly. Reusable;
// not thread-safe.
class KeyEncoder {
public:
    using Record = std::array<std::uint8_t, model::kKeyActionRecordSize>;
    struct Encoded {
        Record record{};
        model::KeyCode cell{};
        bool operator==(const Encoded&) const = default;
    };

    KeyEncoder();
    ~KeyEncoder();
    KeyEncoder(const KeyEncoder&) = delete;
    KeyEncoder& operator=(const KeyEncoder&) = delete;

    // The slot's record and cell after `function` (an Assign) is stored on a record and cell that
    // start as `record` and `cell`. Enable and Disable leave both as they are.
    Encoded encode(int slot, const KeyFunction& function,
                   std::span<const std::uint8_t, model::kKeyActionRecordSize> record,
                   model::KeyCode cell);

private:
    std::unique_ptr<model::ConfigState> m_scratch;
};

// describeKeyFunction with a caller's encoder (for describing many keys).
std::string describeKeyFunction(const model::Image& image, const model::KeyActionTable& actions,
                                const macro::MacroStore& macros, int slot, Language lang,
                                KeyEncoder& encoder);

}  // namespace tavrik::describe
