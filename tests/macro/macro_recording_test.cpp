#include <gtest/gtest.h>

#include "macro_test_support.h"

namespace tavrik::macro {
namespace {
using namespace testing;
using Lines = std::vector<std::string>;

class Recording : public ::testing::Test {
protected:
    void SetUp() override {
        putMacro(m_store, 0, "Macro_001", buffersOf({{0x01, kC}, {0x81, kC}}));
        m_editor.open(m_store);
    }
    void start(bool withDelay) {
        if (withDelay != m_editor.delayOption()) m_editor.flipDelayOption();
        ASSERT_FALSE(m_editor.toggleRecording().has_value());
    }
    void key(int vk, bool released, std::int64_t afterMs = 0) {
        m_clock.advanceMs(afterMs);
        m_editor.onHookKey(vk, released);
    }
    const MacroRecord& record() const { return m_editor.workingStore()[0]; }
    std::vector<std::uint8_t> device(std::size_t n) const {
        const auto s = deviceSequence(record());
        return {s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n)};
    }

    MacroStore m_store{};
    FakeClock m_clock;
    FakeHook m_hook;
    MacroEditor m_editor{m_hook, m_clock};
};

TEST_F(Recording, StartDiscardsEventsAtOnceAndNeedsASelection) {
    start(false);
    EXPECT_TRUE(m_hook.installed);
    EXPECT_TRUE(m_editor.eventLines().empty());
    EXPECT_EQ(device(4), (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(macroName(record()), "Macro_001");
    EXPECT_EQ(m_editor.recordButtonLabel().en, "Stop Recording");
    ASSERT_FALSE(m_editor.toggleRecording().has_value());
    EXPECT_FALSE(m_hook.installed);

    MacroEditor empty{m_hook, m_clock};
    empty.open(MacroStore{});
    const auto notice = empty.toggleRecording();
    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(notice->text.en, "Please select a Macro file to record \n");
    EXPECT_FALSE(empty.recording());
}

TEST_F(Recording, HeldKeyGivesOnePressAndOneRelease) {
    start(true);
    key(kA, false);
    for (int i = 0; i < 10; ++i) key(kA, false, 30);
    key(kA, true, 30);
    EXPECT_EQ(m_editor.eventLines(), (Lines{"A  dn", "330 ms", "A  up"}));
    EXPECT_EQ(device(6), (std::vector<std::uint8_t>{0x01, 0x04, 0xFF, 0x04, 0x01, 0x4A}));
}

TEST_F(Recording, WithoutDelayOptionEveryEventHasDelayOne) {
    start(false);
    key(kA, false);
    key(kB, false, 500);
    key(kA, true, 500);
    key(kB, true, 500);
    EXPECT_EQ(m_editor.eventLines(), (Lines{"A  dn", "B  dn", "A  up", "B  up"}));
    EXPECT_EQ(device(8),
              (std::vector<std::uint8_t>{0x01, 0x04, 0x01, 0x05, 0x81, 0x04, 0x81, 0x05}));
    EXPECT_EQ(keySequence(record())[3], kB);
    EXPECT_EQ(m_editor.selectedEventLine(), 3);
}

struct DelayCase {
    std::int64_t micros;
    Lines lines;
    std::vector<std::uint8_t> second;  // bytes of the release event
};
class RecordedDelay : public Recording, public ::testing::WithParamInterface<DelayCase> {};

TEST_P(RecordedDelay, IsMeasuredTruncatedAndCapped) {
    start(true);
    key(kA, false);
    m_clock.advanceUs(GetParam().micros);
    m_editor.onHookKey(kA, true);
    EXPECT_EQ(m_editor.eventLines(), GetParam().lines);
    const auto bytes = device(2 + GetParam().second.size());
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 2, bytes.end()), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Releases, RecordedDelay,
    ::testing::Values(DelayCase{250'000, {"A  dn", "250 ms", "A  up"}, {0xFF, 0x04, 0x00, 0xFA}},
                      DelayCase{3'000'999, {"A  dn", "3000 ms", "A  up"}, {0xFF, 0x04, 0x0B, 0xB8}},
                      DelayCase{
                          120'000'000, {"A  dn", "60000 ms", "A  up"}, {0xFF, 0x04, 0xEA, 0x60}},
                      DelayCase{126'999, {"A  dn", "126 ms", "A  up"}, {0xFE, 0x04}},
                      DelayCase{1'999, {"A  dn", "A  up"}, {0x81, 0x04}},
                      DelayCase{999, {"A  dn", "A  up"}, {0x80, 0x04}}));

TEST(DelayArithmetic, TruncatesCapsAndNeverOverflows) {
    EXPECT_EQ(elapsedMilliseconds(2'999'999, 1'000'000'000), 2);
    EXPECT_EQ(elapsedMilliseconds(3'579'545, 3'579'545), 1000);
    EXPECT_EQ(elapsedMilliseconds(-5, 1000), 0);
    EXPECT_EQ(elapsedMilliseconds(59'999'999'999, 1'000'000'000), 59999);
    EXPECT_EQ(elapsedMilliseconds(INT64_MAX, 1'000'000'000), 60000);
}

TEST_F(Recording, PressesStopAt184ButReleasesGoOnUntilTheBuffersAreFull) {
    start(false);
    for (int i = 0; i < 46; ++i) {  // 92 events = 184 bytes, alternating keys
        key(i % 2 ? kB : kA, false);
        key(i % 2 ? kB : kA, true);
    }
    key(kC, false);  // offset 184: dropped
    EXPECT_EQ(m_editor.eventLines().size(), 92u);
    key(kC, true);  // recorded
    key(kA, true);
    key(kB, true);  // offset 188: fits
    EXPECT_EQ(m_editor.eventLines().size(), 95u);
    key(kA, true);  // nothing fits any more: dropped, nothing written beyond
    EXPECT_EQ(m_editor.eventLines().size(), 95u);
    EXPECT_EQ(keySequence(record())[189], kB);
}

TEST_F(Recording, LongReleaseThatDoesNotFitIsDropped) {
    start(true);
    for (int i = 0; i < 46; ++i) {
        key(i % 2 ? kB : kA, false);
        key(i % 2 ? kB : kA, true);
    }
    ASSERT_EQ(eventsEnd(m_editor.buffers()), 184u);
    key(kC, true, 5000);  // long form at 184: fits (188)
    key(kA, true, 5000);  // long form at 188: would reach 192
    EXPECT_EQ(eventsEnd(m_editor.buffers()), 188u);
    EXPECT_EQ(m_editor.eventLines().back(), "C  up");
}

TEST_F(Recording, KeysWithoutUsageAreRefused) {
    start(true);
    key(kA, false);
    key(7, false, 300);
    key(7, true, 300);
    key(kA, true, 300);
    // A refused key still restarts the measurement.
    EXPECT_EQ(m_editor.eventLines(), (Lines{"A  dn", "300 ms", "A  up"}));
}

TEST_F(Recording, HookFailureRecordsNothing) {
    m_hook.result = false;
    start(false);
    EXPECT_TRUE(m_editor.recording());
    key(kA, false);
    EXPECT_TRUE(m_editor.eventLines().empty());
}

TEST_F(Recording, SelectingAnotherMacroAppendsToIt) {
    putMacro(m_store, 1, "Macro_002", buffersOf({{0x01, kB}, {0x81, kB}}));
    m_editor.open(m_store);
    start(false);
    m_editor.selectMacro(1);
    key(kA, false);
    EXPECT_EQ(m_editor.eventLines(), (Lines{"B  dn", "B  up", "A  dn"}));
    EXPECT_EQ(keySequence(m_editor.workingStore()[1])[5], kA);
}

}  // namespace
}  // namespace tavrik::macro
