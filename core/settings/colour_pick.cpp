#include "settings/colour_pick.h"

#include <algorithm>
#include <cmath>

namespace tavrik::settings {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view trimmed(std::string_view t) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!t.empty() && blank(t.front())) t.remove_prefix(1);
    while (!t.empty() && blank(t.back())) t.remove_suffix(1);
    return t;
}

std::uint8_t byteOf(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace

Hsv toHsv(Rgb c) {
    const int max = std::max({c.r, c.g, c.b});
    const int min = std::min({c.r, c.g, c.b});
    const int delta = max - min;
    Hsv out;
    out.v = max;
    out.s = max == 0 ? 0 : static_cast<int>(std::lround(255.0 * delta / max));
    if (delta == 0) return out;  // a grey: hue 0
    double h = 0;
    if (max == c.r) {
        h = 60.0 * (c.g - c.b) / delta;
    } else if (max == c.g) {
        h = 60.0 * (c.b - c.r) / delta + 120;
    } else {
        h = 60.0 * (c.r - c.g) / delta + 240;
    }
    out.h = static_cast<int>(std::lround(h < 0 ? h + 360 : h)) % 360;
    return out;
}

Rgb toRgb(Hsv c) {
    const int h = ((c.h % 360) + 360) % 360;
    const double s = std::clamp(c.s, 0, 255) / 255.0;
    const double v = std::clamp(c.v, 0, 255);
    const double chroma = v * s;
    const double sector = h / 60.0;
    const double x = chroma * (1 - std::abs(std::fmod(sector, 2.0) - 1));
    const double m = v - chroma;
    // The three channels in each 60-degree sector: (chroma, x, 0) rotated.
    struct Channels {
        double r, g, b;
    };
    const Channels sectors[6] = {{chroma, x, 0}, {x, chroma, 0}, {0, chroma, x},
                                 {0, x, chroma}, {x, 0, chroma}, {chroma, 0, x}};
    const auto [r, g, b] = sectors[std::min(static_cast<int>(sector), 5)];
    return Rgb{byteOf(r + m), byteOf(g + m), byteOf(b + m)};
}

std::string toHex(Rgb c) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (std::uint8_t byte : {c.r, c.g, c.b}) {
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0x0F];
    }
    return out;
}

std::optional<Rgb> parseHex(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '#') text.remove_prefix(1);
    if (text.size() != 6) return std::nullopt;
    std::uint8_t bytes[3];
    for (std::size_t i = 0; i < 3; ++i) {
        const int hi = hexDigit(text[2 * i]);
        const int lo = hexDigit(text[2 * i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    return Rgb{bytes[0], bytes[1], bytes[2]};
}

void addRecentColour(std::vector<Rgb>& recent, Rgb colour) {
    recent.erase(std::remove(recent.begin(), recent.end(), colour), recent.end());
    recent.insert(recent.begin(), colour);
    if (recent.size() > kRecentColours) recent.resize(kRecentColours);
}

std::string recentColoursText(const std::vector<Rgb>& recent) {
    std::string out;
    for (const Rgb& c : recent) {
        if (!out.empty()) out += ',';
        out += toHex(c);
    }
    return out;
}

std::vector<Rgb> parseRecentColours(std::string_view text) {
    std::vector<Rgb> out;
    while (!text.empty() && out.size() < kRecentColours) {
        const std::size_t comma = text.find(',');
        const std::string_view entry = text.substr(0, comma);
        if (auto c = parseHex(entry); c && std::find(out.begin(), out.end(), *c) == out.end()) {
            out.push_back(*c);
        }
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return out;
}

}  // namespace tavrik::settings
