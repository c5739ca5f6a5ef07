#pragma once
// Configurations for the document tests: a factory-reset keyboard, one changed through `set`
// commands and macros as a user would, and random bytes.

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "describe/configuration.h"
#include "model/config_state.h"

namespace tavrik::ctl::test {

// A keyboard right after a factory reset: factory key codes, every key enabled, own codes set,
// Static lighting at brightness 1, response 2 ms, 1000 Hz.
std::unique_ptr<describe::Configuration> factoryConfiguration();

// Adds a macro at the end of the store's macros: events (key-table code, released, delay).
struct TestEvent {
    std::uint8_t code;
    bool released;
    int delay;
};
void addMacro(describe::Configuration& c, const std::string& name, std::uint16_t loops,
              const std::vector<TestEvent>& events);

// Runs `set` commands on the configuration (through a ConfigState); fails the test on an error.
void runSet(describe::Configuration& c, const std::vector<std::string>& args);

// A factory configuration changed at random through macros and `set` commands.
std::unique_ptr<describe::Configuration> userConfiguration(std::mt19937& rng);
// Every byte random.
std::unique_ptr<describe::Configuration> randomConfiguration(std::mt19937& rng);

}  // namespace tavrik::ctl::test
