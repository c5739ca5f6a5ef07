#pragma once
// The parts of the readable document: each part writes its fields from a configuration and
// builds its bytes back from them (see document_build.h).

#include <QJsonArray>
#include <QJsonObject>

#include "common/language.h"
#include "common/result.h"
#include "describe/configuration.h"
#include "describe/key_function.h"

namespace tavrik::ctl::doc {

// "lighting" and "performance".
QJsonObject lightingFields(const model::Image& image, Language lang);
QJsonObject performanceFields(const model::Image& image);
Status buildLighting(const QJsonObject& lighting, model::Image& image);
Status buildPerformance(const QJsonObject& performance, model::Image& image);

// "diy": five objects mapping key names to "#RRGGBB".
QJsonArray diyFields(const model::Image& image);
Status buildDiy(const QJsonArray& diy, model::Image& image);

// "keys": one object per key slot.
QJsonArray keyFields(const describe::Configuration& config, Language lang,
                     describe::KeyEncoder& encoder);
// Needs the macro store already built (macro names in key functions).
Status buildKeys(const QJsonArray& keys, describe::Configuration& config,
                 describe::KeyEncoder& encoder);

// "macros": the macros in use, in index order.
QJsonArray macroFields(const macro::MacroStore& macros);
Status buildMacros(const QJsonArray& macros, macro::MacroStore& store);

}  // namespace tavrik::ctl::doc
