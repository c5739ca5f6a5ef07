// Completion candidates: what each position of a command line offers, from the command table
// and the name lists, and the profile names of the folder the words name.

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "cli/completions.h"

namespace tavrik::ctl {
namespace {

QStringList complete(const QString& line) {
    QStringList words = line.split(u' ');  // a trailing blank leaves the empty word being typed
    return completionCandidates(words);
}

TEST(Completion, EachPositionOffersWhatTheCommandTakesThere) {
    const struct {
        const char* line;
        std::vector<const char*> includes;
        std::vector<const char*> excludes;
    } cases[] = {
        {"", {"status", "set", "profiles", "completion"}, {"__complete"}},
        {"--simulate ", {"dump", "list"}, {}},
        {"-", {"--simulate", "--data-dir"}, {"--json"}},
        {"status -", {"--json"}, {"-o"}},
        {"dump -", {"--json", "-o"}, {}},
        {"dump -o ", {":files"}, {}},
        {"--data-dir ", {":dirs"}, {}},
        {"profiles ", {"list", "apply", "save", "delete", "rename"}, {}},
        {"list ", {"effects", "presets", "keys"}, {}},
        {"set ", {"effect", "win-lock", "diy"}, {}},
        {"set effect ", {"Wave", "DIY5"}, {}},
        {"set effect Wave ", {"--speed", "--direction"}, {}},
        {"set effect Wave --direction ", {"left", "bottom"}, {}},
        {"set game-mode ", {"on", "off"}, {}},
        {"set response-time ", {"2", "20"}, {"1", "22"}},
        {"set report-rate ", {"125", "1000"}, {}},
        {"set key ", {"F5", "Space"}, {"Fn", "LWin"}},  // Win and Fn cannot be assigned
        {"set key F5 ", {"preset", "launch", "LCtrl"}, {}},
        {"set key F5 preset ", {"Mute", "Select All"}, {}},
        {"set key F5 launch ", {"program", "folder"}, {}},
        {"set key F5 launch file ", {":files"}, {}},
        {"set key F5 LCtrl ", {"+"}, {}},
        {"set key F5 LCtrl + ", {"C"}, {}},
        {"set diy ", {"1", "5"}, {}},
        {"set diy 2 ", {"Esc", "Fn"}, {}},
        {"apply ", {":files"}, {}},
        {"status ", {}, {":files", "status"}},
    };
    for (const auto& c : cases) {
        const QStringList got = complete(QString::fromLatin1(c.line));
        for (const char* want : c.includes) {
            EXPECT_TRUE(got.contains(QString::fromUtf8(want)))
                << '"' << c.line << "\" lacks " << want << ": " << got.join(' ').toStdString();
        }
        for (const char* unwanted : c.excludes) {
            EXPECT_FALSE(got.contains(QString::fromUtf8(unwanted)))
                << '"' << c.line << "\" offers " << unwanted;
        }
    }
}

TEST(Completion, ProfileNamesComeFromTheFolderTheWordsName) {
    QTemporaryDir data;
    ASSERT_TRUE(QDir(data.path()).mkpath(QStringLiteral("Configure")));
    for (const char* name : {"Gaming.bin", "Work day.bin", "notes.txt"}) {
        QFile f(data.filePath(QStringLiteral("Configure/") + QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    for (const char* verb : {"apply", "delete", "rename", "bind", "unbind"}) {
        const QStringList got = completionCandidates(
            {"--data-dir", data.path(), "profiles", QString::fromLatin1(verb), ""});
        EXPECT_EQ(got, QStringList({"Gaming", "Work day"})) << verb;
    }
    // The new name of a rename and the name of a save are the user's to type.
    EXPECT_TRUE(
        completionCandidates({"--data-dir", data.path(), "profiles", "rename", "Gaming", ""})
            .isEmpty());
    EXPECT_TRUE(
        completionCandidates({"--data-dir", data.path(), "profiles", "save", ""}).isEmpty());
    // bind --default takes the profile next; an application id is typed.
    EXPECT_EQ(
        completionCandidates({"--data-dir", data.path(), "profiles", "bind", "--default", ""}),
        QStringList({"Gaming", "Work day"}));
    EXPECT_TRUE(completionCandidates({"--data-dir", data.path(), "profiles", "bind", "Gaming", ""})
                    .isEmpty());
    EXPECT_TRUE(completionCandidates({"profiles", "bind", "-"}).contains("--default"));
    EXPECT_FALSE(completionCandidates({"profiles", "unbind", "-"}).contains("--default"));
}

}  // namespace
}  // namespace tavrik::ctl
