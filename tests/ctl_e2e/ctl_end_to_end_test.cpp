// tavrikctl as a process against a running tavrik-kbsim: what its commands put on the wire (read
// back from the emulator's trace), on its own and forwarded to the tool running offscreen, and
// what it stores.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <ostream>

#include "background_process.h"
#include "describe/key_names.h"
#include "desktop_session.h"
#include "host/device_link.h"
#include "host/instance_address.h"
#include "model/key_table.h"
#include "model/keymap_file.h"
#include "save_sequence.h"
#include "sim/firmware.h"
#include "trace_replay.h"

namespace tavrik::e2e {
namespace {

using namespace std::chrono_literals;

constexpr int kSlot = 30;

struct Sent {
    std::string kind;
    std::vector<std::uint8_t> bytes;
    bool operator==(const Sent&) const = default;
};

void PrintTo(const Sent& s, std::ostream* os) {
    *os << s.kind;
    for (std::size_t i = 0; i < std::min<std::size_t>(s.bytes.size(), 8); ++i) {
        *os << ' ' << std::hex << int(s.bytes[i]);
    }
}

std::vector<Sent> receivedByKeyboard(const std::vector<TraceRecord>& records) {
    std::vector<Sent> out;
    for (const TraceRecord& r : records) {
        if (r.toKeyboard) out.push_back({r.kind, r.bytes});
    }
    return out;
}

struct CtlRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// What the session's Save sends for `edit` applied to a fresh emulated keyboard.
std::vector<Sent> saveSequenceFor(const std::function<void(model::ConfigState&)>& edit) {
    std::vector<Sent> out;
    for (const test_support::SentReport& r : test_support::saveSequenceFor(edit)) {
        out.push_back({r.kind == sim::ReportKind::Feature ? "feature" : "data", r.bytes});
    }
    return out;
}

class CtlEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_socket = m_dir.filePath("kb.sock");
        m_trace = m_dir.filePath("trace.txt");
        m_data = m_dir.filePath("data");
        QDir().mkpath(m_dir.filePath("run"));
        QFile::setPermissions(m_dir.filePath("run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert("XDG_RUNTIME_DIR", m_dir.filePath("run"));  // a tool of our own, or none
        m_env.insert("QT_QPA_PLATFORM", "offscreen");
        ASSERT_TRUE(m_kbsim.start(KBSIM_PROGRAM, {"--trace", m_trace, m_socket}, m_env));
        ASSERT_TRUE(m_kbsim.waitForOutput("listening on", 5s));
    }

    CtlRun ctl(const QStringList& args) { return ctlIn(m_env, args); }
    CtlRun ctlIn(const QProcessEnvironment& env, const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(CTL_PROGRAM, QStringList{"--sim-socket", m_socket, "--data-dir", m_data} + args);
        CtlRun r;
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }

    // Two commands at once, as two scripts would run them.
    std::pair<CtlRun, CtlRun> ctlTogether(const QStringList& a, const QStringList& b) {
        QProcess pa, pb;
        for (auto [p, args] : {std::pair{&pa, &a}, std::pair{&pb, &b}}) {
            p->setProcessEnvironment(m_env);
            p->start(CTL_PROGRAM,
                     QStringList{"--sim-socket", m_socket, "--data-dir", m_data} + *args);
        }
        std::pair<CtlRun, CtlRun> r;
        for (auto [p, run] : {std::pair{&pa, &r.first}, std::pair{&pb, &r.second}}) {
            if (!p->waitForFinished(120000)) continue;
            run->exitCode = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
            run->out = p->readAllStandardOutput();
            run->err = p->readAllStandardError();
        }
        return r;
    }

    std::vector<Sent> sentSinceMark() {
        const auto all = receivedByKeyboard(readTrace(m_trace.toStdString()));
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(m_mark, all.size())), all.end()};
    }
    void mark() { m_mark = receivedByKeyboard(readTrace(m_trace.toStdString())).size(); }

    // Waits until the keyboard has received nothing for a while (the tool's start-up read).
    bool waitQuiet() {
        std::size_t last = SIZE_MAX;
        int quietPolls = 0;
        return waitUntil(
            [&] {
                const std::size_t n = readTrace(m_trace.toStdString()).size();
                quietPolls = n == last ? quietPolls + 1 : 0;
                last = n;
                return quietPolls >= 10;  // 500 ms without a report
            },
            15s);
    }

    // The number of reports tavrikctl's own session sends to open the keyboard (its opening
    // read), measured with a command that sends nothing else.
    std::size_t startupReports() {
        mark();
        const CtlRun r = ctl({"dump"});
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
        return sentSinceMark().size();
    }

    bool startTool() {
        if (!m_tool.start(TOOL_PROGRAM, {"--sim-socket", m_socket, "--data-dir", m_data}, m_env,
                          m_dir.filePath("tool.log"))) {
            return false;
        }
        // Ready once it answers tavrikctl and its start-up read has reached keymap.bin.
        return waitUntil(
                   [&] {
                       const CtlRun r = ctl({"status"});
                       return r.exitCode == 0 && r.out.contains("tool: running");
                   },
                   15s) &&
               waitQuiet();
    }

