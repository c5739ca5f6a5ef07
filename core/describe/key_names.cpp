#include "describe/key_names.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

#include "describe/words.h"
#include "model/key_table.h"
#include "model/slot_table.h"

namespace tavrik::describe {
namespace {

struct NameOverride {
    std::uint8_t code;
    std::string_view name;
};

// Codes whose key-table name is empty, shared with another code, or holds blanks or '+'.
constexpr std::array<NameOverride, 25> kCodeOverrides{{
    {96, "Num0"},        {97, "Num1"},        {98, "Num2"},       {99, "Num3"},
    {100, "Num4"},       {101, "Num5"},       {102, "Num6"},      {103, "Num7"},
    {104, "Num8"},       {105, "Num9"},       {106, "Num*"},      {107, "NumPlus"},
    {108, "NumEnter"},   {109, "Num-"},       {110, "Num."},      {111, "Num/"},
    {144, "NumLock"},    {174, "VolumeDown"}, {175, "VolumeUp"},  {179, "PlayPause"},
    {245, "MouseRight"}, {246, "MouseUp"},    {247, "MouseDown"}, {248, "WheelUp"},
    {249, "WheelDown"},
}};

struct Alias {
    std::string_view alias;
    std::string_view canonical;
};

// Common names people type for keys whose canonical name is a short form.
constexpr std::array<Alias, 30> kAliases{{
    {"Escape", "Esc"},     {"Backspace", "Back"},   {"Return", "Enter"},  {"Delete", "Del"},
    {"Insert", "Inst"},    {"PageUp", "PgUp"},      {"PageDown", "PgDn"}, {"PrintScreen", "Prscr"},
    {"PrtSc", "Prscr"},    {"ScrollLock", "Scrol"}, {"CapsLock", "Caps"}, {"Super", "LWin"},
    {"Menu", "Apps"},      {"Ctrl", "LCtrl"},       {"Control", "LCtrl"}, {"Shift", "LShift"},
    {"Alt", "LAlt"},       {"Grave", "`"},          {"Minus", "-"},       {"Equal", "="},
    {"Comma", ","},        {"Period", "."},         {"Slash", "/"},       {"Backslash", "\\"},
    {"Semicolon", ";"},    {"Quote", "'"},          {"LeftBracket", "["}, {"RightBracket", "]"},
    {"Spacebar", "Space"}, {"Num+", "NumPlus"},
}};

constexpr std::string_view kCodePrefix = "Code";

std::string canonicalCodeName(std::uint8_t code) {
    for (const NameOverride& o : kCodeOverrides) {
        if (o.code == code) return std::string(o.name);
    }
    const std::string_view name = trim(model::keyName(code));
    if (name.empty()) return std::string(kCodePrefix) + std::to_string(code);
    return std::string(name);
}

bool hasKey(std::uint8_t code) {
    return model::keyUsage(code) != 0;
}

std::optional<int> firstSlotWithCode(std::uint8_t code) {
    for (int s = 0; s < model::kSlotCount; ++s) {
        if (s != model::kFnSlot && model::slot(s).code == code) return s;
    }
    return std::nullopt;
}

// Names in priority order: the first entry of a name (ignoring case) wins.
template <typename Target>
class NameIndex {
public:
    void add(std::string_view name, Target target) {
        name = trim(name);
        if (name.empty() || find(name)) return;
        m_entries.push_back({std::string(name), target});
    }
    std::optional<Target> find(std::string_view name) const {
        name = trim(name);
        for (const auto& e : m_entries) {
            if (equalsIgnoringCase(e.name, name)) return e.target;
        }
        return std::nullopt;
    }
    std::string closest(std::string_view name) const {
        name = trim(name);
        if (name.empty()) return {};  // every one-character name would be "close"
        const std::size_t limit = name.size() <= 4 ? 1 : name.size() <= 8 ? 2 : 3;
        std::string best;
        std::size_t bestDistance = limit + 1;
        for (const auto& e : m_entries) {
            const std::size_t d = editDistance(e.name, name);
            if (d < bestDistance) {
                bestDistance = d;
                best = e.name;
            }
        }
        return best;
    }

private:
    struct Entry {
        std::string name;
        Target target;
    };
    std::vector<Entry> m_entries;
};

NameIndex<int> buildSlotIndex() {
    NameIndex<int> index;
    for (int s = 0; s < model::kSlotCount; ++s) index.add(slotName(s), s);
    for (int c = 1; c < model::kKeyTableSize; ++c) {
        const auto code = static_cast<std::uint8_t>(c);
        const auto s = firstSlotWithCode(code);
        if (!s) continue;
        index.add(canonicalCodeName(code), *s);
        index.add(model::keyName(code), *s);
    }
    for (int s = 0; s < model::kSlotCount; ++s) index.add(model::slot(s).label, s);
    for (const Alias& a : kAliases) {
        if (const auto s = index.find(a.canonical)) index.add(a.alias, *s);
    }
    return index;
}

NameIndex<std::uint8_t> buildCodeIndex() {
    NameIndex<std::uint8_t> index;
    for (int c = 1; c < model::kKeyTableSize; ++c) {
        const auto code = static_cast<std::uint8_t>(c);
        if (hasKey(code)) index.add(canonicalCodeName(code), code);
    }
    for (int c = 1; c < model::kKeyTableSize; ++c) {
        const auto code = static_cast<std::uint8_t>(c);
        if (hasKey(code)) index.add(model::keyName(code), code);
    }
    for (int s = 0; s < model::kSlotCount; ++s) {
        const std::uint8_t code = model::slot(s).code;
        if (s != model::kFnSlot && hasKey(code)) index.add(model::slot(s).label, code);
    }
    for (const Alias& a : kAliases) {
        if (const auto c = index.find(a.canonical)) index.add(a.alias, *c);
    }
    return index;
}

const NameIndex<int>& slotIndex() {
    static const NameIndex<int> index = buildSlotIndex();
    return index;
}

const NameIndex<std::uint8_t>& codeIndex() {
    static const NameIndex<std::uint8_t> index = buildCodeIndex();
    return index;
}

// "Code<n>" with n in 1..254.
std::optional<std::uint8_t> numberedCode(std::string_view name) {
    name = trim(name);
    if (name.size() <= kCodePrefix.size() ||
        !equalsIgnoringCase(name.substr(0, kCodePrefix.size()), kCodePrefix)) {
        return std::nullopt;
    }
    const std::string_view digits = name.substr(kCodePrefix.size());
    int n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
    if (n < 1 || n >= model::kKeyTableSize) return std::nullopt;
    return static_cast<std::uint8_t>(n);
}

}  // namespace

std::string slotName(int slot) {
    if (slot < 0 || slot >= model::kSlotCount) return {};
    if (slot == model::kFnSlot) return "Fn";
    if (slot >= model::kFirstMacroKeySlot) return std::string(model::slot(slot).label);
    return canonicalCodeName(model::slot(slot).code);
}

std::optional<int> findSlot(std::string_view name) {
    return slotIndex().find(name);
}

std::string codeName(std::uint8_t code) {
    return canonicalCodeName(code);
}

std::optional<std::uint8_t> findCode(std::string_view name) {
    if (const auto c = codeIndex().find(name)) return c;
    return numberedCode(name);
}

std::string closestSlotName(std::string_view name) {
    return slotIndex().closest(name);
}

std::string closestCodeName(std::string_view name) {
    return codeIndex().closest(name);
}

}  // namespace tavrik::describe
