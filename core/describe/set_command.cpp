#include "describe/set_command.h"

#include <array>
#include <optional>
#include <string_view>

#include "describe/key_function.h"
#include "describe/key_names.h"
#include "describe/setting_words.h"
#include "describe/words.h"
#include "settings/effects.h"
#include "settings/panel.h"

namespace tavrik::describe {
namespace {

using Args = std::span<const std::string>;

// Drops a unit written after the number ("1000Hz", "4ms"), in either case.
std::string_view withoutUnit(std::string_view text, std::string_view unit) {
    if (text.size() > unit.size() &&
        equalsIgnoringCase(text.substr(text.size() - unit.size()), unit)) {
        text.remove_suffix(unit.size());
    }
    return text;
}

Status expectCount(Args args, std::size_t n, std::string_view form) {
    if (args.size() == n) return Status::success();
    if (args.size() < n) return valueError("missing value; use: set " + std::string(form));
    return valueError("unexpected argument " + inQuotes(args[n]) + "; use: set " +
                      std::string(form));
}

Result<int> slotOf(std::string_view name) {
    if (const auto slot = findSlot(name)) return *slot;
    std::string text = "unknown key " + inQuotes(name);
    const std::string near = closestSlotName(name);
    text += near.empty() ? "; key names are like Esc, F1, A, 1, LCtrl, Space, Up"
                         : "; did you mean " + inQuotes(near) + "?";
    return valueError(text);
}

struct EffectRequest {
    std::uint8_t code = 0;
    std::optional<int> speed;
    std::optional<int> brightness;
    std::optional<settings::Direction> direction;
};

Result<EffectRequest> parseEffectArgs(Args args) {
    constexpr std::string_view form = "effect NAME [--speed N] [--brightness N] [--direction D]";
    if (args.size() < 2) return valueError("missing effect name; use: set " + std::string(form));
    EffectRequest r;
    const auto code = findEffect(args[1]);
    if (!code) return unknownEffectError(args[1]);
    r.code = *code;
    for (std::size_t i = 2; i < args.size(); i += 2) {
        std::string_view option = args[i];
        std::string value;
        if (const std::size_t eq = option.find('='); eq != std::string_view::npos) {
            value = std::string(option.substr(eq + 1));
            option = option.substr(0, eq);
            --i;  // the value was part of the option
        } else if (i + 1 < args.size()) {
            value = args[i + 1];
        } else {
            return valueError("missing value after " + inQuotes(option));
        }
        if (option == "--speed") {
            auto v = parseIntIn(value, 0, kMaxSpeed, "speed");
            if (!v) return v.error();
            r.speed = *v;
        } else if (option == "--brightness") {
            auto v = parseIntIn(value, 0, kMaxBrightness, "brightness");
            if (!v) return v.error();
            r.brightness = *v;
        } else if (option == "--direction") {
            auto d = parseDirection(value);
            if (!d) return d.error();
            r.direction = *d;
        } else {
            return valueError("unknown option " + inQuotes(option) + "; use: set " +
                              std::string(form));
        }
    }
    const std::string name = effectWords(r.code);
    if (r.speed && !settings::showsSpeed(r.code)) {
        return valueError("effect " + name + " has no speed; leave out --speed");
    }
    if (r.direction) {
        const auto buttons = settings::directionButtons(r.code);
        bool offered = false;
        for (const auto& b : buttons) offered = offered || b == *r.direction;
        if (!offered) {
            const std::string choices = directionChoices(r.code);
            return valueError("effect " + name +
                              (choices.empty() ? " has no direction; leave out --direction"
                                               : " takes direction " + choices));
        }
    }
    return r;
}

Status setEffect(model::ConfigState& state, Args args) {
    auto request = parseEffectArgs(args);
    if (!request) return request.error();
    const EffectRequest& r = *request;
    settings::PanelView view;
    settings::chooseEffect(state.image, view, *settings::effectRow(r.code));
    settings::clampColourChoice(state.image);
    using namespace model::image;
    if (r.speed) state.image[kSpeed] = static_cast<std::uint8_t>(*r.speed);
    if (r.brightness) state.image[kBrightness] = static_cast<std::uint8_t>(*r.brightness);
    if (r.direction) state.image[kDirection] = static_cast<std::uint8_t>(*r.direction);
    return Status::success();
}

Status setSwitch(model::ConfigState& state, Args args, bool gameMode) {
    if (Status s = expectCount(args, 2, gameMode ? "game-mode on|off" : "win-lock on|off"); !s) {
        return s;
    }
    const auto on = parseOnOff(args[1]);
    if (!on) return on.error();
    if (gameMode) {
        settings::setGameMode(state.image, *on);
    } else {
        settings::setWinLock(state.image, *on);
    }
    return Status::success();
}

Status setResponseTime(model::ConfigState& state, Args args) {
    if (Status s = expectCount(args, 2, "response-time MS"); !s) return s;
    const auto ms = parseIntIn(withoutUnit(args[1], "ms"), kMinResponseMs, kMaxResponseMs,
                               "response time (ms)");
    if (!ms) return ms.error();
    const auto byte = responseByteForMs(*ms);
    if (!byte) return byte.error();
    state.image[model::image::kResponseTime] = *byte;
    return Status::success();
}

Status setReportRate(model::ConfigState& state, Args args) {
    if (Status s = expectCount(args, 2, "report-rate HZ"); !s) return s;
    const auto hz = parseIntIn(withoutUnit(args[1], "hz"), 1, 100000, "report rate (Hz)");
    if (!hz) {
        return valueError("report rate must be 125, 250, 500 or 1000 Hz, not " + inQuotes(args[1]));
    }
    const auto byte = reportRateByteForHz(*hz);
    if (!byte) return byte.error();
    state.image[model::image::kReportRate] = *byte;
    return Status::success();
}

Status setKey(model::ConfigState& state, const macro::MacroStore& macros, Args args) {
    if (args.size() < 3) return valueError("missing key or function; use: set key KEY FUNCTION");
    const auto slot = slotOf(args[1]);
    if (!slot) return slot.error();
    if (Status s = checkAssignableSlot(*slot); !s) return s;
    std::string words;
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (i > 2) words += ' ';
        words += args[i];
    }
    const auto function = parseKeyFunction(words, macros);
    if (!function) return function.error();
    applyKeyFunction(state, *slot, *function, macros);
    return Status::success();
}

Status setDiy(model::ConfigState& state, Args args) {
    if (Status s = expectCount(args, 4, "diy N KEY RRGGBB"); !s) return s;
    const auto table = parseIntIn(args[1], 1, kDiyTableCount, "DIY table");
    if (!table) return table.error();
    const auto slot = slotOf(args[2]);
    if (!slot) return slot.error();
    const auto colour = parseColour(args[3]);
    if (!colour) return colour.error();
    const std::size_t at = settings::diyCellOffset(static_cast<std::size_t>(*table - 1), *slot);
    state.image[at] = 0;
    state.image[at + 1] = colour->b;
    state.image[at + 2] = colour->g;
    state.image[at + 3] = colour->r;
    return Status::success();
}

}  // namespace

