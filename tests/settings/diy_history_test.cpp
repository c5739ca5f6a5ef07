#include <gtest/gtest.h>

#include <memory>

#include "model/slot_table.h"
#include "settings/diy_history.h"
#include "settings/diy_paint.h"

namespace tavrik::settings::history_test {
namespace {
namespace img = model::image;

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};

class History : public ::testing::Test {
protected:
    History() : m_image(std::make_unique<model::Image>()) { image()[img::kEffect] = 51; }
    model::Image& image() { return *m_image; }
    // One user action: a stroke over the slots with the colour.
    void stroke(std::initializer_list<int> slots, Rgb colour) {
        m_history.begin(image());
        for (int s : slots) strokeDiyKey(image(), s, Stroke::Paint, colour);
        m_history.commit(image());
    }
    std::uint8_t red(int slot, std::size_t table = 0) const {
        return (*m_image)[diyCellOffset(table, slot) + 3];
    }

    DiyHistory m_history;
    std::unique_ptr<model::Image> m_image;
};

TEST_F(History, AStrokeIsOneStepUndoneAndRedoneWhole) {
    const model::Image start = image();
    stroke({21, 22, 23, 24}, kRed);
    const model::Image painted = image();
    EXPECT_EQ(m_history.undoCount(), 1u);
    EXPECT_TRUE(m_history.undo(image()));
    EXPECT_EQ(image(), start);
    EXPECT_FALSE(m_history.undo(image()));  // the bottom: nothing before the Save point
    EXPECT_EQ(image(), start);
    EXPECT_TRUE(m_history.redo(image()));
    EXPECT_EQ(image(), painted);
    EXPECT_FALSE(m_history.redo(image()));
}

TEST_F(History, StepsUndoInReverseOrderAndANewEditDropsTheRedoSteps) {
    stroke({63}, kRed);
    const model::Image afterFirst = image();
    stroke({63, 64}, kGreen);  // over the first one's key
    EXPECT_TRUE(m_history.undo(image()));
    EXPECT_EQ(image(), afterFirst);
    stroke({65}, kRed);
    EXPECT_EQ(m_history.redoCount(), 0u);
    EXPECT_FALSE(m_history.redo(image()));
    EXPECT_EQ(red(64), 0);
    EXPECT_EQ(red(65), 255);
    EXPECT_TRUE(m_history.undo(image()));
    EXPECT_TRUE(m_history.undo(image()));
    EXPECT_EQ(red(63), 0);
    EXPECT_EQ(m_history.undoCount(), 0u);
}

TEST_F(History, AnActionThatChangesNothingStoresNoStep) {
    m_history.begin(image());
    EXPECT_FALSE(m_history.commit(image()));
    EXPECT_FALSE(m_history.commit(image()));  // no step open
    stroke({63}, kRed);
    stroke({63}, kRed);  // the same colour again
    EXPECT_EQ(m_history.undoCount(), 1u);
    // A redo step survives an action that changed nothing.
    EXPECT_TRUE(m_history.undo(image()));
    m_history.record(image(), [] { return false; });
    EXPECT_EQ(m_history.redoCount(), 1u);
}

TEST_F(History, UndoLeavesEverythingOutsideTheDiyTablesAlone) {
    stroke({63}, kRed);
    // Another table is chosen after the edit: undo still puts the edited table's cells back,
    // and the effect byte stays as it is now.
    image()[img::kEffect] = 53;
    image()[img::kBrightness] = 33;
    EXPECT_TRUE(m_history.undo(image()));
    EXPECT_EQ(red(63, 0), 0);
    EXPECT_EQ(image()[img::kEffect], 53);
    EXPECT_EQ(image()[img::kBrightness], 33);
}

TEST_F(History, AnOpenStepIsClosedBeforeUndoAndBeforeTheNextStep) {
    const model::Image start = image();
    m_history.begin(image());
    strokeDiyKey(image(), 63, Stroke::Paint, kRed);  // a stroke whose release never came
    m_history.begin(image());                        // the next action
    strokeDiyKey(image(), 64, Stroke::Paint, kRed);
    EXPECT_TRUE(m_history.stepOpen());
    EXPECT_TRUE(m_history.undo(image()));  // closes the second, undoes it
    EXPECT_EQ(red(64), 0);
    EXPECT_EQ(red(63), 255);
    EXPECT_TRUE(m_history.undo(image()));
    EXPECT_EQ(image(), start);
}

TEST_F(History, ClearMakesTheImageNowTheBottom) {
    stroke({63}, kRed);
    stroke({64}, kRed);
    EXPECT_TRUE(m_history.undo(image()));
    m_history.begin(image());
    m_history.clear();  // a Save or a load; the open step goes too
    EXPECT_FALSE(m_history.stepOpen());
    const model::Image saved = image();
    EXPECT_FALSE(m_history.undo(image()));
    EXPECT_FALSE(m_history.redo(image()));
    EXPECT_EQ(image(), saved);
}

TEST_F(History, TheOldestStepsBeyondTheLimitAreForgotten) {
    const std::size_t steps = DiyHistory::kMaxSteps + 5;
    for (std::size_t i = 0; i < steps; ++i) {
        stroke({63}, Rgb{static_cast<std::uint8_t>(i + 1), 0, 0});
    }
    EXPECT_EQ(m_history.undoCount(), DiyHistory::kMaxSteps);
    while (m_history.undo(image())) {
    }
    // Back to the state after the fifth step (the first five are gone).
    EXPECT_EQ(red(63), 5);
}

TEST_F(History, FillAndClearOfTheWholeTableUndoInOneStep) {
    const model::Image start = image();
    EXPECT_TRUE(m_history.record(image(), [&] { return fillDiyTable(image(), kGreen); }));
    EXPECT_TRUE(m_history.record(image(), [&] { return clearDiyTable(image()); }));
    EXPECT_EQ(image(), start);
    EXPECT_TRUE(m_history.undo(image()));
    EXPECT_EQ(image()[diyCellOffset(0, 0) + 2], 255);
    EXPECT_EQ(image()[diyCellOffset(0, 105) + 2], 255);
    EXPECT_TRUE(m_history.undo(image()));
    EXPECT_EQ(image(), start);
}

}  // namespace
}  // namespace tavrik::settings::history_test
