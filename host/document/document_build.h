#pragma once
// The readable part of the document (everything but "raw") from a configuration, and a
// configuration built back from it. Export carries the bytes in which the two differ as raw
// runs, so import (build, then apply the runs) gives back every byte.

#include <QJsonObject>

#include "common/language.h"
#include "common/result.h"
#include "describe/configuration.h"
#include "describe/key_function.h"

namespace tavrik::ctl::doc {

// Field names of the document.
inline constexpr auto kFormat = "format";
inline constexpr auto kVersion = "version";
inline constexpr auto kLighting = "lighting";
inline constexpr auto kEffect = "effect";
inline constexpr auto kSpeed = "speed";
inline constexpr auto kBrightness = "brightness";
inline constexpr auto kColourChoice = "colourChoice";
inline constexpr auto kDirection = "direction";
inline constexpr auto kColourTable = "colourTable";
inline constexpr auto kPerformance = "performance";
inline constexpr auto kGameMode = "gameMode";
inline constexpr auto kWinLock = "winLock";
inline constexpr auto kResponseTime = "responseTimeMs";
inline constexpr auto kReportRate = "reportRateHz";
inline constexpr auto kKeys = "keys";
inline constexpr auto kKey = "key";
inline constexpr auto kFunction = "function";
inline constexpr auto kEnabled = "enabled";
inline constexpr auto kCell = "cell";
inline constexpr auto kLaunchPath = "launchPath";
inline constexpr auto kRecord = "record";
inline constexpr auto kDiy = "diy";
inline constexpr auto kMacros = "macros";
inline constexpr auto kName = "name";
inline constexpr auto kLoops = "loops";
inline constexpr auto kRecordDelay = "recordDelay";
inline constexpr auto kEvents = "events";
inline constexpr auto kAction = "action";
inline constexpr auto kDelay = "delay";
inline constexpr auto kPress = "press";
inline constexpr auto kRelease = "release";
inline constexpr auto kRaw = "raw";
inline constexpr auto kRawImage = "image";
inline constexpr auto kRawActions = "actions";
inline constexpr auto kRawMacros = "macros";

// The readable fields of `config`. Names of effects and presets in `lang` (English for the
// JSON document, whose import also takes Chinese). Keys and macros whose words do not reproduce
// their bytes get "record" / "cell" hex fields (decided with English words).
QJsonObject readableFields(const describe::Configuration& config, Language lang,
                           describe::KeyEncoder& encoder);

// Builds `out` from the readable fields of a document, starting from all zero bytes; fields left
// out keep their zero bytes, except keys, which keep their own function, factory cell and stay
// enabled. Value error with the field's path for wrong types, unknown names or out-of-range
// values.
Status buildFromReadable(const QJsonObject& document, describe::Configuration& out,
                         describe::KeyEncoder& encoder);

}  // namespace tavrik::ctl::doc