    // A profile that differs from the keyboard in one key, and the edit that makes it.
    QString oneKeyProfile() {
        const CtlRun saved = ctl({"profiles", "save", "Base"});
        EXPECT_EQ(saved.exitCode, 0) << saved.err.constData();
        QFile base(m_data + "/Configure/Base.bin");
        EXPECT_TRUE(base.open(QIODevice::ReadOnly));
        QByteArray bytes = base.readAll();
        EXPECT_EQ(bytes.size(), qsizetype(model::kKeymapFileSize));
        const std::size_t at = model::image::kKeyCodeArea + std::size_t(kSlotCell()) + 1;
        bytes[qsizetype(at)] = char(bytes[qsizetype(at)] ^ 0x01);
        const QString path = m_dir.filePath("one-key.bin");
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        return path;
    }
    static std::ptrdiff_t kSlotCell() {
        model::Image probe{};
        const auto cell = model::keyCodeCell(probe, kSlot);
        return cell.data() - probe.data() - std::ptrdiff_t(model::image::kKeyCodeArea);
    }
    static void oneKeyEdit(model::ConfigState& s) {
        auto cell = model::keyCodeCell(s.image, kSlot);
        cell[1] = std::uint8_t(cell[1] ^ 0x01);
    }

    QTemporaryDir m_dir;
    QString m_socket, m_trace, m_data;
    QProcessEnvironment m_env;
    Child m_kbsim{"tavrik-kbsim"};
    Child m_tool{"tavrik-87rev"};
    std::size_t m_mark = 0;
};

// Reads a member of `dump --json`: "performance.gameMode", "keys.F6" (a key's function),
// "diy.0.Esc".
QJsonValue dumpedValue(const QByteArray& json, const QString& where) {
    const QStringList path = where.split('.');
    const QJsonObject document = QJsonDocument::fromJson(json).object();
    const QJsonValue section = document.value(path[0]);
    if (path[0] == "keys") {
        for (const QJsonValue& k : section.toArray()) {
            if (k.toObject().value("key").toString() == path[1]) {
                return k.toObject().value("function");
            }
        }
        return {};
    }
    if (path[0] == "diy") return section.toArray().at(path[1].toInt()).toObject().value(path[2]);
    return section.toObject().value(path[1]);
}

// Every setting `set` offers is what the next `dump` shows, also after a `status` in between,
// and the reads change nothing on the keyboard. Two rounds, so that each switch is seen both
// ways and a second "win-lock on" still shows on.
TEST_F(CtlEndToEnd, EverySetIsWhatTheNextDumpShows) {
    struct Row {
        QStringList set;
        QString where;
        QJsonValue shown;
    };
    const std::vector<std::vector<Row>> rounds = {
        {
            {{"game-mode", "off"}, "performance.gameMode", false},
            {{"win-lock", "on"}, "performance.winLock", true},
            {{"effect", "wave", "--speed", "3", "--brightness", "20"}, "lighting.speed", 3},
            {{}, "lighting.brightness", 20},
            {{}, "lighting.effect", "Wave"},
            {{"response-time", "8"}, "performance.responseTimeMs", 8},
            {{"report-rate", "250"}, "performance.reportRateHz", 250},
            {{"key", "F6", "LCtrl", "+", "C"}, "keys.F6", "LCtrl + C"},
            {{"diy", "1", "Esc", "FF0000"}, "diy.0.Esc", "#FF0000"},
        },
        {
            {{"win-lock", "on"}, "performance.winLock", true},
            {{"game-mode", "on"}, "performance.gameMode", true},
            {{"key", "F6", "default"}, "keys.F6", "default"},
        },
        {
            {{"win-lock", "off"}, "performance.winLock", false},
        },
    };
    for (const auto& round : rounds) {
        for (const Row& row : round) {
            if (row.set.isEmpty()) continue;
            const CtlRun set = ctl(QStringList{"set"} + row.set);
            ASSERT_EQ(set.exitCode, 0)
                << row.set.join(' ').toStdString() << ": " << set.err.constData();
        }
        ASSERT_EQ(ctl({"status"}).exitCode, 0);
        const model::Image keyboard = replay(readTrace(m_trace.toStdString())).image;
        const CtlRun dumped = ctl({"dump", "--json"});
        ASSERT_EQ(dumped.exitCode, 0) << dumped.err.constData();
        for (const Row& row : round) {
            EXPECT_EQ(dumpedValue(dumped.out, row.where), row.shown) << row.where.toStdString();
        }
        EXPECT_EQ(replay(readTrace(m_trace.toStdString())).image, keyboard);
    }
}

