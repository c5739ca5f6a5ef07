#include "appprofiles/app_rules.h"

#include <algorithm>

namespace tavrik::appprofiles {
namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool contains(std::span<const std::string> names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

ProfileApps* entryOf(AppRules& rules, std::string_view profile) {
    for (ProfileApps& p : rules.profiles) {
        if (p.profile == profile) return &p;
    }
    return nullptr;
}

// Removes the application from every profile but `keep`; true when one was removed.
bool removeApp(AppRules& rules, std::string_view app, std::string_view keep) {
    bool removed = false;
    for (ProfileApps& p : rules.profiles) {
        if (p.profile == keep) continue;
        const auto before = p.apps.size();
        std::erase_if(p.apps, [&](const std::string& a) { return sameAppId(a, app); });
        removed = removed || p.apps.size() != before;
    }
    std::erase_if(rules.profiles, [](const ProfileApps& p) { return p.apps.empty(); });
    return removed;
}

}  // namespace

bool sameAppId(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

std::optional<AppIdProblem> appIdProblem(std::string_view id) {
    if (id.empty()) return AppIdProblem::Empty;
    if (id.size() > kMaxAppIdBytes) return AppIdProblem::TooLong;
    for (const char c : id) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return AppIdProblem::ControlCharacter;
    }
    return std::nullopt;
}

Edit bind(AppRules& rules, std::string_view profile, std::string_view app) {
    if (ProfileApps* p = entryOf(rules, profile)) {
        for (std::string& a : p->apps) {
            if (!sameAppId(a, app)) continue;
            if (a == app) return Edit::Unchanged;
            a = std::string(app);  // the id as typed last
            return Edit::Changed;
        }
    }
    const bool moved = removeApp(rules, app, profile);
    if (!moved && bindingCount(rules) >= kMaxBindings) return Edit::TooMany;
    ProfileApps* p = entryOf(rules, profile);
    if (!p) p = &rules.profiles.emplace_back(ProfileApps{std::string(profile), {}});
    p->apps.emplace_back(app);
    return Edit::Changed;
}

Edit unbind(AppRules& rules, std::string_view profile, std::string_view app) {
    ProfileApps* p = entryOf(rules, profile);
    if (!p) return Edit::Unchanged;
    const auto before = p->apps.size();
    std::erase_if(p->apps, [&](const std::string& a) { return sameAppId(a, app); });
    if (p->apps.size() == before) return Edit::Unchanged;
    std::erase_if(rules.profiles, [](const ProfileApps& e) { return e.apps.empty(); });
    return Edit::Changed;
}

Edit setDefault(AppRules& rules, std::optional<std::string_view> profile) {
    const std::optional<std::string> wanted =
        profile ? std::optional<std::string>(std::string(*profile)) : std::nullopt;
    if (rules.defaultProfile == wanted) return Edit::Unchanged;
    rules.defaultProfile = wanted;
    return Edit::Changed;
}

Edit renameProfile(AppRules& rules, std::string_view from, std::string_view to) {
    if (from == to) return Edit::Unchanged;
    bool changed = false;
    if (rules.defaultProfile == from) {
        rules.defaultProfile = std::string(to);
        changed = true;
    }
    ProfileApps* source = entryOf(rules, from);
    if (!source) return changed ? Edit::Changed : Edit::Unchanged;
    std::vector<std::string> apps = std::move(source->apps);
    std::erase_if(rules.profiles, [&](const ProfileApps& p) { return p.profile == from; });
    // A rename never replaces a profile, but rules may name one that no longer exists: the
    // renamed profile's applications join them.
    ProfileApps* target = entryOf(rules, to);
    if (!target) target = &rules.profiles.emplace_back(ProfileApps{std::string(to), {}});
    for (std::string& a : apps) {
        const bool there = std::any_of(target->apps.begin(), target->apps.end(),
                                       [&](const std::string& t) { return sameAppId(t, a); });
        if (!there) target->apps.push_back(std::move(a));
    }
    return Edit::Changed;
}

Edit removeProfile(AppRules& rules, std::string_view profile) {
    bool changed = false;
    if (rules.defaultProfile == profile) {
        rules.defaultProfile.reset();
        changed = true;
    }
    const auto before = rules.profiles.size();
    std::erase_if(rules.profiles, [&](const ProfileApps& p) { return p.profile == profile; });
    changed = changed || rules.profiles.size() != before;
    return changed ? Edit::Changed : Edit::Unchanged;
}

std::span<const std::string> appsOf(const AppRules& rules, std::string_view profile) {
    for (const ProfileApps& p : rules.profiles) {
        if (p.profile == profile) return p.apps;
    }
    return {};
}

std::size_t bindingCount(const AppRules& rules) {
    std::size_t n = 0;
    for (const ProfileApps& p : rules.profiles) n += p.apps.size();
    return n;
}

std::optional<std::string> profileFor(const AppRules& rules, std::span<const std::string> ids,
                                      std::span<const std::string> existing) {
    for (const std::string& id : ids) {
        for (const ProfileApps& p : rules.profiles) {
            if (!contains(existing, p.profile)) continue;
            for (const std::string& app : p.apps) {
                if (sameAppId(app, id)) return p.profile;
            }
        }
    }
    if (rules.defaultProfile && contains(existing, *rules.defaultProfile)) {
        return rules.defaultProfile;
    }
    return std::nullopt;
}

std::vector<std::string> missingProfiles(const AppRules& rules,
                                         std::span<const std::string> existing) {
    std::vector<std::string> out;
    const auto note = [&](const std::string& name) {
        if (!contains(existing, name) && !contains(out, name)) out.push_back(name);
    };
    for (const ProfileApps& p : rules.profiles) note(p.profile);
    if (rules.defaultProfile) note(*rules.defaultProfile);
    return out;
}

}  // namespace tavrik::appprofiles
