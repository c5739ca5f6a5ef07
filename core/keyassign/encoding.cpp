#include "keyassign/encoding.h"

#include <algorithm>

#include "common/utf16.h"
#include "keyassign/catalogue.h"
#include "model/image_layout.h"
#include "model/key_table.h"
#include "model/slot_table.h"

namespace tavrik::keyassign {
namespace {

using model::KeyAction;

// Consumer-page usages that share a byte with a keyboard usage of the key table.
constexpr std::uint8_t kMediaSelectUsage = 0x83;  // consumer 0x0183
constexpr std::array<std::uint8_t, 3> kConsumerUsages{0xCD, 0xE9, 0xEA};
// Code bytes every launch record carries; the launcher never reads them.
constexpr PresetCodes kLaunchRecordCodes{0x03, 0x00, 0x23, 0x02};

void setCell(model::ConfigState& s, int slot, PresetCodes bytes) {
    std::copy(bytes.begin(), bytes.end(), model::keyCodeCell(s.image, slot).begin());
}

void setFlag(model::ConfigState& s, int slot, bool changed) {
    s.changedKeys[static_cast<std::size_t>(slot)] = changed ? 1 : 0;
}

// Kind 0, count 0, codes zero: the key's own function. The cell sends the own usage again.
void restoreOwnFunction(model::ConfigState& s, int slot, KeyAction& a) {
    a.setKind(KeyKind::SingleKey);
    a.setCount(0);
    std::fill(a.codes().begin(), a.codes().end(), 0);
    setCell(s, slot, {0, 0, model::keyUsage(a.ownCode()), 0});
}

// Writes four code bytes into the record and zeroes the rest of the codes and the count.
void setRecordCodes(KeyAction& a, PresetCodes bytes) {
    std::fill(a.codes().begin(), a.codes().end(), 0);
    std::copy(bytes.begin(), bytes.end(), a.codes().begin());
    a.setCount(0);
}

void storeCaptured(KeyAction& a, KeyKind k, const AssignmentResult& r) {
    a.setKind(k);
    std::copy(r.captured.begin(), r.captured.end(), a.codes().begin());
    a.setCount(static_cast<std::uint8_t>(std::clamp(r.count, 0, 255)));
}

void encodeSingleKey(model::ConfigState& s, int slot, KeyAction& a, const AssignmentResult& r) {
    storeCaptured(a, KeyKind::SingleKey, r);
    if (r.count != 1) return;
    const std::uint8_t code = r.captured[0];
    const bool own = code == model::slot(slot).code;
    if (own) {
        a.setCount(0);
        std::fill(a.codes().begin(), a.codes().end(), 0);
    }
    setFlag(s, slot, !own);
    const std::uint8_t usage = model::keyUsage(code);
    PresetCodes cell{model::codetype::kKeyboard, 0, usage, 0};
    if (usage == kMediaSelectUsage) {
        cell[0] = model::codetype::kConsumer;
        cell[3] = 1;
    } else if (std::find(kConsumerUsages.begin(), kConsumerUsages.end(), usage) !=
               kConsumerUsages.end()) {
        cell[0] = model::codetype::kConsumer;
    }
    setCell(s, slot, cell);
}

void encodeCombination(model::ConfigState& s, int slot, KeyAction& a, const AssignmentResult& r) {
    storeCaptured(a, KeyKind::Combination, r);
    setCell(s, slot,
            {model::codetype::kKeyboard, model::keyUsage(r.captured[0]),
             model::keyUsage(r.captured[1]), model::keyUsage(r.captured[2])});
    // Any combination differs from the factory function, as recomputeChangedKeys also finds.
    setFlag(s, slot, true);
}

void encodeMacro(model::ConfigState& s, int slot, KeyAction& a, const AssignmentResult& r,
                 const BuildMacroSlots& buildMacroSlots) {
    a.setKind(KeyKind::Macro);
    const auto index = static_cast<std::uint8_t>(r.macroIndex & 0xFF);
    setRecordCodes(a, {model::codetype::kMacro, 1, index, 0});
    // The keyboard has 32 macro slots; an index outside them is never programmed.
    if (r.macroIndex < 0 || r.macroIndex >= static_cast<int>(model::image::kMacroSlotCount)) return;
    setCell(s, slot, {model::codetype::kMacro, 1, index, 0});
    setFlag(s, slot, true);
    if (buildMacroSlots) buildMacroSlots(s.image);
}

void encodePreset(model::ConfigState& s, int slot, KeyAction& a, const AssignmentResult& r,
                  Language lang) {
    a.setKind(KeyKind::Preset);
    setFlag(s, slot, true);
    const auto row = findPresetByName(r.functionName, lang);
    if (!row) return;
    const PresetCodes& codes = presetFunctions()[static_cast<std::size_t>(*row)].codes;
    setRecordCodes(a, codes);
    setCell(s, slot, codes);
}

void encodeLaunch(model::ConfigState& s, int slot, KeyAction& a, const AssignmentResult& r) {
    setCell(s, slot, {model::codetype::kHostAction, 0, a.ownCode(), 0});
    a.setOwnCode(model::slot(slot).code);
    a.setKind(r.kind);
    setRecordCodes(a, kLaunchRecordCodes);
    // validateAssignment refuses an overlong path; a direct caller's one leaves no stale path.
    if (!a.setLaunchPath(r.launchPath)) a.setLaunchPath({});
    setFlag(s, slot, true);
}

}  // namespace

Status validateAssignment(int slot, const AssignmentResult& result) {
    if (slot < 0 || slot >= model::kSlotCount) return valueError("key slot out of range");
    if (utf8ToUtf16(result.launchPath).size() > model::keyaction::kMaxLaunchPathChars) {
        return valueError("launch path longer than 255 characters");
    }
    return Status::success();
}

bool encodeAssignment(model::ConfigState& s, int slot, const AssignmentResult& result,
                      Language lang, const BuildMacroSlots& buildMacroSlots) {
    KeyAction a = model::keyAction(s.actions, slot);
    if (result.count == kDefaultCount) {
        restoreOwnFunction(s, slot, a);
        model::setKeyEnabled(s.image, slot, true);
        return true;
    }
    switch (result.kind) {
        case KeyKind::SingleKey:
            encodeSingleKey(s, slot, a, result);
            break;
        case KeyKind::Combination:
            encodeCombination(s, slot, a, result);
            break;
        case KeyKind::Macro:
            encodeMacro(s, slot, a, result, buildMacroSlots);
            break;
        case KeyKind::Preset:
            encodePreset(s, slot, a, result, lang);
            break;
        case KeyKind::PlaySound:
        case KeyKind::StartProgram:
        case KeyKind::OpenFile:
        case KeyKind::OpenFolder:
            encodeLaunch(s, slot, a, result);
            break;
        case KeyKind::None:
            restoreOwnFunction(s, slot, a);
            model::setKeyEnabled(s.image, slot, true);
            break;
        case KeyKind::Unchosen:
            break;
    }
    return result.enabled;
}

void applyEnableState(model::ConfigState& s, int slot, bool enabled) {
    if (!enabled) setFlag(s, slot, true);
    model::setKeyEnabled(s.image, slot, enabled);
}

Status applyAssignment(model::ConfigModel& model, int slot, const AssignmentResult& result,
                       Language lang, const BuildMacroSlots& buildMacroSlots) {
    if (Status valid = validateAssignment(slot, result); !valid) return valid;
    model.withLock([&](model::ConfigState& s) {
        setFlag(s, slot, false);
        const bool enabled = encodeAssignment(s, slot, result, lang, buildMacroSlots);
        applyEnableState(s, slot, enabled);
    });
    // Written from a copy, so the file's flush does not hold the configuration's lock.
    return model.save();
}

}  // namespace tavrik::keyassign