// status reads only the firmware version; dump only reads. Neither writes into the data folder.
TEST_F(CtlEndToEnd, StatusAndDumpOnlyRead) {
    mark();
    const CtlRun status = ctl({"status"});
    ASSERT_EQ(status.exitCode, 0) << status.err.constData();
    const auto sent = sentSinceMark();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].kind, "feature");
    EXPECT_EQ(sent[0].bytes[1], 0x80);
    EXPECT_TRUE(status.out.contains("firmware: 1.1")) << status.out.constData();

    mark();
    ASSERT_EQ(ctl({"dump"}).exitCode, 0);
    for (const Sent& r : sentSinceMark()) {
        // Every request of a read is a read: the top bit of its code is set.
        if (r.kind == "feature") {
            EXPECT_NE(r.bytes[1] & 0x80, 0) << std::hex << int(r.bytes[1]);
        }
        EXPECT_NE(r.kind, "data");
    }
    EXPECT_FALSE(QFileInfo::exists(m_data)) << "a read created the data folder";
}

TEST_F(CtlEndToEnd, ApplyOfOneChangedKeySendsTheSaveSequenceOfTheKeyCodeArea) {
    const std::size_t opening = startupReports();
    const QString profile = oneKeyProfile();
    mark();
    const CtlRun r = ctl({"apply", profile});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const auto sent = sentSinceMark();
    ASSERT_GE(sent.size(), opening);
    const std::vector<Sent> save(sent.begin() + std::ptrdiff_t(opening), sent.end());
    EXPECT_EQ(save, saveSequenceFor(oneKeyEdit));
    EXPECT_TRUE(
        std::any_of(save.begin(), save.end(), [](const Sent& s) { return s.kind == "data"; }));

    // Applying it again sends nothing beyond the opening; keymap.bin holds it.
    mark();
    ASSERT_EQ(ctl({"apply", profile}).exitCode, 0);
    EXPECT_EQ(sentSinceMark().size(), opening);
    model::ConfigState stored;
    ASSERT_TRUE(model::readConfigFile((m_data + "/keymap.bin").toStdString(), stored.image,
                                      stored.actions));
    EXPECT_EQ(model::keyCodeOf(stored.image, kSlot),
              model::keyCodeOf(replay(readTrace(m_trace.toStdString())).image, kSlot));
}

