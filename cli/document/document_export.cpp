#include <QJsonDocument>

#include <memory>
#include <vector>

#include "config_document.h"
#include "document_build.h"
#include "hex_runs.h"
#include "store_bytes.h"

namespace tavrik::ctl {
namespace {

// Top-level members in the order they are written (QJsonObject itself sorts by name).
constexpr std::array<const char*, 8> kMemberOrder{
    doc::kFormat, doc::kVersion, doc::kLighting, doc::kPerformance,
    doc::kKeys,   doc::kDiy,     doc::kMacros,   doc::kRaw,
};

QByteArray indentedValue(const QJsonValue& v) {
    QByteArray text;
    if (v.isObject()) {
        text = QJsonDocument(v.toObject()).toJson(QJsonDocument::Indented);
    } else if (v.isArray()) {
        text = QJsonDocument(v.toArray()).toJson(QJsonDocument::Indented);
    } else {
        // A scalar: serialise it inside a one-element list and take the element.
        text = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
        return text.mid(1, text.size() - 2);
    }
    text.chop(1);  // the final newline
    QByteArray out;
    out.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        out += c;
        if (c == '\n') out += "    ";
    }
    return out;
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
    const QJsonObject o = toJsonObject(config);
    QByteArray out = "{\n";
    bool first = true;
    for (const char* name : kMemberOrder) {
        const QJsonValue v = o.value(QLatin1String(name));
        if (v.isUndefined()) continue;
        if (!first) out += ",\n";
        first = false;
        out += "    \"" + QByteArray(name) + "\": " + indentedValue(v);
    }
    out += "\n}\n";
    return out;
}

}  // namespace tavrik::ctl
