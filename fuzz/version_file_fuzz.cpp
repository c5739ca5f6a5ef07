// Parses arbitrary bytes as VER.bin and asks the update question with the result.
#include <cstddef>
#include <cstdint>
#include <span>

#include "appconfig/update_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrik::appconfig;
    const Version package = parseVersionFile(std::span<const std::uint8_t>(data, size));
    (void)updateOffered(package, Version{});
    (void)updateOffered(Version{}, package);
    return 0;
}
