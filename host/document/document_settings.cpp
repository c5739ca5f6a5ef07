// Lighting, performance and DIY colours: fields hold only values inside their ranges; a byte
// outside its range is left to the raw runs.

#include "describe/key_names.h"
#include "describe/setting_words.h"
#include "document_build.h"
#include "document_parts.h"
#include "hex_runs.h"
#include "json_fields.h"
#include "model/slot_table.h"
#include "settings/panel.h"

namespace tavrik::ctl::doc {
namespace {

namespace img = model::image;
namespace d = describe;

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// Reads an optional integer member into an image byte.
Status byteField(const QJsonObject& o, const char* key, const QString& parent, int min, int max,
                 std::uint8_t& byte) {
    const auto v = optInteger(o, key, parent, min, max);
    if (!v) return v.error();
    if (*v) byte = static_cast<std::uint8_t>(**v);
    return Status::success();
}

Status switchField(const QJsonObject& o, const char* key, const QString& parent,
                   std::uint8_t& byte) {
    const auto v = optBool(o, key, parent);
    if (!v) return v.error();
    if (*v) byte = **v ? 1 : 0;
    return Status::success();
}

}  // namespace

QJsonObject lightingFields(const model::Image& image, Language lang) {
    QJsonObject o;
    const std::uint8_t effect = image[img::kEffect];
    if (settings::effectRow(effect)) o[QLatin1String(kEffect)] = text(d::effectWords(effect, lang));
    if (image[img::kSpeed] <= d::kMaxSpeed) o[QLatin1String(kSpeed)] = image[img::kSpeed];
    if (image[img::kBrightness] <= d::kMaxBrightness) {
        o[QLatin1String(kBrightness)] = image[img::kBrightness];
    }
    if (image[img::kColourChoice] >= d::kMinColourChoice &&
        image[img::kColourChoice] <= d::kMaxColourChoice) {
        o[QLatin1String(kColourChoice)] = image[img::kColourChoice];
    }
    const std::string_view direction = d::directionWord(image[img::kDirection]);
    if (!direction.empty()) o[QLatin1String(kDirection)] = text(std::string(direction));
    QJsonArray colours;
    for (std::size_t i = 0; i < img::kColourEntryCount; ++i) {
        colours.append(toHex(std::span(image).subspan(img::colourEntry(i), img::kColourEntrySize)));
    }
    o[QLatin1String(kColourTable)] = colours;
    return o;
}

Status buildLighting(const QJsonObject& o, model::Image& image) {
    const QString path = QLatin1String(kLighting);
    if (Status s = onlyMembers(
            o, path, {kEffect, kSpeed, kBrightness, kColourChoice, kDirection, kColourTable});
        !s) {
        return s;
    }
    const auto effect = optString(o, kEffect, path);
    if (!effect) return effect.error();
    if (*effect) {
        const std::string name = (*effect)->toStdString();
        const auto code = d::findEffect(name);
        if (!code) {
            return fieldError(memberPath(path, kEffect), d::unknownEffectError(name).context);
        }
        image[img::kEffect] = *code;
    }
    if (Status s = byteField(o, kSpeed, path, 0, d::kMaxSpeed, image[img::kSpeed]); !s) return s;
    if (Status s = byteField(o, kBrightness, path, 0, d::kMaxBrightness, image[img::kBrightness]);
        !s) {
        return s;
    }
    if (Status s = byteField(o, kColourChoice, path, d::kMinColourChoice, d::kMaxColourChoice,
                             image[img::kColourChoice]);
        !s) {
        return s;
    }
    const auto direction = optString(o, kDirection, path);
    if (!direction) return direction.error();
    if (*direction) {
        const auto dir = d::parseDirection((*direction)->toStdString());
        if (!dir) return fieldError(memberPath(path, kDirection), dir.error().context);
        image[img::kDirection] = static_cast<std::uint8_t>(*dir);
    }
    const auto colours = optArray(o, kColourTable, path);
    if (!colours) return colours.error();
    if (*colours) {
        const QString where = memberPath(path, kColourTable);
        if ((*colours)->size() != static_cast<qsizetype>(img::kColourEntryCount)) {
            return fieldError(where, "expected 7 entries of 6 hex digits");
        }
        for (std::size_t i = 0; i < img::kColourEntryCount; ++i) {
            const auto bytes = fromHex((*colours)->at(static_cast<qsizetype>(i)).toString());
            if (!bytes || bytes->size() != img::kColourEntrySize) {
                return fieldError(where + QStringLiteral("[%1]").arg(i), "expected 6 hex digits");
            }
            std::copy(bytes->begin(), bytes->end(), image.begin() + img::colourEntry(i));
        }
    }
    return Status::success();
}

QJsonObject performanceFields(const model::Image& image) {
    QJsonObject o;
    if (image[img::kGameMode] <= 1) o[QLatin1String(kGameMode)] = image[img::kGameMode] == 1;
    if (image[img::kWinLock] <= 1) o[QLatin1String(kWinLock)] = image[img::kWinLock] == 1;
    if (const int ms = d::responseMsOfByte(image[img::kResponseTime]); ms != 0) {
        o[QLatin1String(kResponseTime)] = ms;
    }
    if (const int hz = d::reportRateHzOfByte(image[img::kReportRate]); hz != 0) {
        o[QLatin1String(kReportRate)] = hz;
    }
    return o;
}

Status buildPerformance(const QJsonObject& o, model::Image& image) {
    const QString path = QLatin1String(kPerformance);
    if (Status s = onlyMembers(o, path, {kGameMode, kWinLock, kResponseTime, kReportRate}); !s) {
        return s;
    }
    if (Status s = switchField(o, kGameMode, path, image[img::kGameMode]); !s) return s;
    if (Status s = switchField(o, kWinLock, path, image[img::kWinLock]); !s) return s;
    const auto ms = optInteger(o, kResponseTime, path, d::kMinResponseMs, d::kMaxResponseMs);
    if (!ms) return ms.error();
    if (*ms) {
        const auto byte = d::responseByteForMs(static_cast<int>(**ms));
        if (!byte) return fieldError(memberPath(path, kResponseTime), byte.error().context);
        image[img::kResponseTime] = *byte;
    }
    const auto hz = optInteger(o, kReportRate, path, 0, 100000);
    if (!hz) return hz.error();
    if (*hz) {
        const auto byte = d::reportRateByteForHz(static_cast<int>(**hz));
        if (!byte) return fieldError(memberPath(path, kReportRate), byte.error().context);
        image[img::kReportRate] = *byte;
    }
    return Status::success();
}

QJsonArray diyFields(const model::Image& image) {
    QJsonArray tables;
    for (std::size_t t = 0; t < img::kDiyTableCount; ++t) {
        QJsonObject colours;
        for (int s = 0; s < model::kSlotCount; ++s) {
            const std::size_t at = settings::diyCellOffset(t, s);
            if (image[at] != 0 || (image[at + 1] | image[at + 2] | image[at + 3]) == 0) continue;
            const auto rgb = d::diyCellColour(image[at + 1], image[at + 2], image[at + 3]);
            colours[text(d::slotName(s))] = text(d::colourText(rgb));
        }
        tables.append(colours);
    }
    return tables;
}

Status buildDiy(const QJsonArray& diy, model::Image& image) {
    const QString path = QLatin1String(kDiy);
    if (diy.size() > static_cast<qsizetype>(img::kDiyTableCount)) {
        return fieldError(path, "expected at most 5 tables (DIY1..DIY5)");
    }
    for (qsizetype t = 0; t < diy.size(); ++t) {
        const QString where = path + QStringLiteral("[%1]").arg(t);
        if (!diy[t].isObject()) return fieldError(where, "expected an object of KEY: \"#RRGGBB\"");
        const QJsonObject colours = diy[t].toObject();
        for (auto it = colours.begin(); it != colours.end(); ++it) {
            const QString at = where + '.' + it.key();
            const std::string key = it.key().toStdString();
            const auto slot = d::findSlot(key);
            if (!slot) {
                const std::string near = d::closestSlotName(key);
                return fieldError(
                    at, "unknown key" + (near.empty() ? "" : "; did you mean \"" + near + "\"?"));
            }
            if (!it.value().isString()) return fieldError(at, "expected \"#RRGGBB\"");
            const auto rgb = d::parseColour(it.value().toString().toStdString());
            if (!rgb) return fieldError(at, rgb.error().context);
            const std::size_t cell = settings::diyCellOffset(static_cast<std::size_t>(t), *slot);
            image[cell] = 0;
            image[cell + 1] = rgb->b;
            image[cell + 2] = rgb->g;
            image[cell + 3] = rgb->r;
        }
    }
    return Status::success();
}

}  // namespace tavrik::ctl::doc
