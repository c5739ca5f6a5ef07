#include "config_builder.h"

#include <gtest/gtest.h>

#include "common/utf16.h"
#include "describe/key_function.h"
#include "describe/key_names.h"
#include "describe/set_command.h"
#include "keyassign/catalogue.h"
#include "macro/macro_events.h"
#include "macro/macro_store.h"
#include "model/key_table.h"
#include "model/slot_table.h"
#include "settings/effects.h"

namespace tavrik::ctl::test {
namespace {

template <typename T>
const T& pick(std::mt19937& rng, const std::vector<T>& items) {
    return items[rng() % items.size()];
}

std::vector<int> assignableSlots() {
    std::vector<int> slots;
    for (int s = 0; s < model::kSlotCount; ++s) {
        if (describe::checkAssignableSlot(s)) slots.push_back(s);
    }
    return slots;
}

}  // namespace

std::unique_ptr<describe::Configuration> factoryConfiguration() {
    auto state = std::make_unique<model::ConfigState>();
    model::completeFactoryReset(*state);
    for (int s = 0; s < model::kSlotCount; ++s) {
        const model::KeyCode code = model::factoryKeyCodes()[model::slot(s).keyIndex];
        std::copy(code.begin(), code.end(), model::keyCodeCell(state->image, s).begin());
    }
    namespace img = model::image;
    state->image[img::kEffect] = 1;
    state->image[img::kBrightness] = 1;
    state->image[img::kColourChoice] = 1;
    state->image[img::kResponseTime] = 1;
    state->image[img::kReportRate] = 3;
    auto c = std::make_unique<describe::Configuration>();
    c->image = state->image;
    c->actions = state->actions;
    return c;
}

void addMacro(describe::Configuration& c, const std::string& name, std::uint16_t loops,
              const std::vector<TestEvent>& events) {
    macro::MacroRecord& r = c.macros[macro::macroCount(c.macros)];
    ASSERT_TRUE(macro::setMacroName(r, utf8ToUtf16(name)));
    macro::setLoopCount(r, loops);
    macro::setRecordsDelay(r, true);
    macro::EditorBuffers b;
    for (const TestEvent& e : events) {
        const std::size_t at = macro::eventsEnd(b);
        const std::uint8_t head = static_cast<std::uint8_t>(e.released ? 0x81 : 0x01);
        ASSERT_TRUE(macro::insertEvent(b, at, head, e.code));
        macro::setEventDelay(b, at, e.delay);
    }
    std::copy(b.device.begin(), b.device.end(), macro::deviceSequence(r).begin());
    std::copy(b.key.begin(), b.key.end(), macro::keySequence(r).begin());
    macro::buildMacroSlots(c.macros, c.image);  // as the macro dialog's OK does
}

void runSet(describe::Configuration& c, const std::vector<std::string>& args) {
    auto state = std::make_unique<model::ConfigState>();
    state->image = c.image;
    state->actions = c.actions;
    const Status s = describe::applySetCommand(*state, c.macros, args);
    ASSERT_TRUE(s) << s.error().context;
    c.image = state->image;
    c.actions = state->actions;
}

std::unique_ptr<describe::Configuration> userConfiguration(std::mt19937& rng) {
    auto c = factoryConfiguration();
    const std::vector<std::uint8_t> keys{65, 67, 86, 162, 160, 164, 112, 32, 13, 240, 27};
    const std::vector<int> delays{0, 1, 2, 50, 126, 127, 250, 1000, 60000};
    const std::vector<std::string> names{"Combo", "Fire", "宏一", "Reload"};
    const int macros = static_cast<int>(rng() % 4);
    for (int m = 0; m < macros; ++m) {
        std::vector<TestEvent> events;
        const int n = 1 + static_cast<int>(rng() % 6);
        for (int e = 0; e < n; ++e) {
            const std::uint8_t k = pick(rng, keys);
            events.push_back({k, false, e == 0 ? 1 : pick(rng, delays)});
            events.push_back({k, true, pick(rng, delays)});
        }
        addMacro(*c, names[static_cast<std::size_t>(m)], static_cast<std::uint16_t>(rng() % 1000),
                 events);
    }

    const auto& effect = settings::effectTable()[rng() % settings::kEffectCount];
    std::vector<std::string> set{"effect", std::string(rng() % 2 ? effect.name.en : effect.name.zh),
                                 "--brightness", std::to_string(rng() % 51)};
    if (settings::showsSpeed(effect.code)) {
        set.insert(set.end(), {"--speed", std::to_string(rng() % 10)});
    }
    if (const auto b = settings::directionButtons(effect.code)[1]) {
        set.insert(set.end(), {"--direction", b == settings::Direction::Left ? "left" : "bottom"});
    }
    runSet(*c, set);
    runSet(*c, {"game-mode", rng() % 2 ? "on" : "off"});
    runSet(*c, {"win-lock", rng() % 2 ? "on" : "off"});
    runSet(*c, {"response-time", std::to_string(2 * (1 + rng() % 10))});
    runSet(*c, {"report-rate", pick(rng, std::vector<std::string>{"125", "250", "500", "1000"})});

    std::vector<std::string> functions{"A",
                                       "LCtrl + C",
                                       "LShift+LAlt+F4",
                                       "default",
                                       "disable",
                                       "enable",
                                       "Volume UP",
                                       "MsRB",
                                       "launch program /usr/bin/my tool",
                                       "launch folder /home/u/文档",
                                       "sound /tmp/a.mp3",
                                       "file /tmp/notes.txt"};
    for (const auto& p : keyassign::presetFunctions()) {
        functions.push_back("preset " + std::string(rng() % 2 ? p.name.en : p.name.zh));
    }
    for (int m = 0; m < macros; ++m) functions.push_back("macro " + names[std::size_t(m)]);
    const std::vector<int> slots = assignableSlots();
    for (int i = 0; i < 12; ++i) {
        const std::string key = describe::slotName(pick(rng, slots));
        runSet(*c, {"key", key, pick(rng, functions)});
    }
    for (int i = 0; i < 6; ++i) {
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%06X", static_cast<unsigned>(rng() & 0xFFFFFF));
        runSet(*c, {"diy", std::to_string(1 + rng() % 5),
                    describe::slotName(static_cast<int>(rng() % model::kSlotCount)), colour});
    }
    return c;
}

std::unique_ptr<describe::Configuration> randomConfiguration(std::mt19937& rng) {
    auto c = std::make_unique<describe::Configuration>();
    for (auto& b : c->image) b = static_cast<std::uint8_t>(rng());
    for (auto& b : c->actions) b = static_cast<std::uint8_t>(rng());
    for (auto& r : c->macros) {
        for (auto& b : r) b = static_cast<std::uint8_t>(rng());
    }
    return c;
}

}  // namespace tavrik::ctl::test
