// What a failed write of keymap.bin or a profile says, and the failures that need not happen: a
// data folder deleted while the tool runs is made again, and a profile is never written through
// a link.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "../support/run_in_child.h"
#include "common/atomic_file.h"
#include "model/keymap_file.h"

namespace tavrik::model {
namespace {
namespace fs = std::filesystem;
using test::runInChild;

class FileMessages : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("tavrik-messages-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::permissions(m_dir, fs::perms::all);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static std::string contextOf(const Status& s) { return s ? "" : s.error().context; }
    Status save(const fs::path& p, WriteRule rule = WriteRule::DataFile) const {
        return saveConfigFile(p, m_state.image, m_state.actions, rule);
    }

    fs::path m_dir;
    ConfigState m_state;
};

// Each failure names the file the user knows (never our temporary file) and why.
TEST_F(FileMessages, FailuresNameTheFileAndTheReason) {
    const std::string longName(300, 'n');
    const Status tooLong = save(m_dir / "Configure" / (longName + ".bin"));
    ASSERT_FALSE(tooLong);
    EXPECT_NE(contextOf(tooLong).find("name too long"), std::string::npos) << contextOf(tooLong);
    EXPECT_EQ(fileProblem(m_dir / longName), FileProblem::NameTooLong);

    // Under a regular file no folder can be made.
    std::ofstream(m_dir / "blocker") << "x";
    const Status blocked = save(m_dir / "blocker" / "keymap.bin");
    ASSERT_FALSE(blocked);
    EXPECT_EQ(
        contextOf(blocked).rfind("cannot write " + (m_dir / "blocker/keymap.bin").string(), 0), 0u)
        << contextOf(blocked);

    // A folder the user may not write, as an ordinary user.
    const fs::path locked = m_dir / "locked";
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    const int code = runInChild(
        [&] {
            const std::string c = contextOf(save(locked / "keymap.bin"));
            if (c.find(".tmp-") != std::string::npos) return 1;
            if (c.rfind("cannot write " + (locked / "keymap.bin").string(), 0) != 0) return 2;
            if (c.find("may not be written") == std::string::npos) return 3;
            return 0;
        },
        true);
    EXPECT_EQ(code, 0);
}

// A full disk (a small tmpfs, where the test may mount one) names keymap.bin and leaves the old
// file whole.
TEST_F(FileMessages, FullDiskNamesTheFileAndKeepsTheOldOne) {
    const fs::path disk = m_dir / "disk";
    fs::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here";
    }
    const fs::path keymap = disk / "keymap.bin";
    ConfigState old;
    old.image[3] = 0x33;
    ASSERT_TRUE(saveConfigFile(keymap, old.image, old.actions));
    const Status full = save(keymap);  // a second copy does not fit beside the first
    ::umount(disk.c_str());
    ASSERT_FALSE(full);
    EXPECT_EQ(contextOf(full).rfind("cannot write " + keymap.string() + ": ", 0), 0u)
        << contextOf(full);
    EXPECT_NE(contextOf(full).find("No space left"), std::string::npos) << contextOf(full);
}

TEST_F(FileMessages, ADeletedDataFolderIsMadeAgainOnTheNextWrite) {
    const fs::path data = m_dir / "data";
    fs::create_directory(data);
    ASSERT_TRUE(save(data / "keymap.bin"));
    fs::remove_all(data);
    ASSERT_TRUE(save(data / "keymap.bin")) << contextOf(save(data / "keymap.bin"));
    EXPECT_EQ(fs::file_size(data / "keymap.bin"), kKeymapFileSize);

    // Not behind a dangling link, though: that folder is not ours to make.
    fs::create_symlink(m_dir / "nowhere" / "keymap.bin", m_dir / "linked.bin");
    EXPECT_FALSE(save(m_dir / "linked.bin"));
    EXPECT_FALSE(fs::exists(m_dir / "nowhere"));
}

// A link planted where a profile goes is refused; the file it points at stays as it was, and the
// link stays a link. A data file linked by the user is still written through.
TEST_F(FileMessages, AProfileIsNeverWrittenThroughALink) {
    const fs::path victim = m_dir / "bashrc";
    std::ofstream(victim) << "export PATH\n";
    fs::create_directory(m_dir / "Configure");
    fs::create_symlink(victim, m_dir / "Configure" / "Gaming.bin");
    const Status refused = save(m_dir / "Configure" / "Gaming.bin", WriteRule::Profile);
    ASSERT_FALSE(refused);
    EXPECT_NE(contextOf(refused).find("symbolic link"), std::string::npos);
    EXPECT_EQ(fs::file_size(victim), 12u);
    EXPECT_TRUE(fs::is_symlink(m_dir / "Configure" / "Gaming.bin"));

    ASSERT_TRUE(save(m_dir / "Configure" / "Plain.bin", WriteRule::Profile));
    EXPECT_EQ(fs::file_size(m_dir / "Configure" / "Plain.bin"), kKeymapFileSize);
    ASSERT_TRUE(save(m_dir / "Configure" / "Gaming.bin", WriteRule::Chosen));
    EXPECT_EQ(fs::file_size(victim), kKeymapFileSize);
    // A chosen file's folder is never made.
    EXPECT_FALSE(save(m_dir / "no" / "such.bin", WriteRule::Chosen));
    EXPECT_FALSE(fs::exists(m_dir / "no"));
}

}  // namespace
}  // namespace tavrik::model
