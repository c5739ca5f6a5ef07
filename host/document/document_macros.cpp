// Macros: the records in use (index order) with name, loop count, delay option and events. A
// record the fields do not give back exactly travels as hex ("record").

#include <vector>

#include "common/utf16.h"
#include "describe/key_names.h"
#include "document_build.h"
#include "document_parts.h"
#include "hex_runs.h"
#include "json_fields.h"
#include "macro/macro_events.h"
#include "macro/macro_store.h"
#include "model/key_table.h"

namespace tavrik::ctl::doc {
namespace {

namespace d = describe;
using macro::MacroRecord;

constexpr qint64 kMaxLoops = 0xFFFF;
constexpr qint64 kMaxEventDelay = 0xFFFF;

QJsonArray eventFields(const MacroRecord& record) {
    macro::EditorBuffers buffers;
    const auto device = macro::deviceSequence(record);
    const auto key = macro::keySequence(record);
    std::copy(device.begin(), device.end(), buffers.device.begin());
    std::copy(key.begin(), key.end(), buffers.key.begin());
    QJsonArray events;
    for (const macro::Event& e : macro::walkEvents(buffers)) {
        QJsonObject o;
        o[QLatin1String(kAction)] = QLatin1String(e.released ? kRelease : kPress);
        o[QLatin1String(kKey)] = QString::fromStdString(d::codeName(e.code));
        o[QLatin1String(kDelay)] = e.delay;
        events.append(o);
    }
    return events;
}

// Appends one event to both sequences; false when it does not fit.
bool appendEvent(MacroRecord& r, std::size_t& at, bool released, std::uint8_t code, int delay) {
    namespace ev = macro::event;
    const bool longForm = delay >= ev::kLongDelayFrom;
    const std::size_t size = longForm ? ev::kLongSize : ev::kShortSize;
    if (at + size > macro::kSequenceSize) return false;
    const std::uint8_t head = static_cast<std::uint8_t>((released ? ev::kReleaseBit : 0) |
                                                        (longForm ? ev::kLongMarker : delay));
    auto device = macro::deviceSequence(r);
    auto key = macro::keySequence(r);
    device[at + ev::kHead] = key[at + ev::kHead] = head;
    device[at + ev::kCode] = model::keyUsage(code);
    key[at + ev::kCode] = code;
    if (longForm) {
        device[at + ev::kDelayHigh] = key[at + ev::kDelayHigh] =
            static_cast<std::uint8_t>(delay >> 8);
        device[at + ev::kDelayLow] = key[at + ev::kDelayLow] =
            static_cast<std::uint8_t>(delay & 0xFF);
    }
    at += size;
    return true;
}

Status buildEvents(const QJsonArray& events, const QString& path, MacroRecord& r) {
    std::size_t at = 0;
    for (qsizetype i = 0; i < events.size(); ++i) {
        const QString where = path + QStringLiteral("[%1]").arg(i);
        if (!events[i].isObject()) return fieldError(where, "expected an event object");
        const QJsonObject o = events[i].toObject();
        if (Status s = onlyMembers(o, where, {kAction, kKey, kDelay}); !s) return s;
        const auto action = optString(o, kAction, where);
        if (!action) return action.error();
        if (!*action ||
            (**action != QLatin1String(kPress) && **action != QLatin1String(kRelease))) {
            return fieldError(memberPath(where, kAction), "expected \"press\" or \"release\"");
        }
        const auto key = optString(o, kKey, where);
        if (!key) return key.error();
        const std::string name = key->value_or(QString()).toStdString();
        const auto code = d::findCode(name);
        if (!code || model::keyUsage(*code) == 0) {
            const std::string near = d::closestCodeName(name);
            return fieldError(memberPath(where, kKey),
                              "unknown key \"" + name + "\"" +
                                  (near.empty() ? "" : "; did you mean \"" + near + "\"?"));
        }
        const auto delay = optInteger(o, kDelay, where, 0, kMaxEventDelay);
        if (!delay) return delay.error();
        const bool released = **action == QLatin1String(kRelease);
        if (!appendEvent(r, at, released, *code, static_cast<int>(delay->value_or(1)))) {
            return fieldError(path, "the events take more than 190 bytes; remove some");
        }
    }
    return Status::success();
}

// The record the readable fields of a macro give.
Status buildRecord(const QJsonObject& o, const QString& path, MacroRecord& r) {
    r.fill(0);
    const auto name = optString(o, kName, path);
    if (!name) return name.error();
    if (!*name || (*name)->isEmpty()) return fieldError(memberPath(path, kName), "missing name");
    if (!macro::setMacroName(r, utf8ToUtf16((*name)->toStdString()))) {
        return fieldError(memberPath(path, kName), "longer than 254 characters");
    }
    const auto loops = optInteger(o, kLoops, path, 0, kMaxLoops);
    if (!loops) return loops.error();
    macro::setLoopCount(r, static_cast<std::uint16_t>(loops->value_or(1)));
    const auto delay = optBool(o, kRecordDelay, path);
    if (!delay) return delay.error();
    macro::setRecordsDelay(r, delay->value_or(false));
    const auto events = optArray(o, kEvents, path);
    if (!events) return events.error();
    return buildEvents(events->value_or(QJsonArray()), memberPath(path, kEvents), r);
}

}  // namespace

QJsonArray macroFields(const macro::MacroStore& macros) {
    QJsonArray list;
    for (std::size_t i = 0; i < macro::macroCount(macros); ++i) {
        const MacroRecord& record = macros[i];
        QJsonObject o;
        o[QLatin1String(kName)] = QString::fromStdString(macro::macroName(record));
        o[QLatin1String(kLoops)] = macro::loopCount(record);
        o[QLatin1String(kRecordDelay)] = macro::recordsDelay(record);
        o[QLatin1String(kEvents)] = eventFields(record);
        MacroRecord rebuilt;
        if (!buildRecord(o, {}, rebuilt) || rebuilt != record) {
            o[QLatin1String(kRecord)] = toHex(record);
        }
        list.append(o);
    }
    return list;
}

Status buildMacros(const QJsonArray& macros, macro::MacroStore& store) {
    if (macros.size() > static_cast<qsizetype>(macro::kRecordCount)) {
        return fieldError(QLatin1String(kMacros), "expected at most 190 macros");
    }
    for (qsizetype i = 0; i < macros.size(); ++i) {
        const QString path = QLatin1String(kMacros) + QStringLiteral("[%1]").arg(i);
        if (!macros[i].isObject()) return fieldError(path, "expected a macro object");
        const QJsonObject o = macros[i].toObject();
        if (Status s = onlyMembers(o, path, {kName, kLoops, kRecordDelay, kEvents, kRecord}); !s) {
            return s;
        }
        MacroRecord& r = store[static_cast<std::size_t>(i)];
        const auto raw = optString(o, kRecord, path);
        if (!raw) return raw.error();
        if (*raw) {
            const auto bytes = fromHex(**raw);
            if (!bytes || bytes->size() != macro::record::kSize) {
                return fieldError(memberPath(path, kRecord), "expected hex digits of 894 bytes");
            }
            std::copy(bytes->begin(), bytes->end(), r.begin());
            continue;
        }
        if (Status s = buildRecord(o, path, r); !s) return s;
    }
    return Status::success();
}

}  // namespace tavrik::ctl::doc
