// keymap.bin as the user owns it: never replaced when the tool may not read or write it, read
// only as far as its format reaches, written through links, and kept whole across killed saves.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "../support/run_in_child.h"
#include "common/atomic_file.h"
#include "model/config_model.h"
#include "model/slot_table.h"

namespace tavrik::model {
namespace {
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using test::runInChild;

class TrustedKeymap : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("tavrik-trust-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::permissions(m_dir, fs::perms::all);  // the unprivileged child may write the folder
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path path() const { return m_dir / kKeymapFileName; }
    static Bytes pattern(std::size_t n) {
        Bytes b(n);
        for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 13 + 5);
        return b;
    }
    static void write(const fs::path& p, const Bytes& bytes) {
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    static std::set<std::string> entries(const fs::path& dir) {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename());
        return names;
    }
    fs::path m_dir;
};

// Start-up, Save, closing without Save and the key dialog's reload, run as an ordinary user
// against a keymap.bin it may not read (000) or not write (0444).
TEST_F(TrustedKeymap, LockedFileSurvivesTheWholeRunAsAnOrdinaryUser) {
    const Bytes original = pattern(kKeymapFileSize);
    for (const auto mode : {fs::perms::none, fs::perms::owner_read | fs::perms::group_read |
                                                 fs::perms::others_read}) {
        SCOPED_TRACE(static_cast<int>(mode));
        fs::remove(path());
        write(path(), original);
        fs::permissions(path(), mode);
        const bool readable = mode != fs::perms::none;
        const int code = runInChild(
            [&] {
                ConfigModel model(path());
                const Status started = model.startup();
                if (started.ok() != readable) return 2;
                const bool loaded = model.withLock([&](ConfigState& s) {
                    return s.image[kImageSize - 1] == original[kImageSize - 1];
                });
                if (loaded != readable) return 3;
                model.withLock([](ConfigState& s) { s.image[image::kBrightness] ^= 1; });
                if (model.save()) return 4;
                if (model.saveSynced()) return 5;
                (void)model.reloadActions();
                const auto problem = fileProblem(path());
                if (problem != (readable ? FileProblem::NotWritable : FileProblem::NotReadable))
                    return 6;
                return 0;
            },
            true);
        EXPECT_EQ(code, 0);
        EXPECT_EQ(fs::status(path()).permissions(), mode);
        EXPECT_EQ(*readWholeFile(path()), original);
        EXPECT_EQ(entries(m_dir), std::set<std::string>{kKeymapFileName});
    }
}

// A FIFO must not hang start-up, a link to /dev/zero must not fill memory, and a huge file is
// read only as far as the format reaches; neither the FIFO nor the link is replaced.
TEST_F(TrustedKeymap, ReadsAreBoundedAndOnlyFromRegularFiles) {
    ASSERT_EQ(::mkfifo(path().c_str(), 0666), 0);
    EXPECT_EQ(runInChild(
                  [&] {
                      ConfigModel model(path());
                      if (model.startup()) return 2;
                      return model.save() ? 3 : 0;
                  },
                  false, 10),
              0);
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(path())));

    fs::remove(path());
    fs::create_symlink("/dev/zero", path());
    EXPECT_EQ(runInChild(
                  [&] {
                      ConfigModel model(path());
                      if (model.startup()) return 2;
                      return model.save() ? 3 : 0;
                  },
                  false, 10),
              0);
    EXPECT_EQ(fs::read_symlink(path()), "/dev/zero");

    const fs::path huge = m_dir / "huge.bin";
    std::ofstream(huge).close();
    fs::resize_file(huge, std::uintmax_t{2} << 30);  // sparse: costs no disk
    EXPECT_EQ(runInChild(
                  [&] {
                      auto image = std::make_unique<Image>();
                      auto actions = std::make_unique<KeyActionTable>();
                      auto taken = readConfigFile(huge, *image, *actions);
                      return taken && *taken == kKeymapFileSize ? 0 : 2;
                  },
                  false, 10),
              0);
}

