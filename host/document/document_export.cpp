#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

#include <algorithm>
#include <array>

#include <memory>
#include <vector>

#include "config_document.h"
#include "document_build.h"
#include "hex_runs.h"
#include "store_bytes.h"

namespace tavrik::ctl {
namespace {

// Members in the order they are written; others follow by name.
constexpr std::array<const char*, 20> kMemberOrder{
    doc::kFormat,   doc::kVersion, doc::kLighting,    doc::kPerformance, doc::kKeys,
    doc::kDiy,      doc::kMacros,  doc::kRaw,         doc::kAction,      doc::kKey,
    doc::kFunction, doc::kEnabled, doc::kLaunchPath,  doc::kCell,        doc::kRecord,
    doc::kName,     doc::kLoops,   doc::kRecordDelay, doc::kDelay,       doc::kEvents,
};

QStringList orderedKeys(const QJsonObject& o) {
    QStringList keys;
    for (const char* name : kMemberOrder) {
        if (o.contains(QLatin1String(name))) keys << QLatin1String(name);
    }
    for (const QString& k : o.keys()) {
        if (!keys.contains(k)) keys << k;
    }
    return keys;
}

bool isFlat(const QJsonValue& v) {
    const auto scalar = [](const QJsonValue& x) { return !x.isObject() && !x.isArray(); };
    if (v.isObject()) {
        const QJsonObject o = v.toObject();
        return std::all_of(o.begin(), o.end(), scalar);
    }
    if (v.isArray()) {
        const QJsonArray a = v.toArray();
        return std::all_of(a.begin(), a.end(), scalar);
    }
    return true;
}

QByteArray scalarText(const QJsonValue& v) {
    // Serialised inside a one-element list, which is then taken off.
    const QByteArray text = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    return text.mid(1, text.size() - 2);
}

QByteArray keyText(const QString& key) {
    return scalarText(QJsonValue(key)) + ": ";
}

// Objects and lists holding only plain values go on one line; the others get one line per
// member, indented by four blanks a level.
void write(QByteArray& out, const QJsonValue& v, int depth) {
    const bool flat = isFlat(v);
    const QByteArray inner = flat ? QByteArray() : "\n" + QByteArray(4 * (depth + 1), ' ');
    const QByteArray close = flat ? QByteArray() : "\n" + QByteArray(4 * depth, ' ');
    const QByteArray separator = flat ? ", " : ",";
    if (v.isObject()) {
        const QJsonObject o = v.toObject();
        out += '{';
        bool first = true;
        for (const QString& k : orderedKeys(o)) {
            if (!first) out += separator;
            first = false;
            out += inner + keyText(k);
            write(out, o.value(k), depth + 1);
        }
        out += (o.isEmpty() ? QByteArray() : close) + '}';
    } else if (v.isArray()) {
        const QJsonArray a = v.toArray();
        out += '[';
        for (qsizetype i = 0; i < a.size(); ++i) {
            if (i > 0) out += separator;
            out += inner;
            write(out, a[i], depth + 1);
        }
        out += (a.isEmpty() ? QByteArray() : close) + ']';
    } else {
        out += scalarText(v);
    }
}

}  // namespace

QJsonObject toJsonObject(const describe::Configuration& config) {
    describe::KeyEncoder encoder;
    QJsonObject o = doc::readableFields(config, Language::English, encoder);
    auto rebuilt = std::make_unique<describe::Configuration>();
    if (!doc::buildFromReadable(o, *rebuilt, encoder)) {
        // Cannot happen for fields written above; should it, every byte travels raw instead.
        o = QJsonObject();
        (void)doc::buildFromReadable(o, *rebuilt, encoder);
    }
    QJsonObject raw;
    raw[QLatin1String(doc::kRawImage)] = differingRuns(config.image, rebuilt->image);
    raw[QLatin1String(doc::kRawActions)] = differingRuns(config.actions, rebuilt->actions);
    raw[QLatin1String(doc::kRawMacros)] =
        differingRuns(storeBytes(config.macros), storeBytes(rebuilt->macros));
    o[QLatin1String(doc::kRaw)] = raw;
    o[QLatin1String(doc::kFormat)] = QLatin1String(kFormatName);
    o[QLatin1String(doc::kVersion)] = kFormatVersion;
    return o;
}

QByteArray exportJson(const describe::Configuration& config) {
    return exportJson(toJsonObject(config));
}

QByteArray exportJson(const QJsonObject& document) {
    QByteArray out;
    write(out, document, 0);
    return out + '\n';
}

}  // namespace tavrik::ctl
