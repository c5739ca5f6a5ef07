#include "describe/setting_words.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "describe/key_names.h"
#include "describe/words.h"

namespace tavrik::describe {
namespace {

constexpr std::array<int, 4> kReportRatesHz{125, 250, 500, 1000};

struct DirectionWord {
    std::string_view word;
    settings::Direction direction;
};
constexpr std::array<DirectionWord, 4> kDirectionWords{{
    {"left", settings::Direction::Left},
    {"right", settings::Direction::Right},
    {"top", settings::Direction::Top},
    {"bottom", settings::Direction::Bottom},
}};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::uint8_t> findEffect(std::string_view name) {
    for (const settings::Effect& e : settings::effectTable()) {
        if (equalsIgnoringCase(e.name.en, name) || e.name.zh == name) return e.code;
    }
    return std::nullopt;
}

Error unknownEffectError(std::string_view name) {
    std::string best;
    std::size_t bestDistance = 3;
    std::string all;
    for (const settings::Effect& e : settings::effectTable()) {
        const std::size_t d = editDistance(e.name.en, name);
        if (d < bestDistance) {
            bestDistance = d;
            best = e.name.en;
        }
        if (!all.empty()) all += ", ";
        all += e.name.en;
    }
    std::string text = "unknown effect " + inQuotes(name);
    text += best.empty() ? "; effects are " + all : "; did you mean " + inQuotes(best) + "?";
    return valueError(text);
}

std::string effectWords(std::uint8_t code, Language lang) {
    const std::string_view name = settings::effectName(code, lang);
    if (name.empty()) return "code " + std::to_string(code);
    return std::string(name);
}

Result<settings::Direction> parseDirection(std::string_view word) {
    for (const DirectionWord& d : kDirectionWords) {
        if (equalsIgnoringCase(d.word, word)) return d.direction;
    }
    return valueError("unknown direction " + inQuotes(word) + "; use left, right, top or bottom");
}

std::string_view directionWord(std::uint8_t direction) {
    for (const DirectionWord& d : kDirectionWords) {
        if (static_cast<std::uint8_t>(d.direction) == direction) return d.word;
    }
    return {};
}

std::string directionChoices(std::uint8_t effect) {
    std::string out;
    for (const auto& button : settings::directionButtons(effect)) {
        if (!button) continue;
        if (!out.empty()) out += ", ";
        out += directionWord(static_cast<std::uint8_t>(*button));
    }
    return out;
}

Result<bool> parseOnOff(std::string_view word) {
    for (std::string_view on : {"on", "1", "true", "yes"}) {
        if (equalsIgnoringCase(word, on)) return true;
    }
    for (std::string_view off : {"off", "0", "false", "no"}) {
        if (equalsIgnoringCase(word, off)) return false;
    }
    return valueError("expected on or off, not " + inQuotes(word));
}

Result<int> parseIntIn(std::string_view text, int min, int max, std::string_view what) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    const std::string range = std::to_string(min) + ".." + std::to_string(max);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) {
        return valueError(std::string(what) + " must be a number " + range + ", not " +
                          inQuotes(text));
    }
    if (value < min || value > max) {
        return valueError(std::string(what) + " must be " + range + ", not " +
                          std::to_string(value));
    }
    return value;
}

Result<std::uint8_t> responseByteForMs(int ms) {
    if (ms < kMinResponseMs || ms > kMaxResponseMs || ms % 2 != 0) {
        return valueError("response time must be 2, 4, 6, ... 20 ms, not " + std::to_string(ms));
    }
    return static_cast<std::uint8_t>(ms / 2);
}

int responseMsOfByte(std::uint8_t byte) {
    return byte >= 1 && byte <= kMaxResponseMs / 2 ? 2 * byte : 0;
}

Result<std::uint8_t> reportRateByteForHz(int hz) {
    for (std::size_t i = 0; i < kReportRatesHz.size(); ++i) {
        if (kReportRatesHz[i] == hz) return static_cast<std::uint8_t>(i);
    }
    return valueError("report rate must be 125, 250, 500 or 1000 Hz, not " + std::to_string(hz));
}

int reportRateHzOfByte(std::uint8_t byte) {
    return byte < kReportRatesHz.size() ? kReportRatesHz[byte] : 0;
}

Result<settings::Rgb> parseColour(std::string_view text) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '#') digits.remove_prefix(1);
    std::array<int, 6> v{};
    bool ok = digits.size() == v.size();
    for (std::size_t i = 0; ok && i < v.size(); ++i) {
        v[i] = hexDigit(digits[i]);
        ok = v[i] >= 0;
    }
    if (!ok)
        return valueError("colour must be RRGGBB (hex, such as FF0000), not " + inQuotes(text));
    return settings::Rgb{static_cast<std::uint8_t>(v[0] * 16 + v[1]),
                         static_cast<std::uint8_t>(v[2] * 16 + v[3]),
                         static_cast<std::uint8_t>(v[4] * 16 + v[5])};
}

std::string colourText(settings::Rgb colour) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", colour.r, colour.g, colour.b);
    return buf;
}

settings::Rgb diyCellColour(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    return {red, green, blue};
}

}  // namespace tavrik::describe
