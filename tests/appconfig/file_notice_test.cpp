#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "appconfig/file_notice.h"
#include "appconfig/file_texts.h"

namespace tavrik::appconfig {
namespace {
namespace fs = std::filesystem;

TEST(FileNotice, NamesTheFileAndTheReasonInBothLanguages) {
    const fs::path file = "/data/keymap.bin";
    EXPECT_EQ(fileNoticeText(file, FileProblem::NotReadable, Language::English)
                  .rfind("/data/keymap.bin cannot be read (no permission).\n", 0),
              0u);
    const std::string zh = fileNoticeText(file, FileProblem::NotWritable, Language::Chinese);
    EXPECT_EQ(zh.rfind("/data/keymap.bin是只读文件。\n", 0), 0u) << zh;
    // A "%2" inside the path stays as it is.
    EXPECT_EQ(fileNoticeText("/x/%2/a", FileProblem::NotRegular, Language::English)
                  .rfind("/x/%2/a is not a regular file.", 0),
              0u);
}

TEST(FileNotice, IsGivenOncePerFileAndOnlyForAFileLeftAlone) {
    const fs::path dir =
        fs::temp_directory_path() / ("tavrik-notice-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "MacroDefine.bin");  // exists, but no regular file
    std::ofstream(dir / "keymap.bin") << "fine";
    FileNotices notices;
    EXPECT_FALSE(notices.noticeFor(dir / "keymap.bin", Language::English));
    EXPECT_FALSE(notices.noticeFor(dir / "missing.bin", Language::English));
    const auto first = notices.noticeFor(dir / "MacroDefine.bin", Language::English);
    ASSERT_TRUE(first);
    EXPECT_NE(first->find("MacroDefine.bin is not a regular file"), std::string::npos);
    EXPECT_FALSE(notices.noticeFor(dir / "MacroDefine.bin", Language::English));
    fs::remove(dir / "keymap.bin");
    fs::create_directory(dir / "keymap.bin");  // told about when it turns bad later on
    EXPECT_TRUE(notices.noticeFor(dir / "keymap.bin", Language::Chinese));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tavrik::appconfig
