// Keys: each key slot's function in words and its enable bit. When the words do not give back
// the key action record exactly, the record travels as hex ("record"); when the key code cell
// differs from what the words (or, with a hex record, the factory key code) give, the cell
// travels as hex ("cell").

#include <algorithm>
#include <vector>

#include "describe/key_names.h"
#include "document_build.h"
#include "document_parts.h"
#include "hex_runs.h"
#include "json_fields.h"
#include "model/slot_table.h"

namespace tavrik::ctl::doc {
namespace {

namespace d = describe;
using Encoded = d::KeyEncoder::Encoded;
using RecordSpan = std::span<const std::uint8_t, model::kKeyActionRecordSize>;

// The record a key starts from: its own function.
d::KeyEncoder::Record ownFunctionRecord(int slot) {
    d::KeyEncoder::Record r{};
    r[model::keyaction::kOwnCode] = model::slot(slot).code;
    return r;
}

model::KeyCode factoryCell(int slot) {
    return model::factoryKeyCodes()[model::slot(slot).keyIndex];
}

// What a key object gives: a hex record (or else the words, then a kept launch path) and then a
// hex cell.
Result<Encoded> buildKey(int slot, const std::optional<std::string>& words,
                         const std::optional<std::vector<std::uint8_t>>& record,
                         const std::optional<std::vector<std::uint8_t>>& cell,
                         const std::optional<std::string>& launchPath,
                         const macro::MacroStore& macros, d::KeyEncoder& encoder) {
    Encoded out;
    if (record) {
        std::copy(record->begin(), record->end(), out.record.begin());
        out.cell = factoryCell(slot);
    } else {
        const auto function = d::parseKeyFunction(words.value_or("default"), macros);
        if (!function) return function.error();
        if (function->action != d::KeyFunction::Action::Assign) {
            return valueError("a function, not enable/disable; set \"enabled\" instead");
        }
        const auto base = ownFunctionRecord(slot);
        out = encoder.encode(slot, *function, RecordSpan(base), factoryCell(slot));
        if (launchPath && !model::KeyAction(out.record).setLaunchPath(*launchPath)) {
            return valueError("launch path longer than 255 characters");
        }
    }
    if (cell) std::copy(cell->begin(), cell->end(), out.cell.begin());
    return out;
}

struct WordsRebuild {
    Encoded encoded;
    std::optional<std::string> launchPath;  // a path the record keeps beside other words
};

// How the words (plus, when needed, the launch path the record keeps) give back the record;
// none when they cannot.
std::optional<WordsRebuild> wordsRebuild(int slot, const std::string& words, RecordSpan record,
                                         const macro::MacroStore& macros, d::KeyEncoder& encoder) {
    if (words.starts_with("cell ")) return std::nullopt;  // words of a cell, never a record
    auto fromWords = buildKey(slot, words, {}, {}, {}, macros, encoder);
    if (!fromWords) return std::nullopt;
    if (std::equal(record.begin(), record.end(), fromWords->record.begin())) {
        return WordsRebuild{*fromWords, std::nullopt};
    }
    // A launch path left from an earlier launch function: carried as text when that is exact.
    std::array<std::uint8_t, model::kKeyActionRecordSize> copy;
    std::copy(record.begin(), record.end(), copy.begin());
    const std::string path = model::KeyAction(copy).launchPath();
    if (path.empty()) return std::nullopt;
    fromWords = buildKey(slot, words, {}, {}, path, macros, encoder);
    if (!fromWords || !std::equal(record.begin(), record.end(), fromWords->record.begin())) {
        return std::nullopt;
    }
    return WordsRebuild{*fromWords, path};
}

// The record without its trailing zero bytes.
std::span<const std::uint8_t> trimmed(RecordSpan record) {
    std::size_t n = record.size();
    while (n > 0 && record[n - 1] == 0) --n;
    return record.first(n);
}

QJsonObject keyObject(const d::Configuration& config, int slot, Language lang,
                      d::KeyEncoder& encoder) {
    const RecordSpan record = model::keyActionBytes(config.actions, slot);
    const model::KeyCode cell = model::keyCodeOf(config.image, slot);
    const std::string words = d::describeKeyFunction(config.image, config.actions, config.macros,
                                                     slot, Language::English, encoder);
    QJsonObject o;
    o[QLatin1String(kKey)] = QString::fromStdString(d::slotName(slot));
    o[QLatin1String(kFunction)] = QString::fromStdString(
        lang == Language::English ? words
                                  : d::describeKeyFunction(config.image, config.actions,
                                                           config.macros, slot, lang, encoder));
    o[QLatin1String(kEnabled)] = model::keyEnabled(config.image, slot);
    model::KeyCode rebuiltCell = factoryCell(slot);
    if (const auto fromWords = wordsRebuild(slot, words, record, config.macros, encoder)) {
        rebuiltCell = fromWords->encoded.cell;
        if (fromWords->launchPath) {
            o[QLatin1String(kLaunchPath)] = QString::fromStdString(*fromWords->launchPath);
        }
    } else {
        o[QLatin1String(kRecord)] = toHex(trimmed(record));
    }
    if (rebuiltCell != cell) o[QLatin1String(kCell)] = toHex(cell);
    return o;
}

Result<std::optional<std::vector<std::uint8_t>>> hexField(const QJsonObject& o, const char* key,
                                                          const QString& parent,
                                                          std::size_t maxBytes, bool exact) {
    const auto text = optString(o, key, parent);
    if (!text) return text.error();
    if (!*text) return std::optional<std::vector<std::uint8_t>>();
    auto bytes = fromHex(**text);
    const std::string size = std::to_string(maxBytes) + " bytes";
    if (!bytes || bytes->size() > maxBytes || (exact && bytes->size() != maxBytes)) {
        return fieldError(memberPath(parent, key),
                          "expected hex digits of " + std::string(exact ? "" : "at most ") + size);
    }
    return std::optional<std::vector<std::uint8_t>>(std::move(*bytes));
}

Status buildOneKey(const QJsonObject& o, const QString& path, std::vector<bool>& seen,
                   d::Configuration& config, d::KeyEncoder& encoder) {
    if (Status s = onlyMembers(o, path, {kKey, kFunction, kEnabled, kCell, kLaunchPath, kRecord});
        !s) {
        return s;
    }
    const auto name = optString(o, kKey, path);
    if (!name) return name.error();
    if (!*name) return fieldError(memberPath(path, kKey), "missing key name");
    const std::string keyName = (*name)->toStdString();
    const auto slot = d::findSlot(keyName);
    if (!slot) {
        const std::string near = d::closestSlotName(keyName);
        return fieldError(memberPath(path, kKey),
                          "unknown key \"" + keyName + "\"" +
                              (near.empty() ? "" : "; did you mean \"" + near + "\"?"));
    }
    if (seen[static_cast<std::size_t>(*slot)]) {
        return fieldError(memberPath(path, kKey), "key \"" + keyName + "\" is listed twice");
    }
    seen[static_cast<std::size_t>(*slot)] = true;
    const auto function = optString(o, kFunction, path);
    if (!function) return function.error();
    const auto enabled = optBool(o, kEnabled, path);
    if (!enabled) return enabled.error();
    const auto record = hexField(o, kRecord, path, model::kKeyActionRecordSize, false);
    if (!record) return record.error();
    const auto cell = hexField(o, kCell, path, 4, true);
    if (!cell) return cell.error();
    const auto keptText = optString(o, kLaunchPath, path);
    if (!keptText) return keptText.error();
    std::optional<std::string> words;
    if (*function) words = (*function)->toStdString();
    std::optional<std::string> keptPath;
    if (*keptText) keptPath = (*keptText)->toStdString();
    const auto key = buildKey(*slot, words, *record, *cell, keptPath, config.macros, encoder);
    if (!key) return fieldError(memberPath(path, kFunction), key.error().context);
    const auto target = model::keyAction(config.actions, *slot).bytes();
    std::copy(key->record.begin(), key->record.end(), target.begin());
    const auto cellBytes = model::keyCodeCell(config.image, *slot);
    std::copy(key->cell.begin(), key->cell.end(), cellBytes.begin());
    model::setKeyEnabled(config.image, *slot, enabled->value_or(true));
    return Status::success();
}

}  // namespace

QJsonArray keyFields(const d::Configuration& config, Language lang, d::KeyEncoder& encoder) {
    QJsonArray keys;
    for (int s = 0; s < model::kSlotCount; ++s) keys.append(keyObject(config, s, lang, encoder));
    return keys;
}

Status buildKeys(const QJsonArray& keys, d::Configuration& config, d::KeyEncoder& encoder) {
    // Keys left out keep their own function and factory cell, and are enabled; so are the
    // bitmap's bits that no key uses, as after a factory reset.
    std::fill_n(config.image.begin() + model::image::kEnableBitmap, model::image::kEnableBitmapSize,
                0xFF);
    for (int s = 0; s < model::kSlotCount; ++s) {
        const auto own = ownFunctionRecord(s);
        const auto target = model::keyAction(config.actions, s).bytes();
        std::copy(own.begin(), own.end(), target.begin());
        const model::KeyCode cell = factoryCell(s);
        std::copy(cell.begin(), cell.end(), model::keyCodeCell(config.image, s).begin());
        model::setKeyEnabled(config.image, s, true);
    }
    std::vector<bool> seen(model::kSlotCount, false);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QString path = QLatin1String(kKeys) + QStringLiteral("[%1]").arg(i);
        if (!keys[i].isObject()) return fieldError(path, "expected a key object");
        if (Status s = buildOneKey(keys[i].toObject(), path, seen, config, encoder); !s) return s;
    }
    return Status::success();
}

}  // namespace tavrik::ctl::doc
