// tavrikctl's command line: what each form parses to, and the mistakes it refuses.

#include <gtest/gtest.h>

#include <set>

#include "cli/ctl_command_line.h"
#include "host/control_protocol.h"

namespace tavrik::ctl {
namespace {

Result<CtlCommand> parse(const QString& line) {
    return parseCommandLine(line.split(u' ', Qt::SkipEmptyParts));
}

TEST(CommandLine, SetKeepsItsOwnOptionsAndLetsTheCommonOnesThrough) {
    const auto c = parse(QStringLiteral(
        "--data-dir /d set effect wave --speed 3 --sim-socket /s --brightness 2 --direction left"));
    ASSERT_TRUE(c) << c.error().context;
    EXPECT_EQ(c->verb, QStringLiteral("set"));
    EXPECT_EQ(c->args, QStringList({"effect", "wave", "--speed", "3", "--brightness", "2",
                                    "--direction", "left"}));
    EXPECT_EQ(c->options.simSocket, "/s");
    EXPECT_EQ(c->options.dataDir, "/d");

    const auto eq = parse(QStringLiteral("set --sim-socket=/x key F6 LCtrl + C"));
    ASSERT_TRUE(eq);
    EXPECT_EQ(eq->options.simSocket, "/x");
    EXPECT_EQ(eq->args, QStringList({"key", "F6", "LCtrl", "+", "C"}));
}

TEST(CommandLine, CommandsAndTheirOptions) {
    const auto dump = parse(QStringLiteral("dump --json -o out.json --simulate"));
    ASSERT_TRUE(dump);
    EXPECT_TRUE(dump->json);
    EXPECT_EQ(dump->output, QStringLiteral("out.json"));
    EXPECT_TRUE(dump->options.simulate);

    const auto profile = parse(QStringLiteral("profiles apply Gaming"));
    ASSERT_TRUE(profile);
    EXPECT_EQ(profile->args, QStringList({"apply", "Gaming"}));

    EXPECT_TRUE(parse(QStringLiteral("--version"))->version);
    EXPECT_TRUE(parse(QStringLiteral("status --help"))->help);
}

TEST(CommandLine, MistakesAreUsageErrorsOnOneLine) {
    for (const char* line : {"", "frobnicate", "apply", "apply a b", "status extra",
                             "--simulate --sim-socket /s status", "export a.json --json", "set",
                             "profiles", "profiles save", "profiles list x", "profiles rename a",
                             "dump --bogus", "--sim-socket", "dump -o"}) {
        const auto c = parse(QString::fromLatin1(line));
        ASSERT_FALSE(c) << line;
        EXPECT_EQ(c.error().kind, ErrorKind::Value);
        EXPECT_EQ(c.error().context.find('\n'), std::string::npos) << line;
    }
}

TEST(CommandLine, ErrorsNameTheOptionAsTypedAndTheFormToUse) {
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {"dump --jsn", "unknown option \"--jsn\"; see tavrikctl --help"},
        {"dump -x", "unknown option \"-x\"; see tavrikctl --help"},
        {"status --data-dir", "missing value after '--data-dir'; see tavrikctl --help"},
        {"apply", "wrong number of arguments; use: tavrikctl apply FILE; see tavrikctl --help"},
    };
    for (const auto& c : cases) {
        const auto parsed = parse(QString::fromLatin1(c.line));
        ASSERT_FALSE(parsed) << c.line;
        EXPECT_EQ(parsed.error().context, c.error);
    }
}

TEST(CommandLine, EveryFormOfTheTableParsesWithItsOptions) {
    for (const char* line :
         {"status --json", "dump -o -", "export -", "list effects", "list presets", "list keys",
          "profiles list --json", "profiles delete Old", "profiles rename Old New",
          "completion bash", "completion zsh", "completion fish"}) {
        const auto c = parse(QString::fromLatin1(line));
        ASSERT_TRUE(c) << line << ": " << c.error().context;
        ASSERT_NE(c->form, nullptr) << line;
    }
    EXPECT_EQ(parse(QStringLiteral("dump -o -"))->output, QStringLiteral("-"));
    EXPECT_EQ(parse(QStringLiteral("profiles rename Old New"))->form->access, Access::None);
    EXPECT_EQ(parse(QStringLiteral("profiles apply Old"))->form->access, Access::Writes);
}

TEST(CommandLine, MistypedWordsGetTheClosestOne) {
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {"statsu", "unknown command \"statsu\"; did you mean \"status\"?"},
        {"profiles lsit", "unknown word \"lsit\" after profiles; did you mean \"list\"?"},
        {"list effect", "unknown word \"effect\" after list; did you mean \"effects\"?"},
        {"frobnicate", "unknown command \"frobnicate\"; see tavrikctl --help"},
        {"list colours",
         "unknown word \"colours\" after list; list takes "
         "effects|presets|keys; see tavrikctl --help"},
        {"apply a.bin --json",
         "--json belongs to status, dump, profiles list and profiles rules; see tavrikctl --help"},
        {"profiles rename Old",
         "wrong number of arguments; use: tavrikctl profiles rename NAME "
         "NEW; see tavrikctl --help"},
    };
    for (const auto& c : cases) {
        const auto parsed = parse(QString::fromLatin1(c.line));
        ASSERT_FALSE(parsed) << c.line;
        EXPECT_EQ(parsed.error().context, c.error);
    }
}

