// Binding profiles to applications and choosing the profile for the application in front.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "appprofiles/app_rules.h"

namespace tavrik::appprofiles {
namespace {

using Names = std::vector<std::string>;

Names appsIn(const AppRules& r, const char* profile) {
    const auto apps = appsOf(r, profile);
    return {apps.begin(), apps.end()};
}

AppRules gameAndWork() {
    AppRules r;
    appprofiles::bind(r, "fps", "cs2");
    appprofiles::bind(r, "fps", "Steam");
    appprofiles::bind(r, "work", "org.gnome.TextEditor");
    setDefault(r, "work");
    return r;
}

TEST(AppRules, IdsMatchWithoutRegardToAsciiCaseOnly) {
    EXPECT_TRUE(sameAppId("Firefox", "firefox"));
    EXPECT_TRUE(sameAppId("ORG.KDE.KATE", "org.kde.kate"));
    EXPECT_FALSE(sameAppId("firefox", "firefox-esr"));
    EXPECT_FALSE(sameAppId("", "a"));
    // Bytes beyond ASCII are not folded: "É" and "é" stay different ids.
    EXPECT_FALSE(sameAppId("\xC3\x89", "\xC3\xA9"));
}

TEST(AppRules, AnApplicationBelongsToOneProfileAndMovesWhenBoundElsewhere) {
    AppRules r = gameAndWork();
    EXPECT_EQ(appprofiles::bind(r, "fps", "CS2"), Edit::Changed);  // the id as typed last
    EXPECT_EQ(appsIn(r, "fps"), (Names{"CS2", "Steam"}));
    EXPECT_EQ(appprofiles::bind(r, "fps", "CS2"), Edit::Unchanged);
    EXPECT_EQ(appprofiles::bind(r, "work", "steam"), Edit::Changed);
    EXPECT_EQ(appsIn(r, "fps"), (Names{"CS2"}));
    EXPECT_EQ(appsIn(r, "work"), (Names{"org.gnome.TextEditor", "steam"}));
    // The last application of a profile leaves no empty entry behind.
    EXPECT_EQ(unbind(r, "fps", "cs2"), Edit::Changed);
    EXPECT_TRUE(appsOf(r, "fps").empty());
    EXPECT_EQ(r.profiles.size(), 1u);
    EXPECT_EQ(unbind(r, "fps", "cs2"), Edit::Unchanged);
    EXPECT_EQ(unbind(r, "nope", "cs2"), Edit::Unchanged);
}

TEST(AppRules, TheNumberOfBindingsIsBounded) {
    AppRules r;
    for (std::size_t i = 0; i < kMaxBindings; ++i) {
        ASSERT_EQ(appprofiles::bind(r, i % 2 ? "a" : "b", "app" + std::to_string(i)),
                  Edit::Changed);
    }
    EXPECT_EQ(appprofiles::bind(r, "a", "one-more"), Edit::TooMany);
    // Moving one that is bound already adds none.
    EXPECT_EQ(appprofiles::bind(r, "a", "app0"), Edit::Changed);
    EXPECT_EQ(bindingCount(r), kMaxBindings);
}

TEST(AppRules, TypedIdsAreChecked) {
    EXPECT_EQ(appIdProblem(""), AppIdProblem::Empty);
    EXPECT_EQ(appIdProblem(std::string(kMaxAppIdBytes + 1, 'a')), AppIdProblem::TooLong);
    EXPECT_FALSE(appIdProblem(std::string(kMaxAppIdBytes, 'a')));
    EXPECT_EQ(appIdProblem("a\nb"), AppIdProblem::ControlCharacter);
    EXPECT_EQ(appIdProblem("a\x7f"), AppIdProblem::ControlCharacter);
    EXPECT_FALSE(appIdProblem("org.mozilla.firefox"));
    EXPECT_FALSE(appIdProblem("\xE5\xBE\xAE\xE4\xBF\xA1"));  // UTF-8 is fine
}

TEST(AppRules, TheFirstIdARuleNamesWinsThenTheDefault) {
    const AppRules r = gameAndWork();
    const Names all{"fps", "work", "other"};
    // WM_CLASS instance, class, executable: the most specific id that a rule names decides.
    EXPECT_EQ(profileFor(r, Names{"steamwebhelper", "steam", "steam"}, all), "fps");
    EXPECT_EQ(profileFor(r, Names{"org.gnome.texteditor"}, all), "work");
    EXPECT_EQ(profileFor(r, Names{"firefox"}, all), "work");  // the default
    EXPECT_EQ(profileFor(r, Names{}, all), "work");           // nothing in front: the default
    AppRules noDefault = r;
    setDefault(noDefault, std::nullopt);
    EXPECT_EQ(profileFor(noDefault, Names{"firefox"}, all), std::nullopt);
}

TEST(AppRules, RulesOfMissingProfilesAreKeptButInactive) {
    const AppRules r = gameAndWork();
    // "fps" was deleted behind the tool's back: its application falls to the default.
    EXPECT_EQ(profileFor(r, Names{"cs2"}, Names{"work"}), "work");
    EXPECT_EQ(missingProfiles(r, Names{"work"}), (Names{"fps"}));
    // Without the default's profile nothing is chosen.
    EXPECT_EQ(profileFor(r, Names{"cs2"}, Names{"other"}), std::nullopt);
    EXPECT_EQ(missingProfiles(r, Names{"other"}), (Names{"fps", "work"}));
    EXPECT_EQ(appsOf(r, "fps").size(), 2u);  // still there
}

TEST(AppRules, RenameCarriesBindingsAndTheDefaultDeleteRemovesThem) {
    AppRules r = gameAndWork();
    EXPECT_EQ(renameProfile(r, "work", "office"), Edit::Changed);
    EXPECT_EQ(r.defaultProfile, "office");
    EXPECT_EQ(appsIn(r, "office"), (Names{"org.gnome.TextEditor"}));
    EXPECT_TRUE(appsOf(r, "work").empty());
    EXPECT_EQ(renameProfile(r, "absent", "x"), Edit::Unchanged);
    // Renamed onto the name of inactive rules: the applications join, each once.
    appprofiles::bind(r, "ghost", "cs2");
    appprofiles::bind(r, "ghost", "vim");
    appprofiles::bind(r, "fps", "quake");
    EXPECT_EQ(renameProfile(r, "fps", "ghost"), Edit::Changed);
    EXPECT_EQ(appsIn(r, "ghost"), (Names{"cs2", "vim", "Steam", "quake"}));
    EXPECT_EQ(removeProfile(r, "office"), Edit::Changed);
    EXPECT_EQ(r.defaultProfile, std::nullopt);
    EXPECT_TRUE(appsOf(r, "office").empty());
    EXPECT_EQ(removeProfile(r, "office"), Edit::Unchanged);
}

}  // namespace
}  // namespace tavrik::appprofiles
