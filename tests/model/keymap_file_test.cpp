#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "common/atomic_file.h"
#include "model/config_model.h"
#include "model/slot_table.h"

namespace tavrik::model {
namespace {
namespace fs = std::filesystem;

class KeymapFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir =
            fs::temp_directory_path() /
            ("tavrik-keymap-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(m_dir, fs::perms::owner_all, ec);
        fs::remove_all(m_dir);
    }
    fs::path path() const { return m_dir / kKeymapFileName; }
    void writeBytes(const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    fs::path m_dir;
};

TEST_F(KeymapFile, MissingFileIsCreatedWithZeroTable) {
    ConfigModel model(path());
    ASSERT_TRUE(model.startup());
    ASSERT_EQ(fs::file_size(path()), kKeymapFileSize);
    auto bytes = readWholeFile(path());
    EXPECT_TRUE(std::all_of(bytes->begin(), bytes->end(), [](auto b) { return b == 0; }));
    // Start-up fills the own codes in memory even though the file was just created.
    model.withLock([](ConfigState& s) {
        EXPECT_EQ(keyAction(s.actions, 0).ownCode(), 27);
        EXPECT_EQ(s.syncedActions, s.actions);
    });
}

TEST_F(KeymapFile, ShortFileFillsWhatItHas) {
    std::vector<std::uint8_t> bytes(kImageSize, 0x11);
    writeBytes(bytes);
    ConfigModel model(path());
    ASSERT_TRUE(model.startup());
    model.withLock([](ConfigState& s) {
        EXPECT_EQ(s.image[kImageSize - 1], 0x11);
        EXPECT_EQ(keyAction(s.actions, 5).kind(), 0);
        EXPECT_EQ(keyAction(s.actions, 5).ownCode(), slot(5).code);
    });
    EXPECT_EQ(fs::file_size(path()), kImageSize);  // a load never rewrites the file
}

TEST_F(KeymapFile, KeepImageReplacesOnlyTheTable) {
    ConfigState s;
    s.image[image::kEffect] = 3;
    keyAction(s.actions, 7).setKind(2);
    ASSERT_TRUE(saveConfigFile(path(), s.image, s.actions));

    ConfigState mem;
    mem.image[image::kEffect] = 12;
    ASSERT_TRUE(loadKeymap(mem, path(), KeymapPart::ActionsOnly));
    EXPECT_EQ(mem.image[image::kEffect], 12);
    EXPECT_EQ(keyAction(mem.actions, 7).kind(), 2);
}

TEST_F(KeymapFile, OversizedAndGarbageFilesStayInsideTheBlocks) {
    std::vector<std::uint8_t> bytes(kKeymapFileSize + 5000, 0xAB);
    writeBytes(bytes);
    ConfigState s;
    ASSERT_TRUE(loadKeymap(s, path(), KeymapPart::Whole));
    EXPECT_EQ(s.image[0], 0xAB);
    EXPECT_EQ(s.actions.back(), 0xAB);
    EXPECT_EQ(keyAction(s.actions, 0).ownCode(), 27);
}

TEST_F(KeymapFile, SaveReplacesWholeAndSyncedSaveDropsEdits) {
    ConfigModel model(path());
    ASSERT_TRUE(model.startup());
    model.withLock([](ConfigState& s) { s.image[image::kBrightness] = 44; });
    ASSERT_TRUE(model.save());
    EXPECT_EQ((*readWholeFile(path()))[image::kBrightness], 44);
    ASSERT_TRUE(model.saveSynced());
    EXPECT_EQ((*readWholeFile(path()))[image::kBrightness], 0);
    EXPECT_EQ(fs::file_size(path()), kKeymapFileSize);
    for (const auto& e : fs::directory_iterator(m_dir)) {
        EXPECT_EQ(e.path().filename(), kKeymapFileName) << "temporary file left behind";
    }
}

TEST_F(KeymapFile, FailedSaveKeepsTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    ConfigState s;
    s.image[0] = 1;
    ASSERT_TRUE(saveConfigFile(path(), s.image, s.actions));
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    s.image[0] = 2;
    Status st = saveConfigFile(path(), s.image, s.actions);
    EXPECT_FALSE(st);
    EXPECT_EQ(st.error().kind, ErrorKind::System);
    EXPECT_EQ((*readWholeFile(path()))[0], 1);
}

TEST_F(KeymapFile, FailedReplaceReportsAndLeavesNoTemporaryFile) {
    // A non-empty folder in the file's place cannot be replaced, not even by root.
    fs::create_directories(path() / "keep");
    ConfigState s;
    Status st = saveConfigFile(path(), s.image, s.actions);
    EXPECT_FALSE(st);
    EXPECT_EQ(st.error().kind, ErrorKind::System);
    EXPECT_TRUE(fs::is_directory(path() / "keep"));
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(m_dir)) ++entries;
    EXPECT_EQ(entries, 1) << "temporary file left behind";
}

TEST_F(KeymapFile, UnreadableFileIsNeitherLoadedNorOverwritten) {
    fs::create_directory(path());  // a folder where the file should be: exists, cannot be read
    ConfigState s;
    s.image[3] = 9;
    auto r = loadKeymap(s, path(), KeymapPart::Whole);
    EXPECT_FALSE(r);
    EXPECT_EQ(s.image[3], 9);
    EXPECT_TRUE(fs::is_directory(path()));
}

}  // namespace
}  // namespace tavrik::model