TEST(CommandLine, HelpListsEveryVerbAndNamesTheCommandsThatWrite) {
    const QString help = helpText();
    for (const QString& verb : verbs()) {
        EXPECT_TRUE(help.contains(QStringLiteral("  ") + verb)) << verb.toStdString();
    }
    EXPECT_TRUE(
        help.contains(QStringLiteral("Only apply, import, set and profiles apply change "
                                     "the keyboard.")));
    EXPECT_FALSE(help.contains(u'#'));  // a # would start a shell comment when copied
}

// Arguments come decoded as UTF-8; a folder name in another encoding would lose its bytes and
// name another folder.
TEST(CommandLine, ADataFolderNameThatIsNotUtf8IsRefused) {
    const auto bad = parseCommandLine(
        {QStringLiteral("--data-dir"), QString::fromLocal8Bit("/tmp/caf\xE9"), "status"});
    ASSERT_FALSE(bad);
    EXPECT_NE(bad.error().context.find("not valid UTF-8"), std::string::npos);
    const auto good = parseCommandLine(
        {QStringLiteral("--data-dir"), QString::fromUtf8("/tmp/caf\xC3\xA9"), "status"});
    ASSERT_TRUE(good);
    EXPECT_EQ(good->options.dataDir, "/tmp/caf\xC3\xA9");
}

TEST(ControlProtocol, FailuresMapToDistinctExitCodesAndSurviveTheWire) {
    using app::control::Failure;
    const Failure all[] = {Failure::Usage,  Failure::NoKeyboard, Failure::NoPermission,
                           Failure::Device, Failure::File,       Failure::NotStored};
    std::set<int> codes;
    for (Failure f : all) {
        codes.insert(app::control::exitCode(f));
        const QByteArray line = app::control::toLine(app::control::failureReply(f, "x"));
        EXPECT_TRUE(line.endsWith('\n'));
        EXPECT_EQ(line.count('\n'), 1);
        const auto back = app::control::fromLine(line);
        ASSERT_TRUE(back);
        EXPECT_EQ(app::control::failureFromName(back->value("error").toString()), f);
    }
    EXPECT_EQ(codes.size(), std::size(all));
    EXPECT_EQ(codes.count(0), 0u);
    EXPECT_FALSE(app::control::fromLine("[1,2]"));
    EXPECT_FALSE(app::control::fromLine("{\"command\":"));
}

TEST(CommandLine, BindTakesAnApplicationOrDefaultAndOnlyBindTakesDefault) {
    const auto bind = parse(QStringLiteral("profiles bind Gaming steam"));
    ASSERT_TRUE(bind) << bind.error().context;
    EXPECT_EQ(bind->args, QStringList({"bind", "Gaming", "steam"}));
    EXPECT_FALSE(bind->byDefault);
    const auto fallback = parse(QStringLiteral("profiles bind --default Work"));
    ASSERT_TRUE(fallback) << fallback.error().context;
    EXPECT_TRUE(fallback->byDefault);
    EXPECT_EQ(fallback->args, QStringList({"bind", "Work"}));
    EXPECT_TRUE(parse(QStringLiteral("profiles unbind Gaming steam")));
    EXPECT_TRUE(parse(QStringLiteral("profiles rules --json"))->json);
    const struct {
        const char* line;
        const char* says;
    } refused[] = {
        {"profiles bind Gaming", "wrong number of arguments"},
        {"profiles bind --default Work steam", "wrong number of arguments"},
        {"profiles bind --default", "wrong number of arguments"},
        {"profiles unbind --default Work", "--default belongs to profiles bind"},
        {"status --default", "--default belongs to profiles bind"},
        {"profiles rules extra", "wrong number of arguments"},
        {"profiles bnid Gaming steam", "did you mean \"bind\"?"},
    };
    for (const auto& r : refused) {
        const auto c = parse(QString::fromUtf8(r.line));
        ASSERT_FALSE(c) << r.line;
        EXPECT_NE(c.error().context.find(r.says), std::string::npos)
            << r.line << ": " << c.error().context;
    }
}

}  // namespace
}  // namespace tavrik::ctl
