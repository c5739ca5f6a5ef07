#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "../support/run_in_child.h"
#include "common/atomic_file.h"
#include "model/keymap_file.h"
#include "model/slot_table.h"
#include "profiles/profile_store.h"

namespace tavrik::profiles {
namespace {
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class ProfileStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() /
                 ("tavrik-profiles-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_root);
        fs::create_directories(folder());
    }
    void TearDown() override { fs::remove_all(m_root); }

    fs::path folder() const { return profileFolder(m_root / "data"); }
    fs::path file(const std::string& name) const { return folder() / (name + ".bin"); }
    static void write(const fs::path& path, const Bytes& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    static Bytes read(const fs::path& path) { return readWholeFile(path).value(); }
    // Every file below the test root with its contents, to prove nothing else changed.
    std::vector<std::pair<fs::path, Bytes>> snapshotDisk() const {
        std::vector<std::pair<fs::path, Bytes>> out;
        for (const auto& e : fs::recursive_directory_iterator(m_root)) {
            if (e.is_regular_file()) out.emplace_back(e.path(), read(e.path()));
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    static Bytes pattern(std::size_t n, std::uint8_t seed) {
        Bytes b(n);
        for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(seed + i * 7);
        return b;
    }

    fs::path m_root;
};

TEST_F(ProfileStoreTest, NewInEmptyFolderWritesZeroImageAndFillsGaps) {
    ProfileStore store(folder());
    EXPECT_TRUE(store.rows().empty());
    const Outcome out = store.createNew();
    EXPECT_TRUE(out.changed);
    EXPECT_FALSE(out.message);
    ASSERT_EQ(store.rows(), std::vector<std::string>{"Profile_1"});
    const Bytes bytes = read(file("Profile_1"));
    EXPECT_EQ(bytes, Bytes(model::kImageSize, 0));

    fs::rename(file("Profile_1"), file("Profile_3"));
    write(file("Profile_1"), {});
    store.relist();
    ASSERT_TRUE(store.createNew().changed);
    EXPECT_EQ(store.rows(), (std::vector<std::string>{"Profile_1", "Profile_2", "Profile_3"}));
}

TEST_F(ProfileStoreTest, NewAndCopyCreateAMissingFolder) {
    fs::remove_all(folder());
    ProfileStore store(folder());
    ASSERT_TRUE(store.createNew().changed);
    ASSERT_TRUE(fs::is_regular_file(file("Profile_1")));
    fs::remove_all(folder());
    store.relist();
    EXPECT_TRUE(store.rows().empty());
}

TEST_F(ProfileStoreTest, WriteFailureIsReportedNotSwallowed) {
    fs::remove_all(folder());
    write(folder(), {1});  // a plain file where the folder should be
    ProfileStore store(folder());
    const Outcome out = store.createNew();
    EXPECT_FALSE(out.changed);
    ASSERT_TRUE(out.message);
    EXPECT_EQ(out.message->text.en, text::kWriteFailed.en);
}

TEST_F(ProfileStoreTest, SixProfilesRefuseNewAndCopyAndASeventhIsNotListed) {
    for (int i = 1; i <= 7; ++i) write(file("P" + std::to_string(i)), {});
    fs::create_directory(folder() / "A.bin");  // folders never list
    write(folder() / "notes.txt", {});
    ProfileStore store(folder());
    ASSERT_EQ(store.rows(), (std::vector<std::string>{"P1", "P2", "P3", "P4", "P5", "P6"}));

    const auto before = snapshotDisk();
    const Outcome created = store.createNew();
    EXPECT_FALSE(created.changed);
    ASSERT_TRUE(created.message);
    EXPECT_EQ(*created.message, Message{text::kLimit});
    EXPECT_FALSE(store.canCopy(0));
    const Outcome copied = store.copy(0, Language::English);
    EXPECT_FALSE(copied.changed);
    EXPECT_FALSE(copied.message);
    EXPECT_EQ(snapshotDisk(), before);
}

TEST_F(ProfileStoreTest, CopiesAreNumberedAndFullSize) {
    const Bytes source = pattern(model::kImageSize + 100, 3);  // a short file
    write(file("Profile_1"), source);
    ProfileStore store(folder());
    ASSERT_TRUE(store.copy(0, Language::English).changed);
    ASSERT_EQ(store.rows().back(), "Profile_1");  // the copy lists first
    ASSERT_TRUE(store.copy(1, Language::English).changed);
    EXPECT_EQ(store.rows(), (std::vector<std::string>{"Copy of ? Profile_1",
                                                      "Copy of ? Profile_1 1", "Profile_1"}));
    for (const char* name : {"Copy of ? Profile_1", "Copy of ? Profile_1 1"}) {
        const Bytes copy = read(file(name));
        ASSERT_EQ(copy.size(), model::kKeymapFileSize) << name;
        EXPECT_TRUE(std::equal(source.begin(), source.end(), copy.begin())) << name;
        EXPECT_TRUE(std::all_of(copy.begin() + static_cast<long>(source.size()), copy.end(),
                                [](auto b) { return b == 0; }))
            << name;
    }
    EXPECT_EQ(store.copy(std::nullopt, Language::English).message, Message{text::kSelectToCopy});
    ASSERT_TRUE(store.copy(2, Language::Chinese).changed);
    EXPECT_TRUE(fs::exists(file("复制  Profile_1")));
}

class LoadSave : public ProfileStoreTest {
protected:
    void SetUp() override {
        ProfileStoreTest::SetUp();
        m_image->fill(0x11);
        m_actions->fill(0x22);
        write(file("Target"), {});
        write(file("Other"), {});
    }
    std::unique_ptr<model::Image> m_image = std::make_unique<model::Image>();
    std::unique_ptr<model::KeyActionTable> m_actions = std::make_unique<model::KeyActionTable>();
};

TEST_F(LoadSave, LoadOfImageOnlyFileKeepsTheTableAndStoresBoth) {
    const fs::path chosen = m_root / "image-only.bin";
    write(chosen, Bytes(model::kImageSize, 0x33));
    ProfileStore store(folder());
    ASSERT_EQ(store.rows()[1], "Target");
    ASSERT_TRUE(store.load(1, chosen, *m_image, *m_actions).changed);
    EXPECT_TRUE(std::all_of(m_image->begin(), m_image->end(), [](auto b) { return b == 0x33; }));
    // The table stays, but every own code is set from the slot table (Esc = 27 in slot 0).
    for (int slot = 0; slot < model::kKeyActionCount; ++slot) {
        const auto record = model::keyActionBytes(*m_actions, slot);
        EXPECT_EQ(record[0], slot < model::kSlotCount ? model::slot(slot).code : 0x22) << slot;
        EXPECT_TRUE(
            std::all_of(record.begin() + 1, record.end(), [](auto b) { return b == 0x22; }));
    }
    const Bytes stored = read(file("Target"));
    ASSERT_EQ(stored.size(), model::kKeymapFileSize);
    EXPECT_EQ(stored[model::kImageSize - 1], 0x33);
    EXPECT_EQ(stored[model::kImageSize], 27);
    EXPECT_EQ(stored[model::kImageSize + 1], 0x22);
    EXPECT_TRUE(read(file("Other")).empty());
}

TEST_F(LoadSave, LoadWithoutChosenFileStoresMemoryAndAnUnreadableOneChangesNothing) {
    ProfileStore store(folder());
    const auto before = snapshotDisk();
    // The chosen file went away, or is a folder or a FIFO: refused, memory and disk unchanged.
    const fs::path fifo = m_root / "fifo.bin";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const fs::path& chosen : {m_root / "missing.bin", m_root, fifo}) {
        const Outcome out = store.load(1, chosen, *m_image, *m_actions);
        EXPECT_FALSE(out.changed) << chosen;
        EXPECT_EQ(out.message, Message{text::kReadFailed}) << chosen;
    }
    EXPECT_EQ((*m_image)[0], 0x11);
    EXPECT_EQ((*m_actions)[0], 0x22);
    EXPECT_EQ(snapshotDisk(), before);

    ASSERT_TRUE(store.load(1, std::nullopt, *m_image, *m_actions).changed);
    const Bytes stored = read(file("Target"));
    ASSERT_EQ(stored.size(), model::kKeymapFileSize);
    EXPECT_EQ(stored[0], 0x11);
    EXPECT_EQ(store.load(std::nullopt, std::nullopt, *m_image, *m_actions).message,
              Message{text::kSelectToOpen});
}

TEST_F(LoadSave, SaveWritesTheRowAndTheChosenFile) {
    ProfileStore store(folder());
    const fs::path also = m_root / "export.bin";
    ASSERT_TRUE(store.save(0, *m_image, *m_actions, also).changed);
    const Bytes expected = read(file("Other"));
    ASSERT_EQ(expected.size(), model::kKeymapFileSize);
    EXPECT_EQ(expected[model::kImageSize], 0x22);
    EXPECT_EQ(read(also), expected);
    EXPECT_TRUE(read(file("Target")).empty());
    EXPECT_EQ(store.save(5, *m_image, *m_actions, std::nullopt).message,
              Message{text::kSelectToSave});
    const Outcome bad = store.save(0, *m_image, *m_actions, m_root / "no" / "such" / "x.bin");
    EXPECT_EQ(bad.message, Message{text::kWriteFailed});
}

TEST_F(ProfileStoreTest, RowsAddressTheFileTheyCameFrom) {
    write(folder() / "a.bin.bin", Bytes{1, 2, 3});
    ProfileStore store(folder());
    ASSERT_EQ(store.rows(), std::vector<std::string>{"a"});
    EXPECT_EQ(store.pathOf(0), folder() / "a.bin.bin");
    auto image = std::make_unique<model::Image>();
    auto actions = std::make_unique<model::KeyActionTable>();
    ASSERT_TRUE(store.save(0, *image, *actions, std::nullopt).changed);
    EXPECT_EQ(fs::file_size(folder() / "a.bin.bin"), model::kKeymapFileSize);
    EXPECT_FALSE(fs::exists(file("a")));
}

TEST_F(ProfileStoreTest, DeleteRefusesTheLastRowAndRemovesTheFile) {
    write(file("One"), {});
    ProfileStore store(folder());
    EXPECT_EQ(store.refusal(Command::Delete, 0), Message{text::kKeepOne});
    EXPECT_EQ(store.remove(0).message, Message{text::kKeepOne});
    EXPECT_TRUE(fs::exists(file("One")));

    write(file("Two"), {});
    store.relist();
    EXPECT_EQ(store.remove(std::nullopt).message, Message{text::kSelectToDelete});
    EXPECT_EQ(store.remove(2).message, Message{text::kSelectToDelete});
    ASSERT_TRUE(store.remove(0).changed);
    EXPECT_FALSE(fs::exists(file("One")));
    EXPECT_EQ(store.rows(), std::vector<std::string>{"Two"});
}

TEST_F(ProfileStoreTest, DeleteOfAVanishedFileRelistsWithoutChange) {
    write(file("One"), {});
    write(file("Two"), {});
    ProfileStore store(folder());
    fs::remove(file("One"));
    const Outcome out = store.remove(0);
    EXPECT_FALSE(out.changed);
    EXPECT_FALSE(out.message);
    EXPECT_EQ(store.rows(), std::vector<std::string>{"Two"});
}

TEST_F(ProfileStoreTest, RenameMovesTheFileAndAppendsBinOnce) {
    write(file("Old"), Bytes{9});
    write(file("Keep"), {});
    ProfileStore store(folder());
    ASSERT_TRUE(store.rename(1, "New").changed);
    EXPECT_EQ(read(file("New")), Bytes{9});
    EXPECT_FALSE(fs::exists(file("Old")));
    ASSERT_TRUE(store.rename(1, "Next.bin").changed);
    EXPECT_TRUE(fs::exists(file("Next")));
    EXPECT_FALSE(fs::exists(folder() / "Next.bin.bin"));
    EXPECT_EQ(store.rows(), (std::vector<std::string>{"Keep", "Next"}));
}

TEST_F(ProfileStoreTest, RenameOntoAnExistingFileChangesNothingOnDisk) {
    for (int i = 1; i <= 7; ++i) write(file("P" + std::to_string(i)), Bytes{std::uint8_t(i)});
    ProfileStore store(folder());
    const auto before = snapshotDisk();
    for (const char* target : {"P2", "P2.bin", "P1", "P7"}) {  // P7 exists but is not listed
        const Outcome out = store.rename(0, target);
        EXPECT_FALSE(out.changed) << target;
        EXPECT_FALSE(out.message) << target;
    }
    EXPECT_EQ(snapshotDisk(), before);
}

TEST_F(ProfileStoreTest, RenameOutsideTheFolderIsRefused) {
    write(file("P1"), Bytes{1});
    ProfileStore store(folder());
    const auto before = snapshotDisk();
    for (const char* name : {"../x", "..", "", "sub/x", "..\\x", "/tmp/x"}) {
        const Outcome out = store.rename(0, name);
        EXPECT_FALSE(out.changed) << name;
        EXPECT_EQ(out.message, Message{text::kInvalidName}) << name;
    }
    EXPECT_EQ(snapshotDisk(), before);
    EXPECT_FALSE(fs::exists(folder().parent_path() / "x.bin"));
}

TEST_F(ProfileStoreTest, RenameToANameThatWouldNotListOrFitIsRefused) {
    write(file("P1"), Bytes{1});
    ProfileStore store(folder());
    const auto before = snapshotDisk();
    EXPECT_EQ(store.rename(0, "x.binfoo").message, Message{text::kNameNotListed});
    EXPECT_EQ(store.rename(0, std::string(252, 'n')).message, Message{text::kNameTooLong});
    EXPECT_EQ(snapshotDisk(), before);
    EXPECT_EQ(store.rows(), std::vector<std::string>{"P1"});
}

// Run as an ordinary user: a profile it may not read is never replaced by Save or Load, and a
// chosen file it may not read is refused without touching memory or the profile.
TEST_F(LoadSave, LockedFilesAreLeftAloneAsAnOrdinaryUser) {
    for (const fs::path& dir : {m_root, m_root / "data", folder()}) {
        fs::permissions(dir, fs::perms::all);
    }
    write(file("Target"), Bytes{7, 7, 7});
    fs::permissions(file("Target"), fs::perms::none);
    const fs::path chosen = m_root / "chosen.bin";
    write(chosen, Bytes(model::kKeymapFileSize, 0x33));
    fs::permissions(chosen, fs::perms::none);
    const auto before = snapshotDisk();
    const int code = test::runInChild(
        [&] {
            ProfileStore store(folder());
            if (store.rows() != std::vector<std::string>{"Other", "Target"}) return 2;
            if (store.save(1, *m_image, *m_actions, std::nullopt).message !=
                Message{text::kWriteFailed})
                return 3;
            if (store.load(1, std::nullopt, *m_image, *m_actions).changed) return 4;
            if (store.load(0, chosen, *m_image, *m_actions).message != Message{text::kReadFailed})
                return 5;
            if ((*m_image)[0] != 0x11) return 6;
            return store.copy(1, Language::English).message == Message{text::kReadFailed} ? 0 : 7;
        },
        true);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(snapshotDisk(), before);
    EXPECT_EQ(fs::status(file("Target")).permissions(), fs::perms::none);
}

TEST_F(ProfileStoreTest, RenameOfAVanishedFileFails) {
    write(file("P1"), {});
    ProfileStore store(folder());
    fs::remove(file("P1"));
    const Outcome out = store.rename(0, "Q");
    EXPECT_FALSE(out.changed);
    EXPECT_EQ(out.message, (Message{text::kFail, false}));
    EXPECT_FALSE(fs::exists(file("Q")));
    EXPECT_FALSE(store.rename(3, "R").changed);  // a row that is not listed
}

}  // namespace
}  // namespace tavrik::profiles