Status applySetCommand(model::ConfigState& state, const macro::MacroStore& macros,
                       std::span<const std::string> args) {
    if (args.empty()) {
        return valueError(
            "set needs a setting: effect, game-mode, win-lock, response-time, "
            "report-rate, key or diy; see tavrikctl --help");
    }
    const std::string_view what = args[0];
    if (what == "effect") return setEffect(state, args);
    if (what == "game-mode") return setSwitch(state, args, true);
    if (what == "win-lock") return setSwitch(state, args, false);
    if (what == "response-time") return setResponseTime(state, args);
    if (what == "report-rate") return setReportRate(state, args);
    if (what == "key") return setKey(state, macros, args);
    if (what == "diy") return setDiy(state, args);
    for (const std::string_view name : kSetSettings) {
        if (editDistance(name, what) <= 2) {
            return valueError("unknown setting " + inQuotes(what) + "; did you mean " +
                              inQuotes(name) + "?");
        }
    }
    return valueError("unknown setting " + inQuotes(what) +
                      "; use effect, game-mode, win-lock, response-time, report-rate, key or diy");
}

std::string setCommandUsage() {
    return "set effect NAME [--speed 0..9] [--brightness 0..50] "
           "[--direction left|right|top|bottom]\n"
           "set game-mode on|off\n"
           "set win-lock on|off\n"
           "set response-time 2|4|...|20\n"
           "set report-rate 125|250|500|1000\n"
           "set key KEY FUNCTION   (LCtrl + C | preset NAME | macro NAME | "
           "launch program|file|folder|sound PATH | default | disable | enable)\n"
           "set diy 1..5 KEY RRGGBB   (hex, such as FF0000)\n";
}

}  // namespace tavrik::describe
