// Feeds arbitrary bytes to the parser of app-profiles.json, a file the user may edit by hand.
// Accepted rules write out to a file that reads back as the very same rules, and keep the
// rules' own invariants: no id empty or too long, none under two profiles, no empty entry.
#include <QByteArray>

#include <cstddef>
#include <cstdint>

#include "host/app_rules_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrik;
    const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto rules = app::parseAppRules(json);
    if (!rules) return 0;
    std::size_t ids = 0;
    for (const auto& p : rules->profiles) {
        if (p.apps.empty()) __builtin_trap();
        for (const std::string& a : p.apps) {
            ++ids;
            if (appprofiles::appIdProblem(a)) __builtin_trap();
            for (const auto& q : rules->profiles) {
                for (const std::string& b : q.apps) {
                    if (&a != &b && appprofiles::sameAppId(a, b)) __builtin_trap();
                }
            }
        }
    }
    if (ids > appprofiles::kMaxBindings) __builtin_trap();
    const auto again = app::parseAppRules(app::appRulesJson(*rules));
    if (!again || !(*again == *rules)) __builtin_trap();
    return 0;
}