TEST_F(CtlEndToEnd, SetEffectWaveSendsOneLightingReport) {
    const std::size_t opening = startupReports();
    mark();
    const CtlRun r = ctl({"set", "effect", "wave"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const auto sent = sentSinceMark();
    ASSERT_EQ(sent.size(), opening + 1);
    EXPECT_EQ(sent.back().kind, "feature");
}

TEST_F(CtlEndToEnd, DumpShowsWhatTheEmulatorHolds) {
    ASSERT_EQ(ctl({"set", "effect", "wave", "--speed", "3"}).exitCode, 0);
    ASSERT_EQ(ctl({"set", "key", "F6", "LCtrl", "+", "C"}).exitCode, 0);
    const CtlRun json = ctl({"dump", "--json", "-o", m_dir.filePath("dump.json")});
    ASSERT_EQ(json.exitCode, 0) << json.err.constData();
    const CtlRun text = ctl({"dump"});
    ASSERT_EQ(text.exitCode, 0) << text.err.constData();
    EXPECT_TRUE(text.out.contains("LCtrl + C")) << text.out.constData();
    EXPECT_TRUE(text.err.isEmpty()) << text.err.constData();
    // Scripts run from cron have no XDG_RUNTIME_DIR: standard error stays free of Qt's notes.
    QProcessEnvironment cron = m_env;
    cron.remove("XDG_RUNTIME_DIR");
    cron.insert("XDG_CACHE_HOME", m_dir.filePath("c"));  // its private fallback folder
    const CtlRun status = ctlIn(cron, {"status"});
    EXPECT_EQ(status.exitCode, 0);
    EXPECT_TRUE(status.err.isEmpty()) << status.err.constData();

    // The emulator's own dump: "effect E, speed S, brightness B, colour C, direction D".
    ASSERT_TRUE(m_kbsim.writeLine("dump"));
    ASSERT_TRUE(m_kbsim.waitForOutput("protocol errors", 5s));
    const QRegularExpression lighting(
        "effect (\\d+), speed (\\d+), brightness (\\d+), colour (\\d+), direction (\\d+)");
    const auto m = lighting.match(QString::fromUtf8(m_kbsim.output()));
    ASSERT_TRUE(m.hasMatch());
    // The JSON dump through the same document reader as import.
    const CtlRun exported = ctl({"export", m_dir.filePath("export.json")});
    ASSERT_EQ(exported.exitCode, 0);
    QFile dumped(m_dir.filePath("dump.json"));
    ASSERT_TRUE(dumped.open(QIODevice::ReadOnly));
    QFile exportedFile(m_dir.filePath("export.json"));
    ASSERT_TRUE(exportedFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(dumped.readAll(), exportedFile.readAll());
    const model::Image keyboard = replay(readTrace(m_trace.toStdString())).image;
    EXPECT_EQ(keyboard[model::image::kEffect], m.captured(1).toUInt());
    EXPECT_EQ(keyboard[model::image::kSpeed], m.captured(2).toUInt());
    EXPECT_EQ(keyboard[model::image::kBrightness], m.captured(3).toUInt());
    EXPECT_TRUE(QRegularExpression("\\n *speed +" + m.captured(2) + "\\n")
                    .match(QString::fromUtf8(text.out))
                    .hasMatch())
        << text.out.constData();
}

TEST_F(CtlEndToEnd, BadInputChangesNothingAndSaysWhatToDo) {
    ASSERT_GT(startupReports(), 0u);  // the keyboard is there and keymap.bin exists
    QFile junk(m_dir.filePath("junk.bin"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly) && junk.write(QByteArray(123, 'x')) == 123);
    junk.close();
    QFile badJson(m_dir.filePath("bad.json"));
    ASSERT_TRUE(badJson.open(QIODevice::WriteOnly) && badJson.write("{\"format\": 1") > 0);
    badJson.close();
    const QByteArray keymapBefore = [&] {
        QFile f(m_data + "/keymap.bin");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    mark();
    const struct {
        QStringList args;
        int exitCode;
    } cases[] = {
        {{"apply", m_dir.filePath("junk.bin")}, 5},
        {{"apply", m_dir.filePath("missing.bin")}, 5},
        {{"import", m_dir.filePath("bad.json")}, 5},
        {{"set", "key", "Ecs", "default"}, 2},
        {{"set", "report-rate", "333"}, 2},
        {{"profiles", "apply", "Nope"}, 2},
        {{"frobnicate"}, 2},
    };
    for (const auto& c : cases) {
        const CtlRun r = ctl(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.constData();
        EXPECT_TRUE(r.err.startsWith("tavrikctl: ")) << r.err.constData();
    }
    // Every one is refused before the keyboard is opened: a bad `set` and an unknown profile
    // name are checked first, and a file is read before anything is sent.
    EXPECT_TRUE(sentSinceMark().empty());
    QFile after(m_data + "/keymap.bin");
    EXPECT_EQ(after.open(QIODevice::ReadOnly) ? after.readAll() : QByteArray(), keymapBefore);
}

TEST_F(CtlEndToEnd, ForwardedToTheRunningToolSameReportsAndTheToolFollows) {
    ASSERT_TRUE(startTool()) << "the tool did not start";
    // Made from the tool's host copy: its start-up read turned game mode on.
    const QString profile = oneKeyProfile();

    mark();
    const CtlRun applied = ctl({"apply", profile});
    ASSERT_EQ(applied.exitCode, 0) << applied.err.constData();
    EXPECT_EQ(sentSinceMark(), saveSequenceFor(oneKeyEdit));  // no opening of its own

    mark();
    const CtlRun set = ctl({"set", "effect", "wave"});
    ASSERT_EQ(set.exitCode, 0) << set.err.constData();
    const auto sent = sentSinceMark();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].kind, "feature");

    // A forwarded dump reads the keyboard through the tool's session and writes nothing.
    mark();
    const CtlRun dumped = ctl({"dump"});
    ASSERT_EQ(dumped.exitCode, 0) << dumped.err.constData();
    const QRegularExpression wave("\\n *effect +Wave\\n");
    EXPECT_TRUE(wave.match(QString::fromUtf8(dumped.out)).hasMatch()) << dumped.out.constData();
    EXPECT_FALSE(sentSinceMark().empty());  // read requests of its read-all

    // The tool's configuration follows: its keymap.bin and its host copy hold what was sent.
    const model::Image keyboard = replay(readTrace(m_trace.toStdString())).image;
    model::ConfigState stored;
    ASSERT_TRUE(model::readConfigFile((m_data + "/keymap.bin").toStdString(), stored.image,
                                      stored.actions));
    EXPECT_EQ(stored.image[model::image::kEffect], keyboard[model::image::kEffect]);
    EXPECT_EQ(model::keyCodeOf(stored.image, kSlot), model::keyCodeOf(keyboard, kSlot));
    ASSERT_EQ(ctl({"profiles", "save", "Now"}).exitCode, 0);
    model::ConfigState hostCopy;
    ASSERT_TRUE(model::readConfigFile((m_data + "/Configure/Now.bin").toStdString(), hostCopy.image,
                                      hostCopy.actions));
    EXPECT_EQ(hostCopy.image[model::image::kEffect], keyboard[model::image::kEffect]);
    EXPECT_EQ(model::keyCodeOf(hostCopy.image, kSlot), model::keyCodeOf(keyboard, kSlot));

    // A command for another keyboard is not sent to the tool's.
    mark();
    QProcess other;
    other.setProcessEnvironment(m_env);
    other.start(CTL_PROGRAM, {"--simulate", "--data-dir", m_data, "set", "game-mode", "off"});
    ASSERT_TRUE(other.waitForFinished(30000));
    EXPECT_EQ(other.exitCode(), 2);
    EXPECT_TRUE(sentSinceMark().empty());

    // The plain second start still only brings the window forward.
    QProcess second;
    second.setProcessEnvironment(m_env);
    second.start(TOOL_PROGRAM, {"--sim-socket", m_socket, "--data-dir", m_data});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(m_tool.running());
}

// The running tool answers from its current connection state: started with the emulator
// unplugged, a plug makes `status` say connected, and an unplug says not found again; a change
// asked for meanwhile ends with the exit code for no keyboard, on its own and forwarded.
TEST_F(CtlEndToEnd, StatusAndExitCodesFollowTheKeyboardComingAndGoing) {
    ASSERT_TRUE(m_kbsim.writeLine("unplug"));
    const CtlRun alone = ctl({"set", "game-mode", "on"});
    EXPECT_EQ(alone.exitCode, 3) << alone.err.constData();
    ASSERT_TRUE(m_tool.start(TOOL_PROGRAM, {"--sim-socket", m_socket, "--data-dir", m_data}, m_env,
                             m_dir.filePath("tool.log")));
    const auto statusSays = [&](const QByteArray& keyboard, int exitCode) {
        return waitUntil(
            [&] {
                const CtlRun r = ctl({"status"});
                return r.exitCode == exitCode && r.out.contains("tool: running") &&
                       r.out.contains("keyboard: " + keyboard + "\n");
            },
            15s);
    };
    ASSERT_TRUE(statusSays("not found", 3));
    const CtlRun forwarded = ctl({"set", "game-mode", "on"});
    EXPECT_EQ(forwarded.exitCode, 3) << forwarded.err.constData();
    EXPECT_TRUE(forwarded.err.contains("plug it in")) << forwarded.err.constData();

    ASSERT_TRUE(m_kbsim.writeLine("plug"));
    EXPECT_TRUE(statusSays("connected", 0));
    ASSERT_TRUE(waitQuiet());
    const CtlRun set = ctl({"set", "game-mode", "on"});
    EXPECT_EQ(set.exitCode, 0) << set.err.constData();

    ASSERT_TRUE(m_kbsim.writeLine("unplug"));
    EXPECT_TRUE(statusSays("not found", 3));
    EXPECT_EQ(ctl({"dump"}).exitCode, 3);
}

// Two tavrikctl commands at once with no tool running: one waits for the other's session (the
// per-user instance lock), so neither change is lost, on the keyboard or in keymap.bin.
// TAVRIK_LOST_UPDATE_ROUNDS sets the number of rounds (a handful by default).
TEST_F(CtlEndToEnd, TwoCommandsAtOnceLoseNeitherChange) {
    const int rounds = qEnvironmentVariableIntValue("TAVRIK_LOST_UPDATE_ROUNDS") > 0
                           ? qEnvironmentVariableIntValue("TAVRIK_LOST_UPDATE_ROUNDS")
                           : 3;
    const auto f5 = describe::findSlot("F5");
    ASSERT_TRUE(f5);
    int lost = 0, failed = 0;
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < rounds; ++round) {
        const bool even = round % 2 == 0;
        const QString effect = even ? "Wave" : "Breathing";
        const QStringList key = even ? QStringList{"LCtrl", "+", "Z"} : QStringList{"default"};
        const auto [a, b] =
            ctlTogether({"set", "effect", effect.toLower()}, QStringList{"set", "key", "F5"} + key);
        if (a.exitCode != 0 || b.exitCode != 0) {
            ++failed;
            ADD_FAILURE() << "round " << round << ": " << a.err.constData() << b.err.constData();
            continue;
        }
        EXPECT_TRUE(a.err.isEmpty() && b.err.isEmpty()) << a.err.constData() << b.err.constData();
        const CtlRun dumped = ctl({"dump"});
        ASSERT_EQ(dumped.exitCode, 0) << dumped.err.constData();
        const QString text = QString::fromUtf8(dumped.out);
        const bool effectHeld =
            QRegularExpression("\\n *effect +" + effect + "\\n").match(text).hasMatch();
        const bool keyHeld =
            QRegularExpression("\\n *F5 +" +
                               QRegularExpression::escape(even ? "LCtrl + Z" : "default") + "\\n")
                .match(text)
                .hasMatch();
        // keymap.bin holds what the keyboard holds.
        const model::Image keyboard = replay(readTrace(m_trace.toStdString())).image;
        model::ConfigState stored;
        ASSERT_TRUE(model::readConfigFile((m_data + "/keymap.bin").toStdString(), stored.image,
                                          stored.actions));
        const bool fileHeld =
            stored.image[model::image::kEffect] == keyboard[model::image::kEffect] &&
            model::keyCodeOf(stored.image, *f5) == model::keyCodeOf(keyboard, *f5);
        if (!effectHeld || !keyHeld || !fileHeld) {
            ++lost;
            ADD_FAILURE() << "round " << round << " lost an update:\n" << dumped.out.constData();
        }
    }
    std::printf("%d rounds of two commands at once: %d lost, %d failed, %.1f s\n", rounds, lost,
                failed, double(timer.elapsed()) / 1000.0);
}

// With XDG_RUNTIME_DIR unset, another user (nobody) who took the shared temporary folder (its
// runtime-<victim> folder and a listener at the socket's name there) receives nothing: tavrikctl
// uses a private folder of its own and runs its own session.
TEST_F(CtlEndToEnd, AnotherUsersListenerInTheSharedFolderGetsNothing) {
    const QString shared = m_dir.filePath("tmp");
    ASSERT_TRUE(QDir().mkpath(shared));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
    ::chmod(QFile::encodeName(m_dir.path()).constData(), 0755);  // nobody may enter
    const QString theirs = shared + "/runtime-" + qEnvironmentVariable("USER", "root");
    test::BackgroundProcess other([&](int ready, int stop) {
        ::mkdir(QFile::encodeName(theirs).constData(), 0700);
        const std::string socket = (shared + '/' + app::instanceName() + ".sock").toStdString();
        return test::countingListener(socket)(ready, stop);
    });
    ASSERT_TRUE(other.waitReady());

    QProcessEnvironment cron = m_env;
    cron.remove("XDG_RUNTIME_DIR");
    cron.insert("TMPDIR", shared);
    cron.insert("XDG_CACHE_HOME", m_dir.filePath("c"));
    const CtlRun status = ctlIn(cron, {"status"});
    EXPECT_EQ(status.exitCode, 0) << status.err.constData();
    EXPECT_TRUE(status.out.contains("tool: not running")) << status.out.constData();
    EXPECT_EQ(other.stop(), 0);  // not even a connection
    const QString own = m_dir.filePath("c/tavrik-87rev-run");
    EXPECT_EQ(QFileInfo(own).ownerId(), ::geteuid());
    EXPECT_EQ(
        QFileInfo(own).permissions() & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                         QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
        QFileDevice::Permissions());
}

// A planted lock file (a symbolic link, another user's file) or a runtime path too long for a
// socket: both programs say why they cannot run and end with an error, sending nothing.
TEST_F(CtlEndToEnd, AnUnusableLockOrRuntimeFolderIsRefusedWithTheReason) {
    const QString run = m_dir.filePath("run");
    const QString lock = run + '/' + app::instanceName() + ".lock";
    const QString longRun = m_dir.filePath(QString(70, u'r'));
    ASSERT_TRUE(QDir().mkpath(longRun));
    ASSERT_EQ(::chmod(QFile::encodeName(longRun).constData(), 0700), 0);
    const struct {
        const char* name;
        std::function<bool()> plant;
        QString runtimeDir;
        const char* reason;
    } rows[] = {
        {"link", [&] { return QFile::link(m_dir.filePath("elsewhere"), lock); }, run,
         "symbolic link"},
        {"other user's lock",
         [&] {
             QFile f(lock);
             return f.open(QIODevice::WriteOnly) && f.write("1\ntavrik-87rev\n\n") > 0 &&
                    ::chown(QFile::encodeName(lock).constData(), test::kNobody, test::kNobody) == 0;
         },
         run, "another user"},
        {"long path", [] { return true; }, longRun, "too long for a local socket"},
    };
    mark();
    for (const auto& row : rows) {
        QFile::remove(lock);
        ASSERT_TRUE(row.plant()) << row.name;
        QProcessEnvironment env = m_env;
        env.insert("XDG_RUNTIME_DIR", row.runtimeDir);
        const CtlRun r = ctlIn(env, {"set", "effect", "wave"});
        EXPECT_EQ(r.exitCode, 5) << row.name;
        EXPECT_TRUE(r.err.contains(row.reason)) << row.name << ": " << r.err.constData();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.constData();
        EXPECT_FALSE(r.err.contains("does not answer"));

        QProcess tool;
        tool.setProcessEnvironment(env);
        tool.start(TOOL_PROGRAM, {"--sim-socket", m_socket, "--data-dir", m_data});
        ASSERT_TRUE(tool.waitForFinished(20000)) << row.name;
        EXPECT_EQ(tool.exitCode(), 1) << row.name;
        const QByteArray err = tool.readAllStandardError();
        EXPECT_TRUE(err.contains("cannot start") && err.contains(row.reason))
            << row.name << ": " << err.constData();
    }
    EXPECT_TRUE(sentSinceMark().empty());
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath("elsewhere")));
}

