// The session's thread rules where asserts are on: a job's completion runs on the worker, which
// must not wait for itself nor join itself. Skipped with NDEBUG, where such a call would hang.
#include <gtest/gtest.h>

#include "session_fixture.h"

namespace tavrik::device {
namespace {

using testing_support::SessionRig;

#ifdef NDEBUG
constexpr bool kSessionAssertsOn = false;
#else
constexpr bool kSessionAssertsOn = true;
#endif

class SessionThreads : public testing::Test {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        if (!kSessionAssertsOn) GTEST_SKIP() << "asserts are off";
    }
};

TEST_F(SessionThreads, WaitingForIdleFromAJobAborts) {
    EXPECT_DEATH(
        {
            SessionRig rig;
            rig.session->save([&rig](const Status&) { rig.session->waitIdle(); });
            rig.session->waitIdle();
        },
        "isCurrent");
}

TEST_F(SessionThreads, ClosingFromAJobAborts) {
    EXPECT_DEATH(
        {
            SessionRig rig;
            rig.session->save([&rig](const Status&) { rig.session->close(); });
            rig.session->waitIdle();
        },
        "isCurrent");
}

}  // namespace
}  // namespace tavrik::device
