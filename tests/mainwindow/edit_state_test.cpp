// The pending-edit mark and the confirmation after a Save that reached the keyboard.

#include <gtest/gtest.h>

#include "mainwindow/edit_state.h"

namespace tavrik::mainwindow {
namespace {

using Clock = SaveConfirmation::Clock;

TEST(PendingEdits, FollowEditsOfImageAndActionsUntilSyncedOrReverted) {
    model::ConfigState s;
    EXPECT_FALSE(pendingEdits(s));
    s.image[5] ^= 1;
    EXPECT_TRUE(pendingEdits(s));
    model::snapshot(s);  // what a Save that reached the keyboard leaves
    EXPECT_FALSE(pendingEdits(s));
    s.actions[3] ^= 1;
    EXPECT_TRUE(pendingEdits(s));
    model::revert(s);  // Cancel
    EXPECT_FALSE(pendingEdits(s));
    // The changed-key marks alone are no edit to send.
    s.changedKeys[0] = 1;
    EXPECT_FALSE(pendingEdits(s));
}

TEST(SaveConfirmation, ShownOnlyAfterASaveThatReachedTheKeyboardAndOnlyForAWhile) {
    const Clock::time_point t0{};
    SaveConfirmation c;
    EXPECT_EQ(c.mark(false, t0), EditMark::None);
    EXPECT_EQ(c.mark(true, t0), EditMark::Pending);

    c.saveFinished(false, t0);  // failed, or nothing to send to
    EXPECT_EQ(c.mark(false, t0), EditMark::None);
    EXPECT_FALSE(c.endsAt());

    c.saveFinished(true, t0);
    EXPECT_EQ(c.mark(false, t0), EditMark::Saved);
    EXPECT_EQ(c.mark(false, t0 + SaveConfirmation::kShown - std::chrono::milliseconds(1)),
              EditMark::Saved);
    EXPECT_EQ(c.mark(false, t0 + SaveConfirmation::kShown), EditMark::None);
    ASSERT_TRUE(c.endsAt());
    EXPECT_EQ(*c.endsAt(), t0 + SaveConfirmation::kShown);
    // A new edit replaces the confirmation at once.
    EXPECT_EQ(c.mark(true, t0), EditMark::Pending);

    // A failed Save after a good one takes the confirmation back.
    c.saveFinished(true, t0);
    c.saveFinished(false, t0 + std::chrono::seconds(1));
    EXPECT_EQ(c.mark(false, t0 + std::chrono::seconds(1)), EditMark::None);
}

TEST(EditMarkText, SaysEachStateInBothLanguages) {
    for (const Language lang : {Language::English, Language::Chinese}) {
        EXPECT_TRUE(editMarkText(EditMark::None, lang).empty());
        EXPECT_EQ(editMarkText(EditMark::Pending, lang), kStatusPending.in(lang));
        EXPECT_EQ(editMarkText(EditMark::Saved, lang), kStatusSaved.in(lang));
        EXPECT_NE(editMarkText(EditMark::Pending, lang), editMarkText(EditMark::Saved, lang));
    }
    EXPECT_NE(kStatusPending.en, kStatusPending.zh);
}

}  // namespace
}  // namespace tavrik::mainwindow
