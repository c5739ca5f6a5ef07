// When the keyboard switches profiles: the settle time, unsaved edits, failures and arrivals,
// choices by hand; time is given by the test.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "appprofiles/app_profile_texts.h"
#include "appprofiles/switch_planner.h"

namespace tavrik::appprofiles {
namespace {

using namespace std::chrono_literals;
using Names = std::vector<std::string>;

class Planner : public ::testing::Test {
protected:
    Planner() {
        appprofiles::bind(m_rules, "fps", "cs2");
        appprofiles::bind(m_rules, "work", "code");
    }
    Facts facts() const { return Facts{m_rules, m_profiles, m_unsaved, m_keyboard}; }
    std::optional<ActiveProfile> decide() { return m_planner.decide(facts(), m_now); }
    void focus(const std::string& id) { m_planner.focusChanged({id}, m_now); }
    // The switch decide() asks for, once the application has settled.
    std::optional<std::string> settleAndDecide() {
        m_now += kSettleTime;
        const auto p = decide();
        return p ? std::optional(p->name) : std::nullopt;
    }

    AppRules m_rules;
    Names m_profiles{"fps", "work", "plain"};
    bool m_unsaved = false;
    bool m_keyboard = true;
    TimePoint m_now{std::chrono::seconds(1000)};
    SwitchPlanner m_planner;
};

TEST_F(Planner, AFocusMustStayForTheSettleTimeAndAltTabbingCostsOneSwitch) {
    EXPECT_FALSE(decide());  // nothing known yet
    focus("cs2");
    EXPECT_EQ(m_planner.settlesAt(m_now), m_now + kSettleTime);
    m_now += kSettleTime - 1ms;
    EXPECT_FALSE(decide());
    // Alt-tab through three windows, 100 ms each: every change starts the settle time again.
    for (const char* id : {"code", "cs2", "code"}) {
        m_now += 100ms;
        focus(id);
        EXPECT_FALSE(decide());
    }
    m_now += kSettleTime;
    EXPECT_EQ(m_planner.settlesAt(m_now), std::nullopt);
    const auto p = decide();
    ASSERT_TRUE(p);
    EXPECT_EQ(*p, (ActiveProfile{"work", Choice::Automatic}));
    EXPECT_EQ(m_planner.status().state, SwitchState::Switching);
    EXPECT_FALSE(decide());  // one at a time
    m_planner.switchEnded(true);
    EXPECT_EQ(m_planner.status(), (SwitchStatus{SwitchState::Active, {"work", Choice::Automatic}}));
    // Back and forth ending on the same application: no switch at all.
    focus("cs2");
    m_now += 50ms;
    focus("code");
    EXPECT_EQ(settleAndDecide(), std::nullopt);
}

TEST_F(Planner, AnApplicationWithoutRuleOrDefaultLeavesTheKeyboardAsItIs) {
    focus("cs2");
    ASSERT_EQ(settleAndDecide(), "fps");
    m_planner.switchEnded(true);
    focus("firefox");
    EXPECT_EQ(settleAndDecide(), std::nullopt);
    EXPECT_EQ(m_planner.active()->name, "fps");
    setDefault(m_rules, "plain");
    EXPECT_EQ(decide()->name, "plain");  // a rule change is decided at once, settled already
}

TEST_F(Planner, UnsavedEditsMakeTheSwitchWaitUntilTheyAreGone) {
    focus("cs2");
    m_unsaved = true;
    EXPECT_EQ(settleAndDecide(), std::nullopt);
    EXPECT_EQ(m_planner.status(),
              (SwitchStatus{SwitchState::WaitingForEdits, {"fps", Choice::Automatic}}));
    EXPECT_EQ(statusText(m_planner.status())->en, text::kWaiting.en);
    m_now += 10s;
    EXPECT_FALSE(decide());  // however long
    m_unsaved = false;       // saved or cancelled
    EXPECT_EQ(decide()->name, "fps");
    // The app in front changed to one without a profile while waiting: nothing waits.
    m_planner.switchEnded(true);
    focus("code");
    m_unsaved = true;
    EXPECT_EQ(settleAndDecide(), std::nullopt);
    focus("firefox");
    EXPECT_EQ(settleAndDecide(), std::nullopt);
    EXPECT_EQ(m_planner.status().state, SwitchState::Active);
}

TEST_F(Planner, AFailedSwitchIsTriedAgainOnTheNextArrivalOnly) {
    focus("cs2");
    ASSERT_EQ(settleAndDecide(), "fps");
    m_planner.switchEnded(false);  // unplugged during the Save
    m_keyboard = false;
    EXPECT_EQ(m_planner.status(), (SwitchStatus{SwitchState::Failed, {"fps", Choice::Automatic}}));
    EXPECT_EQ(statusText(m_planner.status())->en, text::kFailed.en);
    EXPECT_FALSE(decide());
    m_keyboard = true;  // connected, but no arrival yet (the keyboard stopped answering)
    EXPECT_FALSE(decide());
    m_planner.keyboardArrived();
    EXPECT_EQ(decide()->name, "fps");
    m_planner.switchEnded(true);
    EXPECT_EQ(m_planner.status().state, SwitchState::Active);
    // No keyboard when the focus settles: reported, and done on arrival, for the app in front
    // then.
    m_keyboard = false;
    focus("code");
    EXPECT_EQ(settleAndDecide(), std::nullopt);
    EXPECT_EQ(m_planner.status(), (SwitchStatus{SwitchState::Failed, {"work", Choice::Automatic}}));
    focus("firefox");
    m_rules.defaultProfile = "plain";
    EXPECT_EQ(settleAndDecide(), std::nullopt);
    EXPECT_EQ(m_planner.status().profile.name, "plain");
    m_keyboard = true;
    m_planner.keyboardArrived();
    EXPECT_EQ(decide()->name, "plain");
}

TEST_F(Planner, AFailedSwitchDoesNotBlockAnotherProfileFromAKeyboardThatIsThere) {
    focus("cs2");
    ASSERT_EQ(settleAndDecide(), "fps");
    m_planner.switchEnded(false);  // no acknowledgement
    focus("code");
    EXPECT_EQ(settleAndDecide(), "work");
}

TEST_F(Planner, AChoiceByHandHoldsUntilTheApplicationInFrontChanges) {
    focus("cs2");
    ASSERT_EQ(settleAndDecide(), "fps");
    m_planner.switchEnded(true);
    m_planner.chooseByHand("plain");
    const auto p = decide();  // no settle time for a choice by hand
    ASSERT_TRUE(p);
    EXPECT_EQ(*p, (ActiveProfile{"plain", Choice::ByHand}));
    m_planner.switchEnded(true);
    EXPECT_EQ(statusText(m_planner.status())->en, text::kActiveByHand.en);
    m_now += 1h;
    EXPECT_FALSE(decide());  // the rule for cs2 does not take it back
    focus("code");
    EXPECT_EQ(settleAndDecide(), "work");
    m_planner.switchEnded(true);
    // Choosing the profile already on the keyboard sends nothing and marks it as chosen.
    m_planner.chooseByHand("work");
    EXPECT_FALSE(decide());
    EXPECT_EQ(m_planner.status(), (SwitchStatus{SwitchState::Active, {"work", Choice::ByHand}}));
    // A choice by hand waits for unsaved edits too.
    m_planner.chooseByHand("fps");
    m_unsaved = true;
    EXPECT_FALSE(decide());
    EXPECT_EQ(m_planner.status().state, SwitchState::WaitingForEdits);
}

TEST_F(Planner, RenamedAndDeletedProfilesAreFollowed) {
    focus("cs2");
    ASSERT_EQ(settleAndDecide(), "fps");
    m_planner.switchEnded(true);
    renameProfile(m_rules, "fps", "shooter");
    m_profiles = {"shooter", "work", "plain"};
    m_planner.profileRenamed("fps", "shooter");
    EXPECT_FALSE(decide());  // the same profile under its new name: nothing to send
    EXPECT_EQ(m_planner.active()->name, "shooter");
    m_planner.chooseByHand("plain");
    m_profiles = {"shooter", "work"};
    m_planner.profileRemoved("plain");
    EXPECT_FALSE(decide());
    removeProfile(m_rules, "shooter");
    m_profiles = {"work"};
    m_planner.profileRemoved("shooter");
    EXPECT_EQ(m_planner.status().state, SwitchState::None);
    EXPECT_FALSE(statusText(m_planner.status()));
}

}  // namespace
}  // namespace tavrik::appprofiles
