#include "macro/macro_store.h"

#include <algorithm>
#include <system_error>

#include "common/atomic_file.h"
#include "common/utf16.h"

namespace tavrik::macro {
namespace fs = std::filesystem;

namespace {
std::span<const std::uint8_t> nameField(const MacroRecord& r) {
    return std::span(r).subspan(record::kName, record::kNameSize);
}
}  // namespace

bool isFree(const MacroRecord& r) {
    return r[record::kName] == 0 && r[record::kName + 1] == 0;
}

std::string macroName(const MacroRecord& r) {
    return utf16ToUtf8(readUtf16Field(nameField(r)));
}

bool setMacroName(MacroRecord& r, std::u16string_view name) {
    if (name.size() > record::kMaxNameLength) return false;
    return writeUtf16Field(std::span(r).subspan(record::kName, record::kNameSize), name);
}

std::uint16_t loopCount(const MacroRecord& r) {
    return static_cast<std::uint16_t>(r[record::kLoopCount] | r[record::kLoopCount + 1] << 8);
}

void setLoopCount(MacroRecord& r, std::uint16_t count) {
    r[record::kLoopCount] = static_cast<std::uint8_t>(count & 0xFF);
    r[record::kLoopCount + 1] = static_cast<std::uint8_t>(count >> 8);
}

bool recordsDelay(const MacroRecord& r) {
    return r[record::kOptions] & record::kRecordDelayBit;
}

void setRecordsDelay(MacroRecord& r, bool on) {
    r[record::kOptions] = on ? record::kRecordDelayBit : 0;
}

std::span<std::uint8_t, kSequenceSize> deviceSequence(MacroRecord& r) {
    return std::span(r).subspan<record::kDeviceSequence, kSequenceSize>();
}
std::span<const std::uint8_t, kSequenceSize> deviceSequence(const MacroRecord& r) {
    return std::span(r).subspan<record::kDeviceSequence, kSequenceSize>();
}
std::span<std::uint8_t, kSequenceSize> keySequence(MacroRecord& r) {
    return std::span(r).subspan<record::kKeySequence, kSequenceSize>();
}
std::span<const std::uint8_t, kSequenceSize> keySequence(const MacroRecord& r) {
    return std::span(r).subspan<record::kKeySequence, kSequenceSize>();
}

std::size_t macroCount(const MacroStore& store) {
    const auto firstFree = std::find_if(store.begin(), store.end(), isFree);
    return static_cast<std::size_t>(firstFree - store.begin());
}

std::vector<std::string> macroNames(const MacroStore& store) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < macroCount(store); ++i) names.push_back(macroName(store[i]));
    return names;
}

void buildMacroSlots(const MacroStore& store, model::Image& image) {
    const std::size_t n = std::min(macroCount(store), kMaxMacros);
    for (std::size_t i = 0; i < n; ++i) {
        auto slotBytes =
            std::span(image).subspan(model::image::macroSlot(i), model::image::kMacroSlotSize);
        const std::uint16_t loops = loopCount(store[i]);
        slotBytes[slot::kLoopHigh] = static_cast<std::uint8_t>(loops >> 8);
        slotBytes[slot::kLoopLow] = static_cast<std::uint8_t>(loops & 0xFF);
        const auto seq = deviceSequence(store[i]);
        std::copy(seq.begin(), seq.end(), slotBytes.begin() + slot::kSequence);
    }
}

void takeMacroFileBytes(std::span<const std::uint8_t> bytes, MacroStore& store) {
    for (std::size_t i = 0; i < kRecordCount; ++i) {
        MacroRecord& r = store[i];
        r.fill(0);
        const std::size_t from = i * record::kSize;
        if (from >= bytes.size()) continue;
        const std::size_t n = std::min(record::kSize, bytes.size() - from);
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(from), n, r.begin());
    }
}

Result<MacroLoad> loadMacroFile(MacroStore& store, const fs::path& path) {
    removeLeftoverTemporariesOf(path);  // of saves killed in an earlier run
    std::error_code ec;
    if (!fs::exists(path, ec) && !ec) {
        takeMacroFileBytes({}, store);
        (void)saveMacroFile(store, path);  // a failed create stays silent
        return MacroLoad::Created;
    }
    auto bytes = readFilePrefix(path, kStoreSize);
    if (!bytes) {
        takeMacroFileBytes({}, store);
        return bytes.error();
    }
    takeMacroFileBytes(*bytes, store);
    return MacroLoad::Loaded;
}

Status readMacroFile(MacroStore& store, const fs::path& path) {
    takeMacroFileBytes({}, store);
    std::error_code ec;
    if (!fs::exists(path, ec) && !ec) return Status::success();
    auto bytes = readFilePrefix(path, kStoreSize);
    if (!bytes) return bytes.error();
    takeMacroFileBytes(*bytes, store);
    return Status::success();
}

Status saveMacroFile(const MacroStore& store, const fs::path& path) {
    std::vector<std::span<const std::uint8_t>> parts;
    parts.reserve(kRecordCount);
    for (const MacroRecord& r : store) parts.emplace_back(r);
    return writeFileAtomically(path, parts);
}

}  // namespace tavrik::macro
