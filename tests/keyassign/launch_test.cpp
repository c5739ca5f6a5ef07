#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "keyassign/launch.h"

namespace tavrik::keyassign {
namespace {

// Records what would be opened.
class RecordingLauncher : public Launcher {
public:
    void launch(const LaunchRequest& request) override { requests.push_back(request); }
    std::vector<LaunchRequest> requests;
};

class LaunchTable : public ::testing::Test {
protected:
    void bind(int slot, std::uint8_t own, std::uint8_t kind, const std::string& path) {
        model::KeyAction a = model::keyAction(*m_actions, slot);
        a.setOwnCode(own);
        a.setKind(kind);
        ASSERT_TRUE(a.setLaunchPath(path));
    }
    std::unique_ptr<model::KeyActionTable> m_actions = std::make_unique<model::KeyActionTable>();
    RecordingLauncher m_launcher;
};

TEST_F(LaunchTable, LowestMatchingSlotWins) {
    bind(40, 0x2C, 5, "/usr/bin/second");
    bind(7, 0x2C, 4, "/music/first.mp3");
    bind(3, 0x2C, 3, "/never");  // a preset record with a path is not a launch
    EXPECT_EQ(findLaunchSlot(*m_actions, 0x2C), 7);
    ASSERT_TRUE(launchForCode(*m_actions, 0x2C, m_launcher));
    ASSERT_EQ(m_launcher.requests.size(), 1u);
    EXPECT_EQ(m_launcher.requests[0].path, "/music/first.mp3");
    EXPECT_EQ(m_launcher.requests[0].kind, LaunchKind::Document);
}

TEST_F(LaunchTable, HomepagePresetIsNeverLaunched) {
    bind(0, 27, 3, "/home/me");
    model::keyAction(*m_actions, 0).codes()[0] = 3;
    model::keyAction(*m_actions, 0).codes()[2] = 0x23;
    model::keyAction(*m_actions, 0).codes()[3] = 2;
    EXPECT_FALSE(launchForCode(*m_actions, 27, m_launcher));
    EXPECT_TRUE(m_launcher.requests.empty());
}

TEST_F(LaunchTable, EveryRecordSlotIsScannedButEmptyPathsOpenNothing) {
    bind(254, 0x41, 7, "/srv/share");
    bind(200, 0x42, 6, "");
    EXPECT_EQ(findLaunchSlot(*m_actions, 0x41), 254);
    EXPECT_FALSE(launchForCode(*m_actions, 0x42, m_launcher));
    ASSERT_TRUE(launchForCode(*m_actions, 0x41, m_launcher));
    EXPECT_EQ(m_launcher.requests[0].kind, LaunchKind::Folder);
}

struct SplitCase {
    std::string stored;
    LaunchKind kind;
    std::string path;
    std::string folder;
};

class LaunchSplit : public LaunchTable, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(LaunchSplit, WorkingFolderIsTextBeforeTheLastSeparator) {
    const SplitCase& c = GetParam();
    bind(5, 0x33,
         c.kind == LaunchKind::Program  ? 5
         : c.kind == LaunchKind::Folder ? 7
                                        : 6,
         c.stored);
    const auto req = launchRequestFor(*m_actions, 0x33);
    ASSERT_TRUE(req.has_value());
    EXPECT_EQ(req->kind, c.kind);
    EXPECT_EQ(req->path, c.path);
    EXPECT_EQ(req->workingFolder, c.folder);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LaunchSplit,
    ::testing::Values(SplitCase{"/home/me/Music", LaunchKind::Folder, "/home/me/Music", "/home/me"},
                      SplitCase{"/opt/x/run", LaunchKind::Program, "/opt/x/run", "/opt/x"},
                      // a trailing separator opens the folder itself
                      SplitCase{"/home/me/Music/", LaunchKind::Folder, "/home/me/Music",
                                "/home/me/Music"},
                      SplitCase{"/a.txt", LaunchKind::Document, "/a.txt", "/"},
                      SplitCase{"notes.txt", LaunchKind::Document, "notes.txt", ""}));

TEST(ChooserStartFolder, DescribedDriveFolderOnlyWhenItExists) {
    std::vector<std::string> asked;
    auto exists = [&](const std::string& p) {
        asked.push_back(p);
        return true;
    };
    EXPECT_EQ(chooserStartFolder("D:\\games", "/home/me", exists),
              "D:\\Program Files\\halvane\\torbe meridian\\Profile");
    EXPECT_EQ(chooserStartFolder("D:\\games", "/home/me", [](const std::string&) { return false; }),
              "/home/me");
    asked.clear();
    EXPECT_EQ(chooserStartFolder("/work/tool", "/home/me", exists), "/home/me");
    EXPECT_TRUE(asked.empty());
}

}  // namespace
}  // namespace tavrik::keyassign
