#include "settings/effect_preview.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

namespace tavrik::settings {
namespace {

namespace img = model::image;

constexpr std::uint8_t kMaxSpeed = 9;
constexpr std::uint8_t kMaxBrightness = 50;
constexpr std::uint8_t kSpectrumChoice = 8;
constexpr double kSlowestPeriod = 7.0;  // seconds a cycle takes at speed 0
constexpr double kPeriodStep = 0.6;     // seconds less per speed step
// The lowest brightness that lights a key still shows it on a screen: 1 is a quarter of 50.
constexpr double kDimmestLevel = 0.25;
constexpr double kTwoPi = 2 * std::numbers::pi;

// Effect codes the preview draws besides those named in effects.h.
namespace code {
constexpr std::uint8_t kBreathing = 2;
constexpr std::uint8_t kReactive = 4;
constexpr std::uint8_t kSidewinder = 5;
constexpr std::uint8_t kRipple = 6;
constexpr std::uint8_t kRaindrop = 10;
constexpr std::uint8_t kVortex = 11;
constexpr std::uint8_t kConverge = 12;
constexpr std::uint8_t kStream = 14;
}  // namespace code

double frac(double v) {
    return v - std::floor(v);
}

// A falling edge: 1 at 0, 0 from `width` on and below 0.
double trail(double behind, double width) {
    if (behind < 0 || behind >= width) return 0;
    return 1 - behind / width;
}

// A bump: 1 at the centre, 0 from `half` away.
double bump(double distance, double half) {
    return std::max(0.0, 1 - std::abs(distance) / half);
}

std::uint32_t mix(std::uint32_t v) {
    v ^= v >> 16;
    v *= 0x7FEB352Du;
    v ^= v >> 15;
    v *= 0x846CA68Bu;
    v ^= v >> 16;
    return v;
}

// A number in [0, 1) that depends only on its arguments.
double hash01(std::uint32_t a, std::uint32_t b = 0) {
    return mix(a * 0x9E3779B9u ^ mix(b + 0x632BE5ABu)) / 4294967296.0;
}

// Fully saturated colour of a hue in turns (0 red, 1/3 green, 2/3 blue).
Rgb hue(double turns) {
    const double h = frac(turns) * 6;
    const int sector = static_cast<int>(h) % 6;
    const double f = h - std::floor(h);
    const auto byte = [](double v) { return static_cast<std::uint8_t>(std::lround(v * 255)); };
    const std::uint8_t up = byte(f);
    const std::uint8_t down = byte(1 - f);
    switch (sector) {
        case 0:
            return {255, up, 0};
        case 1:
            return {down, 255, 0};
        case 2:
            return {0, 255, up};
        case 3:
            return {0, down, 255};
        case 4:
            return {up, 0, 255};
        default:
            return {255, 0, down};
    }
}

Rgb scaled(Rgb c, double level) {
    const auto one = [level](std::uint8_t v) {
        return static_cast<std::uint8_t>(std::clamp(std::lround(v * level), 0L, 255L));
    };
    return {one(c.r), one(c.g), one(c.b)};
}

// Key places, rows and the order in which the sidewinder snake runs through the keys.
struct Places {
    std::array<KeyPlace, model::kSlotCount> at{};
    std::array<int, model::kSlotCount> row{};      // 0 (top) .. 5
    std::array<double, model::kSlotCount> path{};  // place on the snake's path, 0..1
    std::vector<int> drawn;                        // drawn slots in slot order
    double aspect = 1;                             // height / width of the key area
};

Places makePlaces() {
    Places p;
    int left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30);
    for (int s = 0; s < model::kSlotCount; ++s) {
        const model::Rect& r = model::slot(s).rect;
        if (!model::slot(s).drawn()) continue;
        p.drawn.push_back(s);
        left = std::min(left, r.left);
        top = std::min(top, r.top);
        right = std::max(right, r.right);
        bottom = std::max(bottom, r.bottom);
    }
    const double width = std::max(1, right - left);
    const double height = std::max(1, bottom - top);
    p.aspect = height / width;
    for (int s : p.drawn) {
        const model::Rect& r = model::slot(s).rect;
        auto& at = p.at[static_cast<std::size_t>(s)];
        at.x = ((r.left + r.right) / 2.0 - left) / width;
        at.y = ((r.top + r.bottom) / 2.0 - top) / height;
        p.row[static_cast<std::size_t>(s)] = static_cast<int>(std::lround(at.y * 5));
    }
    // The snake runs along each row and turns at its end: left to right, then back.
    std::vector<int> order = p.drawn;
    std::sort(order.begin(), order.end(), [&p](int a, int b) {
        const auto ia = static_cast<std::size_t>(a), ib = static_cast<std::size_t>(b);
        if (p.row[ia] != p.row[ib]) return p.row[ia] < p.row[ib];
        const bool forward = p.row[ia] % 2 == 0;
        return forward ? p.at[ia].x < p.at[ib].x : p.at[ia].x > p.at[ib].x;
    });
    for (std::size_t i = 0; i < order.size(); ++i) {
        p.path[static_cast<std::size_t>(order[i])] =
            static_cast<double>(i) / static_cast<double>(order.size());
    }
    return p;
}

const Places& places() {
    static const Places p = makePlaces();
    return p;
}

// How far along the direction of motion a place lies, 0..1: a pattern f(along - t) moves that
// way.
double along(Direction d, KeyPlace at) {
    switch (d) {
        case Direction::Left:
            return 1 - at.x;
        case Direction::Right:
            return at.x;
        case Direction::Top:
            return 1 - at.y;
        case Direction::Bottom:
            return at.y;
    }
    return at.x;
}

Direction directionOf(std::uint8_t value, Direction fallback) {
    switch (value) {
        case 1:
            return Direction::Left;
        case 2:
            return Direction::Right;
        case 3:
            return Direction::Top;
        case 4:
            return Direction::Bottom;
        default:
            return fallback;
    }
}

// The preview's own presses: one key every third of a period, the same 24 keys over again.
constexpr int kOwnPressesPerPeriod = 3;
constexpr std::uint32_t kOwnPressCycle = 24;

std::vector<KeyPress> ownPresses(double seconds, double period, double lookBack) {
    std::vector<KeyPress> out;
    const Places& p = places();
    if (p.drawn.empty()) return out;
    const double step = period / kOwnPressesPerPeriod;
    const auto last = static_cast<long long>(std::floor(seconds / step));
    const auto first = static_cast<long long>(std::floor((seconds - lookBack) / step));
    for (long long n = first; n <= last; ++n) {
        const auto k =
            static_cast<std::uint32_t>(((n % kOwnPressCycle) + kOwnPressCycle) % kOwnPressCycle);
        const auto index = static_cast<std::size_t>(hash01(k, 7) * p.drawn.size());
        out.push_back({p.drawn[index], static_cast<double>(n) * step});
    }
    return out;
}

class Frame {
public:
    Frame(const Lighting& l, double seconds)
        : m_l(l), m_period(previewPeriod(l.speed)), m_t(seconds / m_period) {
        m_choice = std::clamp<std::uint8_t>(l.colourChoice, 1, kSpectrumChoice);
    }

