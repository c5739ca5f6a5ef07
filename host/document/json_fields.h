#pragma once
// Typed access to JSON members with the member's path in every error ("keys[3].enabled:
// expected true or false"). A member that is absent or null reads as none.

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <initializer_list>
#include <optional>
#include <string>

#include "common/result.h"

namespace tavrik::ctl::doc {

template <typename T>
using Optional = Result<std::optional<T>>;

inline QString memberPath(const QString& parent, const char* key) {
    return parent.isEmpty() ? QString::fromLatin1(key) : parent + '.' + QLatin1String(key);
}

inline Error fieldError(const QString& path, const std::string& what) {
    return valueError(path.toStdString() + ": " + what);
}

Optional<QString> optString(const QJsonObject& o, const char* key, const QString& parent);
// An integer in [min, max].
Optional<qint64> optInteger(const QJsonObject& o, const char* key, const QString& parent,
                            qint64 min, qint64 max);
Optional<bool> optBool(const QJsonObject& o, const char* key, const QString& parent);
Optional<QJsonObject> optObject(const QJsonObject& o, const char* key, const QString& parent);
Optional<QJsonArray> optArray(const QJsonObject& o, const char* key, const QString& parent);

// Value error naming the first member of `o` (at `path`) that is none of `known`: a misspelt
// member would otherwise be left out silently.
Status onlyMembers(const QJsonObject& o, const QString& path,
                   std::initializer_list<const char*> known);

}  // namespace tavrik::ctl::doc
