#pragma once
// Which profile the keyboard should hold for the application in front: profiles bound to
// application ids, and one profile that is the default for every other application. Ids are
// compared without regard to the case of ASCII letters (X11 classes and Wayland app ids are
// ASCII in practice); profile names are compared exactly, as file names are.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik::appprofiles {

// The longest application id a rule takes, in bytes.
inline constexpr std::size_t kMaxAppIdBytes = 255;
// At most this many ids in all, so that a hostile rules file cannot make matching slow.
inline constexpr std::size_t kMaxBindings = 1024;

struct ProfileApps {
    std::string profile;
    std::vector<std::string> apps;  // in the order they were bound, each once
    bool operator==(const ProfileApps&) const = default;
};

struct AppRules {
    std::vector<ProfileApps> profiles;  // profiles with at least one application, in bind order
    std::optional<std::string> defaultProfile;
    bool operator==(const AppRules&) const = default;
    bool empty() const { return profiles.empty() && !defaultProfile; }
};

// Two application ids name the same application: equal but for the case of ASCII letters.
bool sameAppId(std::string_view a, std::string_view b);

// Why a typed application id cannot be bound: empty, longer than kMaxAppIdBytes, or holding a
// control character (a line break would make the lists unreadable). None when it can.
enum class AppIdProblem { Empty, TooLong, ControlCharacter };
std::optional<AppIdProblem> appIdProblem(std::string_view id);

// What an edit did.
enum class Edit {
    Changed,
    Unchanged,  // the rules say that already (bind), or never said it (unbind)
    TooMany,    // kMaxBindings reached
};

// Binds an application to a profile; an application is bound to one profile at most, so a
// binding to another profile moves. The id must be one appIdProblem accepts.
Edit bind(AppRules& rules, std::string_view profile, std::string_view app);
Edit unbind(AppRules& rules, std::string_view profile, std::string_view app);
// The default profile for every application no other rule names (none: keep what is there).
Edit setDefault(AppRules& rules, std::optional<std::string_view> profile);
// A renamed profile keeps its applications and its place as the default.
Edit renameProfile(AppRules& rules, std::string_view from, std::string_view to);
// A deleted profile's rules go with it.
Edit removeProfile(AppRules& rules, std::string_view profile);

// The applications bound to a profile (empty when none).
std::span<const std::string> appsOf(const AppRules& rules, std::string_view profile);
std::size_t bindingCount(const AppRules& rules);

// The profile for the application in front (its ids, most specific first): the profile of the
// first id a rule names, among the profiles that exist; else the default profile when it
// exists; else none (the keyboard keeps what it has). Rules naming a missing profile are
// inactive: they neither match nor hide the default.
std::optional<std::string> profileFor(const AppRules& rules, std::span<const std::string> ids,
                                      std::span<const std::string> existing);

// Profiles the rules name that do not exist (inactive rules), each once, in rule order.
std::vector<std::string> missingProfiles(const AppRules& rules,
                                         std::span<const std::string> existing);

}  // namespace tavrik::appprofiles