// While tavrikctl's own session drives the keyboard, a start of the tool waits for it instead
// of giving up; then tavrikctl forwards to the tool.
TEST_F(CtlEndToEnd, TheToolStartedDuringACommandWaitsForIt) {
    QProcess command;
    command.setProcessEnvironment(m_env);
    command.start(CTL_PROGRAM,
                  {"--sim-socket", m_socket, "--data-dir", m_data, "set", "effect", "wave"});
    ASSERT_TRUE(command.waitForStarted());
    ASSERT_TRUE(waitUntil(
        [&] { return QFileInfo::exists(m_dir.filePath("run/" + app::instanceName() + ".lock")); },
        5s));
    ASSERT_TRUE(startTool());
    ASSERT_TRUE(command.waitForFinished(30000));
    EXPECT_EQ(command.exitCode(), 0) << command.readAllStandardError().constData();
    const CtlRun status = ctl({"status"});
    EXPECT_TRUE(status.out.contains("tool: running")) << status.out.constData();
}

// Where profiles are written comes from tavrikctl's own options, never from the running tool's
// answer over the socket.
// Profiles by name: listed as JSON, renamed and deleted without the keyboard; a mistyped name
// is answered with the closest, a rename never replaces, and the last profile stays.
TEST_F(CtlEndToEnd, ProfilesAreListedRenamedAndDeletedByName) {
    const auto listed = [&] {
        const CtlRun r = ctl({"profiles", "list", "--json"});
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
        QStringList names;
        for (const QJsonValue v : QJsonDocument::fromJson(r.out).array()) names << v.toString();
        return names;
    };
    for (const char* name : {"Alpha", "Beta"}) {
        const CtlRun r = ctl({"profiles", "save", name});
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    }
    EXPECT_EQ(listed(), QStringList({"Alpha", "Beta"}));
    mark();
    EXPECT_EQ(ctl({"profiles", "rename", "Alpha", "Gamma"}).exitCode, 0);
    EXPECT_EQ(listed(), QStringList({"Beta", "Gamma"}));
    const CtlRun clash = ctl({"profiles", "rename", "Beta", "Gamma"});
    EXPECT_EQ(clash.exitCode, 5);
    EXPECT_TRUE(clash.err.contains("exists already")) << clash.err.constData();
    const CtlRun typo = ctl({"profiles", "delete", "Gamam"});
    EXPECT_EQ(typo.exitCode, 2);
    EXPECT_TRUE(typo.err.contains("did you mean \"Gamma\"?")) << typo.err.constData();
    EXPECT_EQ(ctl({"profiles", "delete", "Gamma"}).exitCode, 0);
    const CtlRun last = ctl({"profiles", "delete", "Beta"});
    EXPECT_EQ(last.exitCode, 5);
    EXPECT_TRUE(last.err.contains("keep a profile")) << last.err.constData();
    EXPECT_EQ(listed(), QStringList({"Beta"}));
    EXPECT_TRUE(sentSinceMark().empty());  // none of this needed the keyboard
}

