// Loads arbitrary bytes as MacroDefine.bin and does with the store what the tool does: the macro
// list, each macro's event list and edits in the macro editor, OK, and the build of the
// keyboard's macro slots. Aborts when the slot build writes outside the macro area.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "macro/macro_editor.h"
#include "macro/macro_store.h"
#include "model/image_layout.h"

namespace {

using namespace tavrik;
using namespace tavrik::macro;

class NoHook final : public HookControl {
public:
    bool install() override { return false; }
    void remove() override {}
};

class StillClock final : public Clock {
public:
    std::int64_t ticks() const override { return 0; }
    std::int64_t frequency() const override { return 1000; }
};

constexpr std::uint8_t kUntouched = 0xA5;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto store = std::make_unique<MacroStore>();
    static const auto image = std::make_unique<model::Image>();
    static NoHook hook;
    static StillClock clock;

    takeMacroFileBytes(std::span<const std::uint8_t>(data, size), *store);
    if (macroNames(*store).size() != macroCount(*store)) __builtin_trap();

    auto editor = std::make_unique<MacroEditor>(hook, clock);
    editor->open(*store);
    const int shown = static_cast<int>(editor->macroNames().size());
    for (int i = 0; i < shown && i < 40; ++i) {
        editor->selectMacro(i);
        const int lines = static_cast<int>(editor->eventLines().size());
        if (lines > 0) {
            editor->selectEventLine(lines - 1);
            (void)editor->insertDelay();
            editor->selectEventLine(0);
            editor->deleteEvent();
        }
    }
    editor->ok(*store);

    image->fill(kUntouched);
    buildMacroSlots(*store, *image);
    for (std::size_t i = 0; i < image->size(); ++i) {
        const bool inMacroArea = i >= model::image::kMacroArea &&
                                 i < model::image::kMacroArea + model::image::kMacroAreaSize;
        if (!inMacroArea && (*image)[i] != kUntouched) __builtin_trap();
    }
    return 0;
}
