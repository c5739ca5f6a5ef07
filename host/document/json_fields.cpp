#include "json_fields.h"

#include <cmath>

namespace tavrik::ctl::doc {
namespace {

// The member, or none when it is absent or null.
std::optional<QJsonValue> member(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull()) return std::nullopt;
    return v;
}

}  // namespace

Optional<QString> optString(const QJsonObject& o, const char* key, const QString& parent) {
    const auto v = member(o, key);
    if (!v) return std::optional<QString>();
    if (!v->isString()) return fieldError(memberPath(parent, key), "expected a text");
    return std::optional<QString>(v->toString());
}

Optional<qint64> optInteger(const QJsonObject& o, const char* key, const QString& parent,
                            qint64 min, qint64 max) {
    const auto v = member(o, key);
    if (!v) return std::optional<qint64>();
    const QString path = memberPath(parent, key);
    const std::string range = std::to_string(min) + ".." + std::to_string(max);
    if (!v->isDouble()) return fieldError(path, "expected a number " + range);
    const double d = v->toDouble();
    if (d != std::floor(d) || d < static_cast<double>(min) || d > static_cast<double>(max)) {
        return fieldError(path, "must be a whole number " + range);
    }
    return std::optional<qint64>(static_cast<qint64>(d));
}

Optional<bool> optBool(const QJsonObject& o, const char* key, const QString& parent) {
    const auto v = member(o, key);
    if (!v) return std::optional<bool>();
    if (!v->isBool()) return fieldError(memberPath(parent, key), "expected true or false");
    return std::optional<bool>(v->toBool());
}

Optional<QJsonObject> optObject(const QJsonObject& o, const char* key, const QString& parent) {
    const auto v = member(o, key);
    if (!v) return std::optional<QJsonObject>();
    if (!v->isObject()) return fieldError(memberPath(parent, key), "expected an object");
    return std::optional<QJsonObject>(v->toObject());
}

Optional<QJsonArray> optArray(const QJsonObject& o, const char* key, const QString& parent) {
    const auto v = member(o, key);
    if (!v) return std::optional<QJsonArray>();
    if (!v->isArray()) return fieldError(memberPath(parent, key), "expected a list");
    return std::optional<QJsonArray>(v->toArray());
}

Status onlyMembers(const QJsonObject& o, const QString& path,
                   std::initializer_list<const char*> known) {
    for (auto it = o.begin(); it != o.end(); ++it) {
        bool listed = false;
        for (const char* k : known) listed = listed || it.key() == QLatin1String(k);
        if (!listed) return fieldError(path, "unknown member \"" + it.key().toStdString() + "\"");
    }
    return Status::success();
}

}  // namespace tavrik::ctl::doc