// The status as JSON, dump to standard output with -o -, and the names `set` takes.
TEST_F(CtlEndToEnd, StatusAsJsonDumpToStandardOutputAndNameLists) {
    const CtlRun status = ctl({"status", "--json"});
    ASSERT_EQ(status.exitCode, 0) << status.err.constData();
    const QJsonObject s = QJsonDocument::fromJson(status.out).object();
    EXPECT_EQ(s.value("keyboard").toString(), QStringLiteral("connected"));
    EXPECT_EQ(s.value("transport").toString(), QStringLiteral("socket"));
    EXPECT_FALSE(s.value("firmware").toString().isEmpty());
    EXPECT_FALSE(s.value("toolRunning").toBool(true));
    EXPECT_EQ(s.value("dataFolder").toString(), m_data);
    const CtlRun plain = ctl({"dump"});
    const CtlRun dashed = ctl({"dump", "-o", "-"});
    ASSERT_EQ(dashed.exitCode, 0) << dashed.err.constData();
    EXPECT_EQ(dashed.out, plain.out);
    EXPECT_FALSE(QFile::exists(QStringLiteral("-")));
    const CtlRun effects = ctl({"list", "effects"});
    EXPECT_EQ(effects.out.count('\n'), 18);
    EXPECT_TRUE(effects.out.startsWith("Static\n"));
    // An output that cannot be written is refused before the keyboard is read.
    mark();
    const CtlRun nowhere = ctl({"export", m_dir.filePath("missing/out.json")});
    EXPECT_EQ(nowhere.exitCode, 5);
    EXPECT_TRUE(nowhere.err.contains("no folder")) << nowhere.err.constData();
    EXPECT_TRUE(sentSinceMark().empty());
}

