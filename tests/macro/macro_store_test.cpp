#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include <unistd.h>

#include "../support/run_in_child.h"
#include "common/atomic_file.h"
#include "macro/macro_store.h"
#include "macro_test_support.h"

namespace tavrik::macro {
namespace {
namespace fs = std::filesystem;
using namespace testing;

class MacroFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("tavrik-macro-" + std::to_string(::getpid()) +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path path() const { return m_dir / kMacroFileName; }
    void write(const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    fs::path m_dir;
    MacroStore m_store{};
};

TEST_F(MacroFile, MissingFileIsCreatedEmpty) {
    m_store[0][0] = 'x';
    auto r = loadMacroFile(m_store, path());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(*r, MacroLoad::Created);
    EXPECT_EQ(macroCount(m_store), 0u);
    auto bytes = readWholeFile(path());
    ASSERT_TRUE(bytes.ok());
    EXPECT_EQ(bytes->size(), kStoreSize);
    EXPECT_TRUE(std::ranges::all_of(*bytes, [](auto b) { return b == 0; }));
}

TEST_F(MacroFile, ShortFileLeavesRestZeroAndLongFileIsCut) {
    std::vector<std::uint8_t> bytes(record::kSize + 3, 0xAB);
    write(bytes);
    m_store[1].fill(0x55);
    ASSERT_TRUE(loadMacroFile(m_store, path()).ok());
    EXPECT_EQ(m_store[0][record::kReserved], 0xAB);
    EXPECT_EQ(m_store[1][2], 0xAB);
    EXPECT_EQ(m_store[1][3], 0);
    EXPECT_EQ(m_store[2][0], 0);

    write(std::vector<std::uint8_t>(kStoreSize + 100, 0x11));
    ASSERT_TRUE(loadMacroFile(m_store, path()).ok());
    EXPECT_EQ(m_store.back().back(), 0x11);
}

TEST_F(MacroFile, SaveThenLoadRoundTrips) {
    putMacro(m_store, 0, "Macro_001", buffersOf({{0x01, kA}, {0xFF, kA, 250}}), 300);
    putMacro(m_store, 1, "宏", buffersOf({{0x01, kB}}));
    ASSERT_TRUE(saveMacroFile(m_store, path()).ok());
    EXPECT_EQ(fs::file_size(path()), kStoreSize);
    MacroStore loaded{};
    ASSERT_TRUE(loadMacroFile(loaded, path()).ok());
    EXPECT_EQ(loaded, m_store);
    EXPECT_EQ(macroName(loaded[1]), "宏");
    EXPECT_EQ(loopCount(loaded[0]), 300);
    EXPECT_EQ(loaded[0][record::kLoopCount], 0x2C);  // little-endian on the host
}

TEST_F(MacroFile, UnreadableFileIsNeverReplaced) {
    fs::create_directory(path());  // exists, but cannot be read as a file
    fs::path inside = path() / "keep";
    std::ofstream(inside) << "x";
    m_store[0][0] = 'x';
    auto r = loadMacroFile(m_store, path());
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(macroCount(m_store), 0u);
    EXPECT_TRUE(fs::exists(inside));
}

TEST(MacroSlots, LoopCountBigEndianThenDeviceSequence) {
    MacroStore store{};
    putMacro(store, 0, "one", buffersOf({{0x01, kA}, {0x81, kA}}), 300);
    model::Image image{};
    buildMacroSlots(store, image);
    const std::size_t at = model::image::macroSlot(0);
    EXPECT_EQ(image[at], 0x01);
    EXPECT_EQ(image[at + 1], 0x2C);
    EXPECT_EQ(image[at + 2], 0x01);
    EXPECT_EQ(image[at + 3], 0x04);  // usage of A, not its key-table code
    EXPECT_EQ(image[at + 5], 0x04);
}

// Run as an ordinary user: a MacroDefine.bin it may not read is neither shown as an empty store
// that OK would then store, nor replaced at start-up or by OK.
TEST_F(MacroFile, UnreadableFileIsNeverReplacedAsAnOrdinaryUser) {
    fs::permissions(m_dir, fs::perms::all);
    std::vector<std::uint8_t> original(kStoreSize);
    for (std::size_t i = 0; i < original.size(); ++i) original[i] = static_cast<std::uint8_t>(i);
    write(original);
    fs::permissions(path(), fs::perms::none);
    const int code = test::runInChild(
        [&] {
            auto store = std::make_unique<MacroStore>();
            if (loadMacroFile(*store, path()).ok()) return 2;
            putMacro(*store, 0, "new", buffersOf({{0x01, kA}}));
            return saveMacroFile(*store, path()).ok() ? 3 : 0;
        },
        true);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(fs::status(path()).permissions(), fs::perms::none);
    EXPECT_EQ(*readWholeFile(path()), original);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(m_dir)) ++entries;
    EXPECT_EQ(entries, 1) << "temporary file left behind";
}

TEST(MacroSlots, StopAtFirstFreeRecordAndKeepLaterSlots) {
    MacroStore store{};
    putMacro(store, 1, "after a gap", buffersOf({{0x01, kA}}));
    model::Image image{};
    image[model::image::macroSlot(1)] = 0x77;
    buildMacroSlots(store, image);
    EXPECT_TRUE(std::ranges::all_of(image, [](auto b) { return b == 0 || b == 0x77; }));
    EXPECT_EQ(image[model::image::macroSlot(1)], 0x77);
}

TEST(MacroSlots, NeverWritePastThe32Slots) {
    MacroStore store{};
    for (std::size_t i = 0; i < 40; ++i) putMacro(store, i, "m" + std::to_string(i), {}, 0xFFFF);
    model::Image image{};
    buildMacroSlots(store, image);
    EXPECT_EQ(image[model::image::macroSlot(31)], 0xFF);
    EXPECT_EQ(image[model::image::kMacroArea + model::image::kMacroAreaSize], 0);
}

}  // namespace
}  // namespace tavrik::macro
