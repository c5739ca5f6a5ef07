// The keyboard picture's tooltip: the key's name and what it does, in the window's language.

#include <gtest/gtest.h>

#include <memory>

#include "../describe/factory_state.h"
#include "describe/key_function.h"
#include "mainwindow/key_tooltip.h"

namespace tavrik::mainwindow {
namespace {

using describe::test_support::factoryState;
using describe::test_support::kASlot;

TEST(KeyTooltip, NamesTheKeyAndSaysItsFunctionInBothLanguages) {
    const auto macros = std::make_unique<macro::MacroStore>();
    auto s = factoryState();
    EXPECT_EQ(keyTooltip(s->image, s->actions, *macros, kASlot, Language::English),
              "A: its own function");
    EXPECT_EQ(keyTooltip(s->image, s->actions, *macros, kASlot, Language::Chinese), "A: 原有功能");

    // An assigned combination reads as the command-line tool prints it.
    describe::applyKeyFunction(*s, kASlot, *describe::parseKeyFunction("LCtrl + C", *macros),
                               *macros);
    EXPECT_EQ(keyTooltip(s->image, s->actions, *macros, kASlot, Language::English), "A: LCtrl + C");
    EXPECT_EQ(keyTooltip(s->image, s->actions, *macros, kASlot, Language::Chinese), "A: LCtrl + C");

    // A disabled key says so rather than the function it keeps.
    describe::applyKeyFunction(*s, kASlot, *describe::parseKeyFunction("disable", *macros),
                               *macros);
    EXPECT_EQ(keyTooltip(s->image, s->actions, *macros, kASlot, Language::English), "A: disabled");
    EXPECT_EQ(keyTooltip(s->image, s->actions, *macros, kASlot, Language::Chinese), "A: 已禁用");
}

TEST(KeyTooltip, NothingForASlotWithoutAKey) {
    const auto macros = std::make_unique<macro::MacroStore>();
    const auto s = factoryState();
    EXPECT_TRUE(keyTooltip(s->image, s->actions, *macros, -1, Language::English).empty());
    EXPECT_TRUE(keyTooltip(s->image, s->actions, *macros, 113, Language::English).empty());
}

}  // namespace
}  // namespace tavrik::mainwindow
