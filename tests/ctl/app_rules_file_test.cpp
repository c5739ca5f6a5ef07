// The rules file of profiles per application: hostile files are refused and never replaced,
// edits are written atomically, and the "rules" requests edit it without a keyboard.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include "host/app_rules_file.h"
#include "host/control_jobs.h"
#include "host_fixture.h"
#include "profiles/profile_store.h"

namespace tavrik::app {
namespace {

using appprofiles::AppRules;

QByteArray withFormat(const char* members) {
    return QByteArray(R"({"format":"tavrik-87rev-app-profiles","version":1)") +
           (members[0] ? QByteArray(",") + members : QByteArray()) + '}';
}

std::string refusal(const QByteArray& json) {
    const auto r = parseAppRules(json);
    return r ? std::string() : r.error().context;
}

TEST(AppRulesParse, AWrittenFileReadsBackTheSameRules) {
    AppRules rules;
    appprofiles::bind(rules, "Gaming", "steam");
    appprofiles::bind(rules, "Gaming", "cs2");
    appprofiles::bind(rules, "\xE5\xB7\xA5\xE4\xBD\x9C", "org.kde.kate");  // a Chinese name
    appprofiles::setDefault(rules, "Gaming");
    const auto back = parseAppRules(appRulesJson(rules));
    ASSERT_TRUE(back) << back.error().context;
    EXPECT_EQ(*back, rules);
    const auto empty = parseAppRules(withFormat(""));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST(AppRulesParse, HostileFilesAreRefusedWithThePathOfTheMember) {
    // Damaged, not an object, wrong format or version.
    EXPECT_NE(refusal("{\"format\":"), "");
    EXPECT_NE(refusal("[]"), "");
    EXPECT_NE(refusal(R"({"format":"other","version":1})").find("format"), std::string::npos);
    EXPECT_NE(refusal(R"({"format":"tavrik-87rev-app-profiles","version":2})").find("version"),
              std::string::npos);
    EXPECT_NE(refusal(R"({"format":"tavrik-87rev-app-profiles"})").find("version"),
              std::string::npos);
    EXPECT_NE(refusal(R"({"version":1})").find("format"), std::string::npos);
    // Unknown and doubled members, at any depth.
    EXPECT_NE(refusal(withFormat(R"("defualt":"a")")).find("defualt"), std::string::npos);
    EXPECT_NE(refusal(withFormat(R"("default":"a","default":"b")")).find("given twice"),
              std::string::npos);
    EXPECT_NE(refusal(withFormat(R"("profiles":[{"profile":"a","apps":[],"apps":["x"]}])"))
                  .find("profiles[0].apps: given twice"),
              std::string::npos);
    EXPECT_NE(refusal(withFormat(R"("profiles":[{"profile":"a","apps":["x"],"x":1}])"))
                  .find("profiles[0]"),
              std::string::npos);
    // Types.
    EXPECT_NE(refusal(withFormat(R"("profiles":{})")), "");
    EXPECT_NE(refusal(withFormat(R"("profiles":[1])")).find("profiles[0]"), std::string::npos);
    EXPECT_NE(refusal(withFormat(R"("profiles":[{"profile":"a","apps":[7]}])"))
                  .find("profiles[0].apps[0]"),
              std::string::npos);
    EXPECT_NE(refusal(withFormat(R"("profiles":[{"apps":["x"]}])")).find("profile"),
              std::string::npos);
    EXPECT_NE(refusal(withFormat(R"("default":3)")).find("default"), std::string::npos);
    // Names that could leave the profile folder, and ids that are no ids.
    for (const char* bad : {R"("default":"../x")", R"("default":"")", R"("default":"a/b")",
                            R"("profiles":[{"profile":"..","apps":["x"]}])",
                            R"("profiles":[{"profile":"a","apps":[""]}])",
                            R"("profiles":[{"profile":"a","apps":["x\ny"]}])",
                            R"("profiles":[{"profile":"a\u0000b","apps":["x"]}])"}) {
        EXPECT_NE(refusal(withFormat(bad)), "") << bad;
    }
    EXPECT_NE(refusal(withFormat(("\"default\":\"a\",\"profiles\":[{\"profile\":\"a\","
                                  "\"apps\":[\"" +
                                  std::string(appprofiles::kMaxAppIdBytes + 1, 'x') + "\"]}]")
                                     .c_str())),
              "");
    // One application under two profiles (case does not tell them apart), a profile twice.
    EXPECT_NE(refusal(withFormat(R"("profiles":[{"profile":"a","apps":["Steam"]},
                                                {"profile":"b","apps":["steam"]}])"))
                  .find("profiles[1].apps[0]"),
              std::string::npos);
    EXPECT_NE(refusal(withFormat(R"("profiles":[{"profile":"a","apps":["x","X"]}])")), "");
    EXPECT_NE(refusal(withFormat(R"("profiles":[{"profile":"a","apps":["x"]},
                                                {"profile":"a","apps":["y"]}])"))
                  .find("listed twice"),
              std::string::npos);
    // Too large, and too many ids.
    EXPECT_NE(refusal(QByteArray(kMaxAppRulesBytes + 1, ' ')).find("larger"), std::string::npos);
    QByteArray many = R"("profiles":[{"profile":"a","apps":[)";
    for (std::size_t i = 0; i <= appprofiles::kMaxBindings; ++i) {
        many += (i ? ",\"" : "\"") + QByteArray::number(qulonglong(i)) + '"';
    }
    many += "]}]";
    EXPECT_NE(refusal(withFormat(many.constData())).find("more than"), std::string::npos);
}

class RulesFolder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString rulesPath() const { return m_dir.filePath(QString::fromLatin1(kAppRulesFileName)); }
    void writeRules(const QByteArray& bytes) {
        QFile f(rulesPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray rulesOnDisk() const {
        QFile f(rulesPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void makeProfile(const char* name) {
        QDir(m_dir.path()).mkpath(QStringLiteral("Configure"));
        QFile f(m_dir.filePath(QStringLiteral("Configure/%1.bin").arg(QString::fromUtf8(name))));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(10056, '\0'));
    }
    std::filesystem::path folder() const { return m_dir.path().toStdString(); }

    QTemporaryDir m_dir;
};

TEST_F(RulesFolder, AMissingFileHoldsNoRulesAndAnEditCreatesIt) {
    AppRulesFile file(folder());
    EXPECT_FALSE(file.problem());
    EXPECT_TRUE(file.rules().empty());
    EXPECT_FALSE(QFile::exists(rulesPath()));  // reading writes nothing
    const auto e = file.edit([](AppRules& r) { return appprofiles::bind(r, "a", "x"); });
    ASSERT_TRUE(e);
    EXPECT_EQ(*e, appprofiles::Edit::Changed);
    AppRulesFile again(folder());
    EXPECT_EQ(again.rules(), file.rules());
    // An edit that changes nothing writes nothing: the file keeps the user's own layout.
    const QByteArray compact = withFormat(R"("profiles":[{"profile":"a","apps":["x"]}])");
    writeRules(compact);
    const auto same = file.edit([](AppRules& r) { return appprofiles::bind(r, "a", "x"); });
    ASSERT_TRUE(same);
    EXPECT_EQ(*same, appprofiles::Edit::Unchanged);
    EXPECT_EQ(rulesOnDisk(), compact);
}

TEST_F(RulesFolder, ADamagedOrUnreadableFileIsReportedAndNeverReplaced) {
    const QByteArray damaged = withFormat(R"("default":"a","default":"b")");
    writeRules(damaged);
    AppRulesFile file(folder());
    ASSERT_TRUE(file.problem());
    EXPECT_NE(file.problem()->find("given twice"), std::string::npos);
    EXPECT_TRUE(file.rules().empty());
    const auto e = file.edit([](AppRules& r) { return appprofiles::bind(r, "a", "x"); });
    ASSERT_FALSE(e);
    EXPECT_NE(e.error().context.find(kAppRulesFileName), std::string::npos);
    EXPECT_EQ(rulesOnDisk(), damaged);
    // Fixed by the user: read again, it is used.
    writeRules(withFormat(R"("default":"a")"));
    file.load();
    EXPECT_FALSE(file.problem());
    EXPECT_EQ(file.rules().defaultProfile, "a");
    // A folder in its place.
    QFile::remove(rulesPath());
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QString::fromLatin1(kAppRulesFileName)));
    file.load();
    EXPECT_TRUE(file.problem());
    EXPECT_FALSE(file.edit([](AppRules& r) { return appprofiles::bind(r, "a", "x"); }));
    EXPECT_TRUE(QFileInfo(rulesPath()).isDir());
}

// Runs one request against a host that has no keyboard, as tavrikctl's own host for rules.
QJsonObject runRules(ControlJobs& jobs, QJsonObject request) {
    request.insert(QStringLiteral("command"), QStringLiteral("rules"));
    QJsonObject answer;
    bool answered = false;
    QEventLoop loop;
    jobs.run(request, [&](const QJsonObject& r) {
        answer = r;
        answered = true;
        loop.quit();
    });
    if (!answered) loop.exec();
    return answer;
}

TEST_F(RulesFolder, RulesRequestsEditTheFileWithoutAKeyboard) {
    ctl::test_support::qtApp();
    makeProfile("Gaming");
    makeProfile("Work");
    AppRulesFile file(folder());
    HostAccess access;
    access.dataFolder = m_dir.path();
    access.appRules = &file;
    int edits = 0;
    access.rulesEdited = [&] { ++edits; };
    ControlJobs jobs(std::move(access));
    const auto op = [&](const char* name, QJsonObject more = {}) {
        more.insert(QStringLiteral("op"), QString::fromLatin1(name));
        return runRules(jobs, more);
    };
    const auto ok = [](const QJsonObject& r) { return r.value(QStringLiteral("ok")).toBool(); };
    EXPECT_TRUE(ok(op("bind", {{"profile", "Gaming"}, {"app", "steam"}})));
    EXPECT_TRUE(ok(op("default", {{"profile", "Work"}})));
    EXPECT_EQ(edits, 2);
    // Refused: a profile that is not listed, an id that is none, an unknown op; nothing written.
    const QByteArray before = rulesOnDisk();
    for (const QJsonObject& bad :
         {QJsonObject{{"op", "bind"}, {"profile", "Gamming"}, {"app", "x"}},
          QJsonObject{{"op", "bind"}, {"profile", "Gaming"}, {"app", ""}},
          QJsonObject{{"op", "default"}, {"profile", "../Work"}},
          QJsonObject{{"op", "rename"}, {"profile", "Gaming"}, {"to", "a/b"}},
          QJsonObject{{"op", "frobnicate"}, {"profile", "Gaming"}}}) {
        const QJsonObject r = runRules(jobs, bad);
        EXPECT_FALSE(ok(r)) << bad.value("op").toString().toStdString();
        EXPECT_EQ(r.value(QStringLiteral("error")).toString(), QStringLiteral("usage"));
    }
    EXPECT_EQ(rulesOnDisk(), before);
    EXPECT_EQ(edits, 2);
    // A rename carries the rules; the list names what is inactive.
    EXPECT_TRUE(ok(op("rename", {{"profile", "Work"}, {"to", "Office"}})));
    const QJsonObject listed = op("list");
    ASSERT_TRUE(ok(listed));
    EXPECT_EQ(listed.value("rules").toObject().value("default").toString(), "Office");
    EXPECT_EQ(listed.value("missing").toArray(), QJsonArray{"Office"});  // not renamed on disk
    // The rules of another data folder than the host's are not edited here.
    const QJsonObject elsewhere =
        op("bind", {{"profile", "Gaming"}, {"app", "x"}, {"dataFolder", m_dir.filePath("other")}});
    EXPECT_EQ(elsewhere.value("error").toString(), "usage");
    EXPECT_TRUE(elsewhere.value("message").toString().contains("--data-dir"));
    EXPECT_TRUE(ok(op("list", {{"dataFolder", m_dir.path() + "/."}})));
    // A request that needs the keyboard is refused by a host that has none.
    QJsonObject status{{"command", "status"}};
    QJsonObject answer;
    jobs.run(status, [&](const QJsonObject& r) { answer = r; });
    EXPECT_FALSE(ok(answer));
    // Unbinding what is not bound says so without writing.
    const QJsonObject none = op("unbind", {{"profile", "Gaming"}, {"app", "nothing"}});
    EXPECT_TRUE(ok(none));
    EXPECT_FALSE(none.value("changed").toBool());
}

TEST_F(RulesFolder, AnUnusableFileRefusesListAndEditsAsAFileError) {
    ctl::test_support::qtApp();
    makeProfile("Gaming");
    writeRules("not json");
    AppRulesFile file(folder());
    HostAccess access;
    access.dataFolder = m_dir.path();
    access.appRules = &file;
    ControlJobs jobs(std::move(access));
    for (const QJsonObject& r :
         {QJsonObject{{"op", "list"}}, QJsonObject{{"op", "check"}, {"profile", "Gaming"}},
          QJsonObject{{"op", "bind"}, {"profile", "Gaming"}, {"app", "x"}}}) {
        const QJsonObject answer = runRules(jobs, r);
        EXPECT_EQ(answer.value("error").toString(), "file");
        EXPECT_TRUE(answer.value("message").toString().contains(kAppRulesFileName));
    }
    EXPECT_EQ(rulesOnDisk(), QByteArray("not json"));
}

// Asked before a profile is renamed or deleted: refused while the window has a dialog open,
// so that the profile folder never changes without its rules.
TEST_F(RulesFolder, ACheckBeforeARenameIsRefusedWhileADialogIsOpen) {
    ctl::test_support::qtApp();
    makeProfile("Gaming");
    AppRulesFile file(folder());
    bool dialogOpen = false;
    HostAccess access;
    access.dataFolder = m_dir.path();
    access.appRules = &file;
    access.canEdit = [&] { return !dialogOpen; };
    ControlJobs jobs(std::move(access));
    const QJsonObject check{{"op", "check"}, {"profile", "Gaming"}};
    EXPECT_TRUE(runRules(jobs, check).value("ok").toBool());
    dialogOpen = true;
    EXPECT_EQ(runRules(jobs, check).value("error").toString(), "busy");
    EXPECT_TRUE(rulesOnDisk().isEmpty());
}

}  // namespace
}  // namespace tavrik::app