// A keymap.bin deleted while the tool runs: the key dialog's reload writes it again from
// memory, keeps the assignments (the image's key codes point at them) and every own code.
TEST_F(TrustedKeymap, DeletedFileReloadKeepsTheTableAndItsOwnCodes) {
    ConfigModel model(path());
    ASSERT_TRUE(model.startup());
    model.withLock([](ConfigState& s) {
        keyAction(s.actions, 10).setKind(5);
        ASSERT_TRUE(keyAction(s.actions, 10).setLaunchPath("/usr/bin/true"));
    });
    fs::remove(path());
    EXPECT_TRUE(model.reloadActions());
    model.withLock([](ConfigState& s) {
        for (int i = 0; i < kSlotCount; ++i) {
            EXPECT_EQ(keyAction(s.actions, i).ownCode(), slot(i).code) << i;
        }
        EXPECT_EQ(keyAction(s.actions, 10).kind(), 5);
        EXPECT_EQ(keyAction(s.actions, 10).launchPath(), "/usr/bin/true");
    });
    ConfigState fromDisk;
    ASSERT_TRUE(loadKeymap(fromDisk, path(), KeymapPart::Whole));
    EXPECT_EQ(keyAction(fromDisk.actions, 10).launchPath(), "/usr/bin/true");
}

// A linked keymap.bin (a dotfiles folder) stays a link: the save replaces the target, in the
// target's folder, keeping its mode; a dangling link gets its target created.
TEST_F(TrustedKeymap, LinkedFileIsWrittenThroughToItsTarget) {
    const fs::path dotfiles = m_dir / "dotfiles";
    fs::create_directory(dotfiles);
    write(dotfiles / "keymap.bin", pattern(100));
    fs::permissions(dotfiles / "keymap.bin", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("dotfiles/keymap.bin", path());

    ConfigState s;
    s.image[7] = 0x42;
    ASSERT_TRUE(saveConfigFile(path(), s.image, s.actions));
    EXPECT_TRUE(fs::is_symlink(path()));
    EXPECT_EQ(fs::file_size(dotfiles / "keymap.bin"), kKeymapFileSize);
    EXPECT_EQ((*readWholeFile(path()))[7], 0x42);
    EXPECT_EQ(fs::status(dotfiles / "keymap.bin").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(entries(dotfiles), std::set<std::string>{"keymap.bin"});

    fs::remove(dotfiles / "keymap.bin");
    ConfigModel model(path());
    ASSERT_TRUE(model.startup());  // missing target: created through the link
    EXPECT_TRUE(fs::is_symlink(path()));
    EXPECT_EQ(fs::file_size(dotfiles / "keymap.bin"), kKeymapFileSize);
}

// Temporary files of saves killed in an earlier run go at start-up, beside the file and beside
// a link's target; nothing else is touched.
TEST_F(TrustedKeymap, StartupRemovesOnlyOurOwnLeftoverTemporaries) {
    const fs::path other = m_dir / "other";
    fs::create_directory(other);
    fs::create_symlink("other/keymap.bin", path());
    const std::set<std::string> ours{".keymap.bin.tmp-123456", ".keymap.bin.tmp-7"};
    const std::set<std::string> kept{"keymap.bin.tmp-1",      ".keymap.bin.tmp-",
                                     ".keymap.bin.tmp-12x",   ".MacroDefine.bin.tmp-5",
                                     ".keymap.bin.tmp-9.bak", "x.keymap.bin.tmp-3"};
    for (const auto& dir : {m_dir, other}) {
        for (const auto& name : ours) write(dir / name, {1});
        for (const auto& name : kept) write(dir / name, {1});
    }
    fs::create_directory(m_dir / ".keymap.bin.tmp-99");  // a folder is never ours
    ConfigModel model(path());
    ASSERT_TRUE(model.startup());
    std::set<std::string> expected = kept;
    expected.insert("keymap.bin");
    EXPECT_EQ(entries(other), expected);
    expected.insert({"other", ".keymap.bin.tmp-99"});
    EXPECT_EQ(entries(m_dir), expected);
    EXPECT_EQ(temporaryFileOf(".Profile 1.bin.tmp-42"), "Profile 1.bin");
}

}  // namespace
}  // namespace tavrik::model
