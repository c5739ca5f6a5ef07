// Feeds arbitrary bytes to the JSON document import, as tavrikctl import/apply and the tool's
// socket take it from other processes. A refused document leaves the configuration alone; an
// accepted one exports to a document that imports to the very same configuration.
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "host/document/config_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tavrik::describe::Configuration;
    const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    auto config = std::make_unique<Configuration>();
    config->image.fill(0xA5);
    const auto untouched = std::make_unique<Configuration>(*config);
    if (!tavrik::ctl::importJson(json, *config)) {
        if (!(config->image == untouched->image) || !(config->actions == untouched->actions) ||
            !(config->macros == untouched->macros)) {
            __builtin_trap();
        }
        return 0;
    }
    auto again = std::make_unique<Configuration>();
    if (!tavrik::ctl::importJson(tavrik::ctl::exportJson(*config), *again)) __builtin_trap();
    if (!(again->image == config->image) || !(again->actions == config->actions) ||
        !(again->macros == config->macros)) {
        __builtin_trap();
    }
    return 0;
}