    double period() const { return m_period; }
    double cycles() const { return m_t; }

    // The effect's colour; with the spectrum chosen, the hue at `turns`.
    Rgb colour(double turns) const {
        if (m_choice == kSpectrumChoice) return hue(turns);
        return m_l.colours[static_cast<std::size_t>(m_choice - 1)];
    }
    bool spectrum() const { return m_choice == kSpectrumChoice; }

private:
    const Lighting& m_l;
    double m_period;
    double m_t;  // time in cycles
    std::uint8_t m_choice;
};

// Reactive and ripple: a key lights when pressed and fades over a period; a ripple's ring
// leaves the pressed key and fades as it grows.
void drawPresses(const Frame& f, double seconds, std::span<const KeyPress> given, bool ripple,
                 KeyColours& out) {
    const Places& p = places();
    const double fade = f.period();
    std::vector<KeyPress> own;
    if (given.empty()) {
        own = ownPresses(seconds, f.period(), fade);
        given = own;
    }
    std::array<double, model::kSlotCount> level{};
    std::array<Rgb, model::kSlotCount> colour{};
    for (std::size_t n = 0; n < given.size(); ++n) {
        const KeyPress& press = given[n];
        const double age = seconds - press.at;
        if (age < 0 || age >= fade || press.slot < 0 || press.slot >= model::kSlotCount) continue;
        const KeyPlace from = p.at[static_cast<std::size_t>(press.slot)];
        const double strength = 1 - age / fade;
        const Rgb c = f.colour(hash01(static_cast<std::uint32_t>(press.slot),
                                      static_cast<std::uint32_t>(std::lround(press.at * 1000))));
        for (int s : p.drawn) {
            const auto i = static_cast<std::size_t>(s);
            double v = 0;
            if (ripple) {
                const double dx = p.at[i].x - from.x;
                const double dy = (p.at[i].y - from.y) * p.aspect;
                const double radius = age / fade * 0.8;
                v = strength * bump(std::hypot(dx, dy) - radius, 0.06);
            } else if (s == press.slot) {
                v = strength;
            }
            if (v > level[i]) {
                level[i] = v;
                colour[i] = c;
            }
        }
    }
    for (int s : p.drawn) {
        const auto i = static_cast<std::size_t>(s);
        out[i] = scaled(colour[i], level[i]);
    }
}

// The colour of one key for the effects that depend on the key's place and the time only.
Rgb placeColour(const Lighting& l, const Frame& f, int slot) {
    const Places& p = places();
    const auto i = static_cast<std::size_t>(slot);
    const KeyPlace at = p.at[i];
    const double t = f.cycles();
    switch (l.effect) {
        case effect::kStatic:
            return f.colour(at.x * 0.85);
        case code::kBreathing: {
            const double level = 0.5 - 0.5 * std::cos(kTwoPi * t);
            return scaled(f.colour(std::floor(t) / 7), level);
        }
        case effect::kWave: {
            const double d = along(directionOf(l.direction, Direction::Right), at);
            if (f.spectrum()) return f.colour(d - t);
            return scaled(f.colour(0), 0.5 + 0.5 * std::cos(kTwoPi * (d - t)));
        }
        case code::kSidewinder: {
            // One run through every key takes two periods; the snake is ten keys long.
            const double head = frac(t / 2);
            const double behind = frac(head - p.path[i]);
            return scaled(f.colour(p.path[i]), trail(behind, 10.0 / p.drawn.size()));
        }
        case code::kRaindrop: {
            // Every key has its own cycle start; about one key in five falls in a cycle.
            const double phase = hash01(static_cast<std::uint32_t>(slot), 1);
            const double local = t + phase;
            const auto cycle =
                static_cast<std::uint32_t>(static_cast<long long>(std::floor(local)) & 15);
            const double draw = hash01(static_cast<std::uint32_t>(slot), cycle + 2);
            if (draw >= 0.2) return {};
            return scaled(f.colour(draw * 5), 1 - frac(local));
        }
        case code::kVortex: {
            const double dx = at.x - 0.5, dy = (at.y - 0.5) * p.aspect;
            const double turns = std::atan2(dy, dx) / kTwoPi + std::hypot(dx, dy) * 1.2;
            if (f.spectrum()) return f.colour(turns - t);
            return scaled(f.colour(0), 0.5 + 0.5 * std::cos(kTwoPi * (turns - t)));
        }
        case code::kConverge: {
            // Two bands leave the left and right edges and meet in the middle.
            const double fromEdge = std::abs(at.x - 0.5) * 2;
            const double band = 1 - frac(t);
            const Rgb c = f.spectrum() ? f.colour(at.x < 0.5 ? 0 : 0.5) : f.colour(0);
            return scaled(c, bump(fromEdge - band, 0.2));
        }
        case effect::kRadar: {
            // A beam turning about the middle, clockwise for right; the swept keys fade behind.
            const double dx = at.x - 0.5, dy = (at.y - 0.5) * p.aspect;
            const double angle = std::atan2(dy, dx) / kTwoPi;  // clockwise on screen (y down)
            const bool clockwise = directionOf(l.direction, Direction::Right) != Direction::Left;
            const double behind = clockwise ? frac(t - angle) : frac(angle + t);
            return scaled(f.colour(angle), trail(behind, 0.35));
        }
        case code::kStream: {
            // A light runs along each row, left to right, rows a little apart.
            const double head = frac(t - p.row[i] * 0.17);
            return scaled(f.colour(p.row[i] / 6.0), trail(frac(head - at.x), 0.4));
        }
        case effect::kRunning: {
            const bool right = directionOf(l.direction, Direction::Right) != Direction::Left;
            const double bar = right ? frac(t) : 1 - frac(t);
            return scaled(f.colour(std::floor(t) / 7), bump(at.x - bar, 0.08));
        }
        case effect::kGradient: {
            Direction d = directionOf(l.direction, Direction::Top);
            if (d != Direction::Bottom) d = Direction::Top;
            const double g = along(d, at) * 0.5 - t;
            if (f.spectrum()) return f.colour(g);
            return scaled(f.colour(0), 0.55 + 0.45 * std::cos(kTwoPi * g));
        }
        default:
            return {};
    }
}

}  // namespace

