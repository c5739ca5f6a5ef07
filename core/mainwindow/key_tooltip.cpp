#include "mainwindow/key_tooltip.h"

#include "describe/key_function.h"
#include "describe/key_names.h"

namespace tavrik::mainwindow {

std::string keyTooltip(const model::Image& image, const model::KeyActionTable& actions,
                       const macro::MacroStore& macros, int slot, Language lang) {
    std::string name = describe::slotName(slot);
    if (name.empty()) return {};
    std::string words = describe::describeKey(image, actions, macros, slot, lang);
    if (words == "default") {
        words = kKeyOwnFunction.in(lang);
    } else if (words == "disabled") {
        words = kKeyDisabled.in(lang);
    }
    return name + ": " + words;
}

}  // namespace tavrik::mainwindow
