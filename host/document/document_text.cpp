// The document's content as aligned text lines for `dump`.

#include <QJsonArray>

#include <memory>

#include "config_document.h"
#include "document_build.h"
#include "model/image_layout.h"
#include "model/slot_table.h"

namespace tavrik::ctl {
namespace {

constexpr std::size_t kLabelWidth = 16;
constexpr std::size_t kEventLineWidth = 80;

class Lines {
public:
    void section(const char* title) { m_text += std::string(title) + "\n"; }
    void row(const std::string& label, const std::string& value) {
        std::string line = "  " + label;
        line.append(label.size() < kLabelWidth ? kLabelWidth - label.size() : 1, ' ');
        m_text += line + value + "\n";
    }
    std::string text() const { return m_text; }

private:
    std::string m_text;
};

std::string str(const QJsonValue& v) {
    return v.toString().toStdString();
}

// A field's value, or the raw byte when it lies outside the range the field shows.
std::string valueOr(const QJsonObject& o, const char* key, std::uint8_t byte,
                    const std::string& unit = {}) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isString()) return str(v) + unit;
    if (v.isDouble()) return std::to_string(v.toInt()) + unit;
    if (v.isBool()) return v.toBool() ? "on" : "off";
    return "byte " + std::to_string(byte) + " (out of range)";
}

void lighting(Lines& out, const QJsonObject& o, const model::Image& image) {
    out.section("Lighting");
    out.row("effect", valueOr(o, doc::kEffect, image[model::image::kEffect]));
    out.row("speed", valueOr(o, doc::kSpeed, image[model::image::kSpeed]));
    out.row("brightness", valueOr(o, doc::kBrightness, image[model::image::kBrightness]));
    out.row("colour choice", valueOr(o, doc::kColourChoice, image[model::image::kColourChoice]));
    const std::uint8_t direction = image[model::image::kDirection];
    out.row("direction", direction == 0 ? "none" : valueOr(o, doc::kDirection, direction));
    std::string table;
    for (const QJsonValue& entry : o.value(QLatin1String(doc::kColourTable)).toArray()) {
        table += (table.empty() ? "" : " ") + str(entry);
    }
    out.row("colour table", table);
}

void performance(Lines& out, const QJsonObject& o, const model::Image& image) {
    out.section("Performance");
    out.row("game mode", valueOr(o, doc::kGameMode, image[model::image::kGameMode]));
    out.row("Win lock", valueOr(o, doc::kWinLock, image[model::image::kWinLock]));
    out.row("response time",
            valueOr(o, doc::kResponseTime, image[model::image::kResponseTime], " ms"));
    out.row("report rate", valueOr(o, doc::kReportRate, image[model::image::kReportRate], " Hz"));
}

void keys(Lines& out, const QJsonArray& keys) {
    out.section("Keys");
    for (qsizetype s = 0; s < keys.size(); ++s) {
        const QJsonObject k = keys[s].toObject();
        const std::string function = str(k.value(QLatin1String(doc::kFunction)));
        const bool enabled = k.value(QLatin1String(doc::kEnabled)).toBool();
        // Keys that exist only in the data (keypad, media, S1..S5) are listed once changed.
        if (!model::slot(static_cast<int>(s)).drawn() && enabled && function == "default") {
            continue;
        }
        std::string value = function;
        if (!enabled) value = function == "default" ? "disabled" : "disabled (" + function + ")";
        out.row(str(k.value(QLatin1String(doc::kKey))), value);
    }
}

void diy(Lines& out, const QJsonArray& tables) {
    out.section("DIY colours");
    for (qsizetype t = 0; t < tables.size(); ++t) {
        const QJsonObject colours = tables[t].toObject();
        std::string value;
        for (auto it = colours.begin(); it != colours.end(); ++it) {
            value += (value.empty() ? "" : ", ") + it.key().toStdString() + " " + str(it.value());
        }
        out.row("DIY" + std::to_string(t + 1), value.empty() ? "none" : value);
    }
}

void macros(Lines& out, const QJsonArray& list) {
    out.section("Macros");
    if (list.isEmpty()) out.row("none", "");
    for (const QJsonValue& m : list) {
        const QJsonObject o = m.toObject();
        std::string head = "loops " + std::to_string(o.value(QLatin1String(doc::kLoops)).toInt());
        if (o.value(QLatin1String(doc::kRecordDelay)).toBool()) head += ", delays recorded";
        out.row(str(o.value(QLatin1String(doc::kName))), head);
        std::string events;
        bool first = true;
        for (const QJsonValue& e : o.value(QLatin1String(doc::kEvents)).toArray()) {
            const QJsonObject ev = e.toObject();
            const int delay = ev.value(QLatin1String(doc::kDelay)).toInt();
            if (!first && delay > 1) events += std::to_string(delay) + " ms, ";
            first = false;
            events += str(ev.value(QLatin1String(doc::kAction))) + " " +
                      str(ev.value(QLatin1String(doc::kKey))) + ", ";
        }
        if (!events.empty()) events.resize(events.size() - 2);
        if (events.empty()) out.row("", "no events");
        // Long event lists are wrapped after a comma.
        while (!events.empty()) {
            std::size_t cut = events.size();
            if (cut > kEventLineWidth) {
                cut = events.rfind(", ", kEventLineWidth);
                cut = cut == std::string::npos ? events.size() : cut + 1;
            }
            out.row("", events.substr(0, cut));
            events.erase(0, cut == events.size() ? cut : cut + 1);
        }
    }
}

std::size_t runBytes(const QJsonValue& runs) {
    std::size_t n = 0;
    for (const QJsonValue& r : runs.toArray()) {
        n += static_cast<std::size_t>(r.toObject().value(QStringLiteral("hex")).toString().size()) /
             2;
    }
    return n;
}

}  // namespace

std::string dumpText(const describe::Configuration& config, Language lang) {
    const QJsonObject document = toJsonObject(config);
    if (lang == Language::English) return dumpText(config, document);
    describe::KeyEncoder encoder;
    QJsonObject named = doc::readableFields(config, lang, encoder);
    named[QLatin1String(doc::kRaw)] = document.value(QLatin1String(doc::kRaw));
    return dumpText(config, named);
}

std::string dumpText(const describe::Configuration& config, const QJsonObject& document) {
    Lines out;
    lighting(out, document.value(QLatin1String(doc::kLighting)).toObject(), config.image);
    performance(out, document.value(QLatin1String(doc::kPerformance)).toObject(), config.image);
    keys(out, document.value(QLatin1String(doc::kKeys)).toArray());
    diy(out, document.value(QLatin1String(doc::kDiy)).toArray());
    macros(out, document.value(QLatin1String(doc::kMacros)).toArray());
    // Bytes the fields above do not express: counted here, carried by dump --json.
    const QJsonObject raw = document.value(QLatin1String(doc::kRaw)).toObject();
    const std::size_t image = runBytes(raw.value(QLatin1String(doc::kRawImage)));
    const std::size_t actions = runBytes(raw.value(QLatin1String(doc::kRawActions)));
    const std::size_t store = runBytes(raw.value(QLatin1String(doc::kRawMacros)));
    out.section("Other bytes");
    out.row("raw", image + actions + store == 0
                       ? "none"
                       : "image " + std::to_string(image) + ", key actions " +
                             std::to_string(actions) + ", macro store " + std::to_string(store) +
                             " (kept in dump --json)");
    return out.text();
}

}  // namespace tavrik::ctl
