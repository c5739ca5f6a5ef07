#include "describe/key_function.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

#include "common/utf16.h"
#include "describe/key_names.h"
#include "describe/words.h"
#include "keyassign/catalogue.h"
#include "keyassign/encoding.h"
#include "macro/macro_store.h"
#include "model/key_table.h"
#include "model/slot_table.h"

namespace tavrik::describe {
namespace {

using model::KeyKind;
using model::keyaction::kCodes;
using model::keyaction::kCount;
using model::keyaction::kKind;
using model::keyaction::kOwnCode;

constexpr int kWinKeySlot = 96;  // locked by Win lock; the key-map view never assigns it

struct LaunchWord {
    std::string_view word;
    KeyKind kind;
};
constexpr std::array<LaunchWord, 4> kLaunchWords{{
    {"sound", KeyKind::PlaySound},
    {"program", KeyKind::StartProgram},
    {"file", KeyKind::OpenFile},
    {"folder", KeyKind::OpenFolder},
}};

// Splits off the first blank-separated word.
std::pair<std::string_view, std::string_view> firstWord(std::string_view s) {
    s = trim(s);
    const std::size_t blank = s.find_first_of(" \t");
    if (blank == std::string_view::npos) return {s, {}};
    return {s.substr(0, blank), trim(s.substr(blank + 1))};
}

std::string hexBytes(std::span<const std::uint8_t> bytes) {
    std::string out;
    char buf[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X", b);
        if (!out.empty()) out += ' ';
        out += buf;
    }
    return out;
}

std::string joinCodes(std::span<const std::uint8_t> codes) {
    std::string out;
    for (std::uint8_t c : codes) {
        if (!out.empty()) out += " + ";
        out += codeName(c);
    }
    return out;
}

// The macro index a name stands for: the first record of that name, exactly, then ignoring case.
std::optional<int> findMacro(const macro::MacroStore& macros, std::string_view name) {
    const std::vector<std::string> names = macro::macroNames(macros);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return static_cast<int>(i);
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (equalsIgnoringCase(names[i], name)) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::string macroWords(const macro::MacroStore& macros, std::uint8_t index) {
    if (index < macro::macroCount(macros)) {
        const std::string name = macro::macroName(macros[index]);
        if (findMacro(macros, name) == index && name.front() != '#') return "macro " + name;
    }
    return "macro #" + std::to_string(index);
}

// Words for what a key code cell makes the keyboard do, when the record does not say it.
std::string cellWords(const model::KeyCode& cell, const macro::MacroStore& macros, Language lang) {
    if (cell[0] == model::codetype::kKeyboard) {
        std::vector<std::uint8_t> codes;
        for (std::size_t i = 1; i < 4; ++i) {
            if (cell[i] == 0) continue;
            const std::uint8_t code = model::codeForUsage(cell[i]);
            if (code == 0) return "cell " + hexBytes(cell);
            codes.push_back(code);
        }
        if (!codes.empty()) return joinCodes(codes);
    } else if (cell[0] == model::codetype::kConsumer) {
        if (const auto row = keyassign::findPresetByCodes(cell)) {
            return "preset " +
                   std::string(
                       keyassign::presetFunctions()[static_cast<std::size_t>(*row)].name.in(lang));
        }
    } else if (cell[0] == model::codetype::kMacro && cell[1] == 1 && cell[3] == 0) {
        return macroWords(macros, cell[2]);
    }
    return "cell " + hexBytes(cell);
}

// Words for the record alone; empty when the record holds no function the words express.
std::string recordWords(std::span<const std::uint8_t, model::kKeyActionRecordSize> r,
                        const macro::MacroStore& macros, Language lang) {
    const KeyKind k{r[kKind]};
    const std::uint8_t count = r[kCount];
    const auto codes = r.subspan(kCodes, model::keyaction::kCodesSize);
    const auto nonZero = [&](std::size_t n) {
        return std::all_of(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(n),
                           [](std::uint8_t c) { return c != 0; });
    };
    if (k == KeyKind::SingleKey && count == 0) return "default";
    if (k == KeyKind::SingleKey && count == 1 && nonZero(1)) return codeName(codes[0]);
    if (k == KeyKind::Combination && count >= 2 && count <= keyassign::kMaxCombinationKeys &&
        nonZero(count)) {
        return joinCodes(codes.first(count));
    }
    if (k == KeyKind::Macro) return macroWords(macros, codes[2]);
    if (k == KeyKind::Preset) {
        if (const auto row = keyassign::findPresetByCodes(codes.first<4>())) {
            return "preset " +
                   std::string(
                       keyassign::presetFunctions()[static_cast<std::size_t>(*row)].name.in(lang));
        }
        return {};
    }
    for (const LaunchWord& w : kLaunchWords) {
        if (w.kind != k) continue;
        std::array<std::uint8_t, model::kKeyActionRecordSize> copy;
        std::copy(r.begin(), r.end(), copy.begin());
        const model::KeyAction view(copy);
        return std::string(w.word) + " " + view.launchPath();
    }
    return {};
}

model::KeyCode defaultCell(int slot) {
    return {model::codetype::kKeyboard, 0, model::keyUsage(model::slot(slot).code), 0};
}

Error unknownKeyError(std::string_view name, std::string_view words) {
    std::string text = "unknown key " + inQuotes(name);
    if (trim(words) != trim(name)) text += " in " + inQuotes(words);
    const std::string near = closestCodeName(name);
    if (!near.empty()) {
        text += "; did you mean " + inQuotes(near) + "?";
    } else {
        text += "; key names are like Esc, F1, A, 1, LCtrl, Space, Up";
    }
    return valueError(text);
}

Result<KeyFunction> parseKeys(std::string_view words) {
    std::vector<std::uint8_t> codes;
    std::string_view rest = words;
    while (true) {
        const std::size_t plus = rest.find('+');
        const std::string_view token = trim(rest.substr(0, plus));
        if (token.empty()) {
            return valueError("empty key name in " + inQuotes(words) + "; write keys as LCtrl + C");
        }
        const auto code = findCode(token);
        if (!code) return unknownKeyError(token, words);
        codes.push_back(*code);
        if (plus == std::string_view::npos) break;
        rest = rest.substr(plus + 1);
    }
    if (codes.size() > static_cast<std::size_t>(keyassign::kMaxCombinationKeys)) {
        return valueError("a combination has at most 3 keys, not " + std::to_string(codes.size()) +
                          " in " + inQuotes(words));
    }
    KeyFunction f;
    f.assignment.kind = codes.size() == 1 ? KeyKind::SingleKey : KeyKind::Combination;
    std::copy(codes.begin(), codes.end(), f.assignment.captured.begin());
    f.assignment.count = static_cast<int>(codes.size());
    return f;
}

std::optional<int> findPreset(std::string_view name) {
    if (const auto row = keyassign::findPresetByName(name, Language::English)) return row;
    if (const auto row = keyassign::findPresetByName(name, Language::Chinese)) return row;
    const auto presets = keyassign::presetFunctions();
    for (std::size_t i = 0; i < presets.size(); ++i) {
        if (equalsIgnoringCase(presets[i].name.en, name)) return static_cast<int>(i);
    }
    return std::nullopt;
}

Result<KeyFunction> parsePreset(std::string_view name) {
    const auto row = findPreset(name);
    if (!row) {
        std::string best;
        std::size_t bestDistance = 3;
        for (const auto& p : keyassign::presetFunctions()) {
            const std::size_t d = editDistance(p.name.en, name);
            if (d < bestDistance) {
                bestDistance = d;
                best = p.name.en;
            }
        }
        std::string text = "unknown preset " + inQuotes(name);
        text += best.empty() ? "; presets are Search, Run, Mute, Copy, Paste, ... (see --help)"
                             : "; did you mean " + inQuotes(best) + "?";
        return valueError(text);
    }
    KeyFunction f;
    f.assignment.kind = KeyKind::Preset;
    f.assignment.functionName =
        std::string(keyassign::presetFunctions()[static_cast<std::size_t>(*row)].name.en);
    return f;
}

Result<KeyFunction> parseMacro(std::string_view name, const macro::MacroStore& macros) {
    if (name.empty()) return valueError("macro needs a name: macro NAME or macro #INDEX");
    auto index = findMacro(macros, name);
    if (!index && name.front() == '#') {
        const std::string_view digits = name.substr(1);
        int n = -1;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (ec != std::errc{} || end != digits.data() + digits.size() || n < 0 ||
            n >= static_cast<int>(model::image::kMacroSlotCount)) {
            return valueError("macro index " + inQuotes(name) + " is not #0..#31");
        }
        index = n;
    }
    if (!index) {
        std::string text = "unknown macro " + inQuotes(name);
        const std::vector<std::string> names = macro::macroNames(macros);
        if (names.empty()) return valueError(text + "; there are no macros yet");
        std::string best;
        std::size_t bestDistance = 4;
        for (const std::string& n : names) {
            const std::size_t d = editDistance(n, name);
            if (d < bestDistance) {
                bestDistance = d;
                best = n;
            }
        }
        return valueError(text + (best.empty() ? "; list the macros with dump"
                                               : "; did you mean " + inQuotes(best) + "?"));
    }
    KeyFunction f;
    f.assignment.kind = KeyKind::Macro;
    f.assignment.macroIndex = *index;
    return f;
}

Result<KeyFunction> parseLaunch(KeyKind launchKind, std::string_view word, std::string_view path) {
    if (path.empty()) {
        return valueError(std::string(word) + " needs a path: " + std::string(word) + " PATH");
    }
    if (utf8ToUtf16(path).size() > model::keyaction::kMaxLaunchPathChars) {
        return valueError("launch path longer than 255 characters");
    }
    KeyFunction f;
    f.assignment.kind = launchKind;
    f.assignment.launchPath = std::string(path);
    return f;
}

}  // namespace

KeyEncoder::KeyEncoder() : m_scratch(std::make_unique<model::ConfigState>()) {}
KeyEncoder::~KeyEncoder() = default;

KeyEncoder::Encoded KeyEncoder::encode(
    int slot, const KeyFunction& function,
    std::span<const std::uint8_t, model::kKeyActionRecordSize> record, model::KeyCode cell) {
    model::ConfigState& s = *m_scratch;
    const auto target = model::keyAction(s.actions, slot).bytes();
    std::copy(record.begin(), record.end(), target.begin());
    const auto cellBytes = model::keyCodeCell(s.image, slot);
    std::copy(cell.begin(), cell.end(), cellBytes.begin());
    if (function.action == KeyFunction::Action::Assign) {
        keyassign::encodeAssignment(s, slot, function.assignment, Language::English, {});
    }
    Encoded out;
    std::copy(target.begin(), target.end(), out.record.begin());
    out.cell = model::keyCodeOf(s.image, slot);
    return out;
}

std::string describeKeyFunction(const model::Image& image, const model::KeyActionTable& actions,
                                const macro::MacroStore& macros, int slot, Language lang,
                                KeyEncoder& encoder) {
    const auto record = model::keyActionBytes(actions, slot);
    const model::KeyCode cell = model::keyCodeOf(image, slot);
    // What the keyboard does when the record does not say it: a cell holding the key's own code
    // is its default, whatever the record claims.
    const auto fromCell = [&] {
        const bool own = cell == defaultCell(slot) ||
                         cell == model::factoryKeyCodes()[model::slot(slot).keyIndex];
        return own ? std::string("default") : cellWords(cell, macros, lang);
    };
    const std::string words = recordWords(record, macros, Language::English);
    if (words == "default" || words.empty()) return fromCell();
    // The record's words count only when they make the keyboard do what its cell says.
    const auto parsed = parseKeyFunction(words, macros);
    if (!parsed || encoder.encode(slot, *parsed, record, cell).cell != cell) return fromCell();
    return lang == Language::English ? words : recordWords(record, macros, lang);
}

std::string describeKeyFunction(const model::Image& image, const model::KeyActionTable& actions,
                                const macro::MacroStore& macros, int slot, Language lang) {
    KeyEncoder encoder;
    return describeKeyFunction(image, actions, macros, slot, lang, encoder);
}

std::string describeKey(const model::Image& image, const model::KeyActionTable& actions,
                        const macro::MacroStore& macros, int slot, Language lang) {
    if (!model::keyEnabled(image, slot)) return "disabled";
    return describeKeyFunction(image, actions, macros, slot, lang);
}

Result<KeyFunction> parseKeyFunction(std::string_view words, const macro::MacroStore& macros) {
    words = trim(words);
    if (words.empty()) return valueError("no key function given; e.g. LCtrl + C, preset Mute");
    auto [first, rest] = firstWord(words);
    if (equalsIgnoringCase(first, "launch")) {
        if (rest.empty()) return valueError("launch needs program|file|folder|sound PATH");
        std::tie(first, rest) = firstWord(rest);
        const std::string_view kind = first;
        const bool known =
            std::any_of(kLaunchWords.begin(), kLaunchWords.end(),
                        [kind](const LaunchWord& w) { return equalsIgnoringCase(w.word, kind); });
        if (!known) {
            return valueError("unknown launch kind " + inQuotes(first) +
                              "; use launch program|file|folder|sound PATH");
        }
    }
    if (rest.empty()) {
        KeyFunction f;
        if (equalsIgnoringCase(first, "default")) {
            f.assignment.kind = KeyKind::None;
            f.assignment.count = keyassign::kDefaultCount;
            return f;
        }
        if (equalsIgnoringCase(first, "disable") || equalsIgnoringCase(first, "disabled")) {
            f.action = KeyFunction::Action::Disable;
            return f;
        }
        if (equalsIgnoringCase(first, "enable") || equalsIgnoringCase(first, "enabled")) {
            f.action = KeyFunction::Action::Enable;
            return f;
        }
    }
    for (const LaunchWord& w : kLaunchWords) {
        // The path is taken exactly as written after the word, blanks inside included.
        if (equalsIgnoringCase(first, w.word)) {
            const auto at = static_cast<std::size_t>(first.data() + first.size() - words.data());
            return parseLaunch(w.kind, w.word, trim(words.substr(at)));
        }
    }
    if (equalsIgnoringCase(first, "preset")) return parsePreset(rest);
    if (equalsIgnoringCase(first, "macro")) return parseMacro(rest, macros);
    auto keys = parseKeys(words);
    if (!keys && words.find('+') == std::string_view::npos && findPreset(words)) {
        return parsePreset(words);  // a preset named without the word "preset"
    }
    return keys;
}

Status checkAssignableSlot(int slot) {
    if (slot < 0 || slot >= model::kSlotCount) return valueError("key slot out of range");
    if (slot == model::kFnSlot) return valueError("the Fn key keeps its function");
    if (slot == kWinKeySlot)
        return valueError("the Win key is not reassigned; use win-lock on|off");
    if (!model::slot(slot).drawn()) {
        return valueError("key " + inQuotes(slotName(slot)) + " is not on the 87-key keyboard");
    }
    return Status::success();
}

void applyKeyFunction(model::ConfigState& state, int slot, const KeyFunction& function,
                      const macro::MacroStore& macros) {
    switch (function.action) {
        case KeyFunction::Action::Enable:
            model::setKeyEnabled(state.image, slot, true);
            return;
        case KeyFunction::Action::Disable:
            keyassign::applyEnableState(state, slot, false);
            return;
        case KeyFunction::Action::Assign:
            break;
    }
    state.changedKeys[static_cast<std::size_t>(slot)] = 0;
    const bool enabled = keyassign::encodeAssignment(
        state, slot, function.assignment, Language::English,
        [&macros](model::Image& image) { macro::buildMacroSlots(macros, image); });
    keyassign::applyEnableState(state, slot, enabled);
}

}  // namespace tavrik::describe
