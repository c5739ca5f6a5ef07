#include "document_build.h"

#include "document_parts.h"
#include "json_fields.h"
#include "macro/macro_store.h"

namespace tavrik::ctl::doc {

QJsonObject readableFields(const describe::Configuration& config, Language lang,
                           describe::KeyEncoder& encoder) {
    QJsonObject o;
    o[QLatin1String(kLighting)] = lightingFields(config.image, lang);
    o[QLatin1String(kPerformance)] = performanceFields(config.image);
    o[QLatin1String(kKeys)] = keyFields(config, lang, encoder);
    o[QLatin1String(kDiy)] = diyFields(config.image);
    o[QLatin1String(kMacros)] = macroFields(config.macros);
    return o;
}

Status buildFromReadable(const QJsonObject& document, describe::Configuration& out,
                         describe::KeyEncoder& encoder) {
    out.image.fill(0);
    out.actions.fill(0);
    for (auto& record : out.macros) record.fill(0);

    const auto lighting = optObject(document, kLighting, {});
    if (!lighting) return lighting.error();
    if (*lighting) {
        if (Status s = buildLighting(**lighting, out.image); !s) return s;
    }
    const auto performance = optObject(document, kPerformance, {});
    if (!performance) return performance.error();
    if (*performance) {
        if (Status s = buildPerformance(**performance, out.image); !s) return s;
    }
    const auto macros = optArray(document, kMacros, {});
    if (!macros) return macros.error();
    if (Status s = buildMacros(macros->value_or(QJsonArray()), out.macros); !s) return s;
    macro::buildMacroSlots(out.macros, out.image);
    const auto keys = optArray(document, kKeys, {});
    if (!keys) return keys.error();
    if (Status s = buildKeys(keys->value_or(QJsonArray()), out, encoder); !s) return s;
    const auto diy = optArray(document, kDiy, {});
    if (!diy) return diy.error();
    if (*diy) {
        if (Status s = buildDiy(**diy, out.image); !s) return s;
    }
    return Status::success();
}

}  // namespace tavrik::ctl::doc