Lighting lightingOf(const model::Image& image) {
    Lighting l;
    l.effect = image[img::kEffect];
    l.speed = image[img::kSpeed];
    l.brightness = image[img::kBrightness];
    l.colourChoice = image[img::kColourChoice];
    l.direction = image[img::kDirection];
    for (std::size_t e = 0; e < img::kColourEntryCount; ++e) {
        const std::size_t at = img::colourEntry(e);
        l.colours[e] = {image[at], image[at + 1], image[at + 2]};
    }
    if (const auto table = diyTableOf(l.effect)) {
        for (int s = 0; s < model::kSlotCount; ++s) {
            if (!model::slot(s).drawn()) continue;
            const std::size_t cell = diyCellOffset(*table, s);
            l.diyCells[static_cast<std::size_t>(s)] = {image[cell + 3], image[cell + 2],
                                                       image[cell + 1]};
        }
    }
    return l;
}

double previewPeriod(std::uint8_t speed) {
    return kSlowestPeriod - kPeriodStep * std::min(speed, kMaxSpeed);
}

bool previewAnimated(std::uint8_t effect) {
    return effect != effect::kStatic && effectRow(effect).has_value() && !isDiyEffect(effect);
}

KeyPlace keyPlace(int slot) {
    return places().at[static_cast<std::size_t>(slot)];
}

KeyColours previewColours(const Lighting& lighting, double seconds,
                          std::span<const KeyPress> presses) {
    KeyColours out{};
    const std::uint8_t b = std::min(lighting.brightness, kMaxBrightness);
    if (b == 0 || !effectRow(lighting.effect)) return out;
    const Frame frame(lighting, seconds);
    const Places& p = places();
    if (isDiyEffect(lighting.effect)) {
        for (int s : p.drawn)
            out[static_cast<std::size_t>(s)] = lighting.diyCells[static_cast<std::size_t>(s)];
    } else if (lighting.effect == code::kReactive || lighting.effect == code::kRipple) {
        drawPresses(frame, seconds, presses, lighting.effect == code::kRipple, out);
    } else {
        for (int s : p.drawn) out[static_cast<std::size_t>(s)] = placeColour(lighting, frame, s);
    }
    if (b == kMaxBrightness) return out;
    const double level = kDimmestLevel + (1 - kDimmestLevel) * (b - 1) / (kMaxBrightness - 1.0);
    for (int s : p.drawn)
        out[static_cast<std::size_t>(s)] = scaled(out[static_cast<std::size_t>(s)], level);
    return out;
}

}  // namespace tavrik::settings
