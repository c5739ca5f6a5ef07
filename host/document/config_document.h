#pragma once
// The whole configuration as a JSON document and as readable text.
//
// The document holds lighting, performance, every key's function in words, the DIY colours and
// the macros with their events (host/document/FORMAT.md describes it with an example). Whatever
// the readable fields cannot express (reserved bytes, values out of range, records the words do
// not reproduce) is carried as hex, so that import after export gives back every byte of the
// image, the key action table and the macro store, whatever they hold.

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonObject>

#include <cstddef>
#include <string>

#include "common/language.h"
#include "common/result.h"
#include "describe/configuration.h"

namespace tavrik::ctl {

// Value of the "format" field and the only version accepted.
inline constexpr const char* kFormatName = "tavrik-87rev-configuration";
inline constexpr int kFormatVersion = 1;
// Larger input is refused before it is parsed (a document of random bytes is about 1.3 MB).
inline constexpr std::size_t kMaxDocumentBytes = 8 * 1024 * 1024;

// The document as a JSON object (English names).
QJsonObject toJsonObject(const describe::Configuration& config);
// The document as indented UTF-8 JSON text, ending in a newline.
QByteArray exportJson(const describe::Configuration& config);
// A document already made (toJsonObject) as that text.
QByteArray exportJson(const QJsonObject& document);

// Reads a document into `config`. Starts from an all-zero configuration, so fields left out of
// the document are zero. Value errors (one line, with the JSON path of the offending field) for
// damaged JSON, input above kMaxDocumentBytes, another format or version, wrong types, unknown
// names and out-of-range values; `config` is unchanged on any error.
Status importJson(QByteArrayView json, describe::Configuration& config);
Status importJsonObject(const QJsonObject& document, describe::Configuration& config);

// The same content as readable text, for `dump` (preset and effect names in `lang`).
std::string dumpText(const describe::Configuration& config, Language lang = Language::English);
// The text from a document already made: toJsonObject(config), or the one `config` was imported
// from (English names), which saves building it again.
std::string dumpText(const describe::Configuration& config, const QJsonObject& document);

}  // namespace tavrik::ctl
