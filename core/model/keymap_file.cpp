#include "model/keymap_file.h"

#include <algorithm>
#include <system_error>

#include "common/atomic_file.h"

namespace tavrik::model {
namespace fs = std::filesystem;

void takeFileBytes(std::span<const std::uint8_t> bytes, Image* image, KeyActionTable& actions) {
    const std::size_t imageBytes = std::min(bytes.size(), kImageSize);
    if (image) std::copy_n(bytes.begin(), imageBytes, image->begin());
    const auto rest = bytes.subspan(imageBytes);
    std::copy_n(rest.begin(), std::min(rest.size(), kKeyActionTableSize), actions.begin());
}

Result<KeymapLoad> loadKeymap(ConfigState& s, const fs::path& path, KeymapPart part) {
    const bool keepImage = part == KeymapPart::ActionsOnly;
    std::error_code ec;
    if (!fs::exists(path, ec) && !ec) {
        // At start-up the table is still empty. A file deleted while the tool runs is written
        // again from memory: the table belongs with the image, whose key codes point into it.
        if (!keepImage) s.actions.fill(0);
        (void)saveConfigFile(path, s.image, s.actions);  // a failed create stays silent
        fillOwnCodes(s.actions);
        return KeymapLoad::Created;
    }
    auto bytes = readFilePrefix(path, kKeymapFileSize);
    if (!bytes) return bytes.error();
    takeFileBytes(*bytes, keepImage ? nullptr : &s.image, s.actions);
    fillOwnCodes(s.actions);
    return KeymapLoad::Loaded;
}

Result<std::size_t> readConfigFile(const fs::path& path, Image& image, KeyActionTable& actions) {
    auto bytes = readFilePrefix(path, kKeymapFileSize);
    if (!bytes) return bytes.error();
    takeFileBytes(*bytes, &image, actions);
    return bytes->size();
}

Status saveConfigFile(const fs::path& path, const Image& image, const KeyActionTable& actions,
                      WriteRule rule) {
    const std::span<const std::uint8_t> parts[] = {image, actions};
    return writeFileAtomically(path, parts, rule);
}

}  // namespace tavrik::model
