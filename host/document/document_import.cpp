#include <QJsonDocument>
#include <QJsonParseError>

#include <memory>
#include <set>

#include "config_document.h"
#include "document_build.h"
#include "duplicate_members.h"
#include "hex_runs.h"
#include "json_fields.h"
#include "store_bytes.h"

namespace tavrik::ctl {
namespace {

Status checkFormat(const QJsonObject& o) {
    const QJsonValue format = o.value(QLatin1String(doc::kFormat));
    if (format.toString() != QLatin1String(kFormatName)) {
        return valueError(std::string("not a configuration document: \"format\" must be \"") +
                          kFormatName + "\"");
    }
    const QJsonValue version = o.value(QLatin1String(doc::kVersion));
    if (!version.isDouble()) return valueError("\"version\" is missing; export the file again");
    if (version.toDouble() != kFormatVersion) {
        return valueError("document version " + QString::number(version.toDouble()).toStdString() +
                          " is not supported; this program reads version " +
                          std::to_string(kFormatVersion));
    }
    static const std::set<QString> kKnown{
        QLatin1String(doc::kFormat),   QLatin1String(doc::kVersion),
        QLatin1String(doc::kLighting), QLatin1String(doc::kPerformance),
        QLatin1String(doc::kKeys),     QLatin1String(doc::kDiy),
        QLatin1String(doc::kMacros),   QLatin1String(doc::kRaw)};
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (!kKnown.count(it.key())) {
            return valueError("unknown member \"" + it.key().toStdString() + "\" in the document");
        }
    }
    return Status::success();
}

Status applyRaw(const QJsonObject& document, describe::Configuration& config) {
    const auto raw = doc::optObject(document, doc::kRaw, {});
    if (!raw) return raw.error();
    if (!*raw) return Status::success();
    const QString path = QLatin1String(doc::kRaw);
    if (Status s =
            doc::onlyMembers(**raw, path, {doc::kRawImage, doc::kRawActions, doc::kRawMacros});
        !s) {
        return s;
    }
    const auto runsOf = [&](const char* key) { return doc::optArray(**raw, key, path); };
    const auto image = runsOf(doc::kRawImage);
    if (!image) return image.error();
    const auto actions = runsOf(doc::kRawActions);
    if (!actions) return actions.error();
    const auto macros = runsOf(doc::kRawMacros);
    if (!macros) return macros.error();
    if (Status s = applyRuns(image->value_or(QJsonArray()), config.image,
                             doc::memberPath(path, doc::kRawImage));
        !s) {
        return s;
    }
    if (Status s = applyRuns(actions->value_or(QJsonArray()), config.actions,
                             doc::memberPath(path, doc::kRawActions));
        !s) {
        return s;
    }
    std::vector<std::uint8_t> store = storeBytes(config.macros);
    if (Status s = applyRuns(macros->value_or(QJsonArray()), store,
                             doc::memberPath(path, doc::kRawMacros));
        !s) {
        return s;
    }
    setStoreBytes(store, config.macros);
    return Status::success();
}

}  // namespace

Status importJsonObject(const QJsonObject& document, describe::Configuration& config) {
    if (Status s = checkFormat(document); !s) return s;
    auto built = std::make_unique<describe::Configuration>();
    describe::KeyEncoder encoder;
    if (Status s = doc::buildFromReadable(document, *built, encoder); !s) return s;
    if (Status s = applyRaw(document, *built); !s) return s;
    config = *built;
    return Status::success();
}

Status importJson(QByteArrayView json, describe::Configuration& config) {
    if (static_cast<std::size_t>(json.size()) > kMaxDocumentBytes) {
        return valueError("the document is larger than " +
                          std::to_string(kMaxDocumentBytes / (1024 * 1024)) +
                          " MB; it cannot be a configuration");
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError) {
        return valueError("damaged JSON at byte " + std::to_string(error.offset) + ": " +
                          error.errorString().toStdString());
    }
    if (!document.isObject()) return valueError("the document must be a JSON object");
    if (const auto twice = firstDuplicateMember(json)) {
        return valueError(*twice + ": given twice; keep one of them");
    }
    return importJsonObject(document.object(), config);
}

}  // namespace tavrik::ctl
