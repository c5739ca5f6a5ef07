// What the model checks where asserts are on: the owner's thread for in-place access, and the
// index ranges of the slot and image layout helpers. A wrong call aborts; the checks are gone
// with NDEBUG, where these cases are skipped.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "model/config_model.h"
#include "model/image_layout.h"
#include "model/key_action.h"
#include "model/slot_table.h"

namespace tavrik::model {
namespace {

#ifdef NDEBUG
constexpr bool kAssertsOn = false;
#else
constexpr bool kAssertsOn = true;
#endif

// An index the compiler cannot see, so that the helpers run as at run time.
template <typename T>
T opaque(T value) {
    volatile T v = value;
    return v;
}

class OwnerThread : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    ConfigModel model{std::filesystem::temp_directory_path() / "tavrik-precondition-keymap.bin"};
};

// A device job's three calls are for any thread.
TEST_F(OwnerThread, AnyThreadCopiesAndMergesBack) {
    model.withLock([](ConfigState& s) { s.image[image::kBrightness] = 3; });
    std::thread job([this] {
        const auto base = model.copy();
        ConfigState result = *base;
        result.image[image::kSpeed] = 4;
        model.merge(*base, result);
    });
    job.join();
    const ConfigState s = model.withLock([](const ConfigState& state) { return state; });
    EXPECT_EQ(s.image[image::kBrightness], 3);
    EXPECT_EQ(s.image[image::kSpeed], 4);
}

TEST_F(OwnerThread, InPlaceAccessFromAnotherThreadAborts) {
    if (!kAssertsOn) GTEST_SKIP() << "asserts are off";
    EXPECT_DEATH(
        {
            std::thread other(
                [this] { model.withLock([](ConfigState& s) { s.image[image::kSpeed] = 1; }); });
            other.join();
        },
        "isCurrent");
    EXPECT_DEATH(
        {
            std::thread other([this] { auto guard = model.lock(); });
            other.join();
        },
        "isCurrent");
}

// A process that hands the model to another thread binds it there; the new owner edits, the
// old one may not any more.
TEST_F(OwnerThread, BindingHandsTheModelOver) {
    std::thread next([this] {
        model.bindToThisThread();
        model.withLock([](ConfigState& s) { s.image[image::kSpeed] = 2; });
        EXPECT_EQ(model.copy()->image[image::kSpeed], 2);
    });
    next.join();
    if (!kAssertsOn) return;
    EXPECT_DEATH(model.withLock([](ConfigState&) {}), "isCurrent");
}

TEST(LayoutPreconditions, SlotIndexBeyondTheTableAborts) {
    if (!kAssertsOn) GTEST_SKIP() << "asserts are off";
    EXPECT_DEATH(cellOffset(opaque(kSlotCount)), "kSlotCount");
    EXPECT_DEATH(enableByte(opaque(-1)), "kSlotCount");
    KeyActionTable actions{};
    EXPECT_DEATH(keyAction(actions, opaque(kKeyActionCount)), "kKeyActionCount");
}

TEST(LayoutPreconditions, RegionIndexBeyondItsCountAborts) {
    if (!kAssertsOn) GTEST_SKIP() << "asserts are off";
    EXPECT_EQ(image::macroSlot(opaque(image::kMacroSlotCount - 1)) + image::kMacroSlotSize,
              image::kMacroArea + image::kMacroAreaSize);
    EXPECT_DEATH(image::macroSlot(opaque(image::kMacroSlotCount)), "kMacroSlotCount");
    EXPECT_DEATH(image::diyTable(opaque(image::kDiyTableCount)), "kDiyTableCount");
    EXPECT_DEATH(image::colourEntry(opaque(image::kColourEntryCount)), "kColourEntryCount");
}

}  // namespace
}  // namespace tavrik::model
