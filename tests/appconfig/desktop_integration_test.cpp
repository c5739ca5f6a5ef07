#include <gtest/gtest.h>

#include <set>
#include <string>

#include "appconfig/autostart_entry.h"
#include "appconfig/permission_notice.h"

namespace tavrik::appconfig {
namespace {

// Files that exist, for the rule lookup.
auto existing(std::set<std::string> files) {
    return [files = std::move(files)](const std::string& p) { return files.count(p) > 0; };
}

TEST(PermissionFix, InstalledRuleIsAppliedToThePluggedKeyboard) {
    const auto fix = permissionFix("/usr/share/tavrik-87rev/70-tavrik-87rev.rules",
                                   existing({"/usr/lib/udev/rules.d/70-tavrik-87rev.rules"}));
    EXPECT_EQ(fix.state, RuleState::Installed);
    EXPECT_EQ(fix.rulePath, "/usr/lib/udev/rules.d/70-tavrik-87rev.rules");
    EXPECT_EQ(fix.command, "sudo udevadm trigger --subsystem-match=hidraw --action=change");
    const std::string en = permissionNotice(fix, Language::English);
    EXPECT_NE(en.find("is installed (/usr/lib/udev/rules.d/70-tavrik-87rev.rules)"),
              std::string::npos);
    EXPECT_NE(en.find(fix.command), std::string::npos);
    const std::string zh = permissionNotice(fix, Language::Chinese);
    EXPECT_NE(zh.find("已安装"), std::string::npos);
    EXPECT_NE(zh.find(fix.command), std::string::npos);
    // A rule installed by hand in /etc is found first.
    EXPECT_EQ(permissionFix("", existing({"/etc/udev/rules.d/70-tavrik-87rev.rules",
                                          "/usr/lib/udev/rules.d/70-tavrik-87rev.rules"}))
                  .rulePath,
              "/etc/udev/rules.d/70-tavrik-87rev.rules");
}

TEST(PermissionFix, ShippedCopyIsInstalledWithOneQuotedCommand) {
    const std::string copy = "/home/me/it's here/%2/70-tavrik-87rev.rules";
    const auto fix = permissionFix(copy, existing({}));
    EXPECT_EQ(fix.state, RuleState::Shipped);
    EXPECT_EQ(fix.command,
              "sudo install -m 644 '/home/me/it'\\''s here/%2/70-tavrik-87rev.rules' "
              "/etc/udev/rules.d/ && sudo udevadm control --reload && "
              "sudo udevadm trigger --subsystem-match=hidraw --action=change");
    // The path's own "%2" is not taken for the command's place.
    const std::string en = permissionNotice(fix, Language::English);
    EXPECT_NE(en.find("comes with the tool (" + copy + ")"), std::string::npos);
    EXPECT_EQ(en.rfind(fix.command), en.size() - fix.command.size());
}

TEST(PermissionFix, NeitherInstalledNorShippedSaysReinstall) {
    const auto fix = permissionFix("", existing({"/usr/share/other.rules"}));
    EXPECT_EQ(fix.state, RuleState::Missing);
    EXPECT_TRUE(fix.command.empty());
    const std::string en = permissionNotice(fix, Language::English);
    EXPECT_NE(en.find("(70-tavrik-87rev.rules)"), std::string::npos);
    EXPECT_NE(en.find("reinstall"), std::string::npos);
    EXPECT_EQ(en.find("%"), std::string::npos);
}

TEST(Autostart, EntryPathHonoursXdgConfigHome) {
    EXPECT_EQ(autostartEntryPath("/cfg", "/home/u"), "/cfg/autostart/tavrik-87rev.desktop");
    EXPECT_EQ(autostartEntryPath("", "/home/u"), "/home/u/.config/autostart/tavrik-87rev.desktop");
    EXPECT_EQ(autostartEntryPath("rel", "/home/u"),
              "/home/u/.config/autostart/tavrik-87rev.desktop");
}

TEST(Autostart, ExecStartsTheProgramMinimizedWhateverItsPath) {
    EXPECT_NE(
        autostartEntry("/usr/bin/tavrik-87rev").find("\nExec=/usr/bin/tavrik-87rev --minimized\n"),
        std::string::npos);
    // A blank needs quotes; a percent sign is doubled; '"', '$' and '\' are escaped.
    EXPECT_EQ(execArgument("/opt/my tools/100%/tavrik"), "\"/opt/my tools/100%%/tavrik\"");
    EXPECT_EQ(execArgument("/a b/\"x\"$y"), "\"/a b/\\\\\"x\\\\\"\\\\$y\"");
    EXPECT_EQ(execArgument("/opt/a\\b"), "\"/opt/a\\\\\\\\b\"");
}

TEST(Autostart, TryExecNamesTheProgramSoAGoneProgramIsSkipped) {
    struct Row {
        std::string_view program, tryExec, exec;
    };
    // Control characters are escaped in both keys, so that no value leaves its line.
    const Row rows[] = {
        {"/usr/bin/tavrik-87rev", "/usr/bin/tavrik-87rev", "/usr/bin/tavrik-87rev"},
        {"/opt/my tools/100%/t", "/opt/my tools/100%/t", "\"/opt/my tools/100%%/t\""},
        {"/opt/a\\b", "/opt/a\\\\b", "\"/opt/a\\\\\\\\b\""},
        {"/opt/new\nline\tand\rcr", "/opt/new\\nline\\tand\\rcr", "\"/opt/new\\nline\\tand\\rcr\""},
    };
    for (const Row& row : rows) {
        const std::string entry = autostartEntry(row.program);
        EXPECT_NE(entry.find("\nTryExec=" + std::string(row.tryExec) + "\n"), std::string::npos)
            << entry;
        EXPECT_NE(entry.find("\nExec=" + std::string(row.exec) + " --minimized\n"),
                  std::string::npos)
            << entry;
        // One key a line: the program's own line breaks never split the entry.
        std::size_t lines = 0;
        for (char c : entry) lines += c == '\n' ? 1 : 0;
        EXPECT_EQ(lines, 9u) << entry;
        EXPECT_EQ(entry.find('\r'), std::string::npos) << entry;
    }
}

}  // namespace
}  // namespace tavrik::appconfig
