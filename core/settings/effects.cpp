#include "settings/effects.h"

#include <algorithm>

namespace tavrik::settings {
namespace {

constexpr auto T = Direction::Top;
constexpr auto B = Direction::Bottom;
constexpr auto R = Direction::Right;
constexpr auto L = Direction::Left;
constexpr DirectionButtons kNone{};
constexpr DirectionButtons kFourWay{T, B, R, L};
constexpr DirectionButtons kRightLeft{R, L, std::nullopt, std::nullopt};
constexpr DirectionButtons kTopBottom{T, B, std::nullopt, std::nullopt};

// The four effects that have no established English name get descriptive ones of ours.
constexpr std::array<Effect, kEffectCount> kEffects{{
    {1, {"Static", "全亮"}, kNone},
    {2, {"Breathing", "呼吸"}, kNone},
    {3, {"Wave", "波浪"}, kFourWay},
    {4, {"Reactive", "随按渐灭"}, kNone},
    {5, {"Sidewinder", "蛇形跑马"}, kNone},
    {6, {"Ripple", "涟漪"}, kNone},
    {10, {"Raindrop", "雨滴"}, kNone},
    {11, {"Vortex", "环形跑马"}, kNone},
    {12, {"Converge", "对冲"}, kNone},
    {13, {"Radar", "雷达"}, kRightLeft},
    {14, {"Stream", "流水跑马"}, kNone},
    {15, {"Running", "奔跑模式"}, kRightLeft},
    {16, {"Gradient", "渐变模式"}, kTopBottom},
    {51, {"DIY1", "DIY1"}, kNone},
    {52, {"DIY2", "DIY2"}, kNone},
    {53, {"DIY3", "DIY3"}, kNone},
    {54, {"DIY4", "DIY4"}, kNone},
    {55, {"DIY5", "DIY5"}, kNone},
}};

}  // namespace

const std::array<Effect, kEffectCount>& effectTable() {
    return kEffects;
}

std::optional<int> effectRow(std::uint8_t code) {
    const auto it = std::find_if(kEffects.begin(), kEffects.end(),
                                 [code](const Effect& e) { return e.code == code; });
    if (it == kEffects.end()) return std::nullopt;
    return static_cast<int>(it - kEffects.begin());
}

std::string_view effectName(std::uint8_t code, Language lang) {
    const auto row = effectRow(code);
    return row ? kEffects[static_cast<std::size_t>(*row)].name.in(lang) : std::string_view{};
}

DirectionButtons directionButtons(std::uint8_t code) {
    const auto row = effectRow(code);
    return row ? kEffects[static_cast<std::size_t>(*row)].buttons : kNone;
}

std::optional<std::size_t> diyTableOf(std::uint8_t code) {
    if (!isDiyEffect(code)) return std::nullopt;
    return std::size_t{code} - effect::kFirstDiy;
}

}  // namespace tavrik::settings