TEST_F(CtlEndToEnd, ProfilesAreSavedWhereTavrikctlsOwnOptionsSay) {
    ASSERT_TRUE(startTool());
    const QString mine = m_dir.filePath("mine");
    QProcess save;
    save.setProcessEnvironment(m_env);
    save.start(CTL_PROGRAM,
               {"--sim-socket", m_socket, "--data-dir", mine, "profiles", "save", "Here"});
    ASSERT_TRUE(save.waitForFinished(30000));
    EXPECT_EQ(save.exitCode(), 0) << save.readAllStandardError().constData();
    EXPECT_TRUE(QFileInfo::exists(mine + "/Configure/Here.bin"));
    EXPECT_FALSE(QFileInfo::exists(m_data + "/Configure/Here.bin"));
}

// bind, unbind and rules, on their own (under the instance lock) and forwarded to the running
// tool: the rules file says what was asked, renames and deletions carry the rules, a damaged
// file is refused and kept, and none of it opens the keyboard.
TEST_F(CtlEndToEnd, ApplicationRulesAreEditedOnTheirOwnAndForwarded) {
    for (const char* name : {"Game", "Work", "Spare"}) {
        const CtlRun r = ctl({"profiles", "save", name});
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    }
    const QString rulesFile = m_data + "/app-profiles.json";
    const auto rulesJson = [&] {
        const CtlRun r = ctl({"profiles", "rules", "--json"});
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
        return QJsonDocument::fromJson(r.out).object();
    };
    for (const bool forwarded : {false, true}) {
        SCOPED_TRACE(forwarded ? "forwarded" : "on its own");
        QFile::remove(rulesFile);
        if (forwarded) {
            ASSERT_TRUE(startTool()) << "the tool did not start";
            ASSERT_EQ(ctl({"profiles", "save", "Game"}).exitCode, 0);  // the profiles exist
        }
        mark();
        for (const QStringList& args : {QStringList{"profiles", "bind", "Game", "steam"},
                                        QStringList{"profiles", "bind", "Game", "CS2"},
                                        QStringList{"profiles", "bind", "--default", "Work"}}) {
            const CtlRun r = ctl(args);
            EXPECT_EQ(r.exitCode, 0) << args.join(' ').toStdString() << r.err.constData();
        }
        const CtlRun typo = ctl({"profiles", "bind", "Gmae", "steam"});
        EXPECT_EQ(typo.exitCode, 2);
        EXPECT_TRUE(typo.err.contains("did you mean \"Game\"?")) << typo.err.constData();
        EXPECT_EQ(ctl({"profiles", "bind", "Game", ""}).exitCode, 2);
        EXPECT_EQ(ctl({"profiles", "bind", "--default", "Work", "extra"}).exitCode, 2);
        const CtlRun listed = ctl({"profiles", "rules"});
        EXPECT_EQ(listed.exitCode, 0) << listed.err.constData();
        EXPECT_EQ(listed.out, QByteArray("Game: steam, CS2\ndefault: Work\n"));
        // A rename carries the rules; unbinding ignores case; unbinding twice says so.
        ASSERT_EQ(ctl({"profiles", "rename", "Work", "Office"}).exitCode, 0);
        EXPECT_EQ(rulesJson().value("default").toString(), "Office");
        EXPECT_EQ(ctl({"profiles", "unbind", "Game", "cs2"}).exitCode, 0);
        const CtlRun again = ctl({"profiles", "unbind", "Game", "cs2"});
        EXPECT_EQ(again.exitCode, 2);
        EXPECT_TRUE(again.err.contains("is not bound")) << again.err.constData();
        // A deleted profile's rules go with it.
        ASSERT_EQ(ctl({"profiles", "delete", "Office"}).exitCode, 0);
        const QJsonObject rules = rulesJson();
        EXPECT_FALSE(rules.contains("default"));
        EXPECT_EQ(rules.value("profiles").toArray().size(), 1);
        EXPECT_TRUE(sentSinceMark().empty());  // no keyboard was needed
        if (forwarded) {
            // The running tool keeps the rules of its own data folder only.
            QProcess other;
            other.setProcessEnvironment(m_env);
            other.start(CTL_PROGRAM, {"--sim-socket", m_socket, "--data-dir",
                                      m_dir.filePath("elsewhere"), "profiles", "rules"});
            ASSERT_TRUE(other.waitForFinished(30000));
            EXPECT_EQ(other.exitCode(), 2);
            EXPECT_TRUE(other.readAllStandardError().contains("keeps its rules in"));
        }
        // The file is what was asked, and a damaged one is refused and left alone.
        QFile file(rulesFile);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().contains("\"steam\""));
        file.close();
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("{\"format\": ");
        file.close();
        for (const QStringList& args :
             {QStringList{"profiles", "rules"}, QStringList{"profiles", "bind", "Game", "quake"}}) {
            const CtlRun r = ctl(args);
            EXPECT_EQ(r.exitCode, 5) << args.join(' ').toStdString();
            EXPECT_TRUE(r.err.contains("app-profiles.json")) << r.err.constData();
        }
        // A rename or delete that could not carry the rules leaves the profile as it is.
        for (const QStringList& args : {QStringList{"profiles", "rename", "Game", "Games"},
                                        QStringList{"profiles", "delete", "Game"}}) {
            const CtlRun r = ctl(args);
            EXPECT_EQ(r.exitCode, 5) << args.join(' ').toStdString() << r.err.constData();
            EXPECT_TRUE(r.err.contains("left as it is")) << r.err.constData();
        }
        EXPECT_TRUE(QFile::exists(m_data + "/Configure/Game.bin"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("{\"format\": "));
        file.close();
        // Put back for the next round (rename and delete changed the folder).
        ASSERT_EQ(ctl({"profiles", "save", "Work"}).exitCode, 0);
    }
}

}  // namespace
}  // namespace tavrik::e2e
