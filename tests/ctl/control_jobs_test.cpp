// Control requests against the emulated keyboard: what reaches the wire, what is stored, and
// that refused input changes nothing.

#include <gtest/gtest.h>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTimer>

#include "describe/configuration.h"
#include "device/reports.h"
#include "host/control_protocol.h"
#include "host/document/config_document.h"
#include "host_fixture.h"
#include "model/keymap_file.h"

namespace tavrik::ctl {
namespace {

using test_support::Host;
using test_support::request;
using test_support::setRequest;

QJsonObject profileRequest(const QByteArray& bytes) {
    QJsonObject r = request("apply");
    r.insert(QStringLiteral("profile"), QString::fromLatin1(bytes.toBase64()));
    return r;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray profileOf(const model::ConfigState& s, bool withActions) {
    QByteArray bytes(reinterpret_cast<const char*>(s.image.data()), qsizetype(s.image.size()));
    if (withActions) {
        bytes.append(reinterpret_cast<const char*>(s.actions.data()),
                     qsizetype(model::kKeyActionTableSize));
    }
    return bytes;
}

constexpr int kSlot = 30;

bool succeeded(const QJsonObject& reply) {
    return reply.value(QStringLiteral("ok")).toBool();
}

void changeOneKey(model::ConfigState& s) {
    auto cell = model::keyCodeCell(s.image, kSlot);
    cell[1] = static_cast<std::uint8_t>(cell[1] ^ 0x01);
}

struct ControlJobsTest : ::testing::Test {
    QTemporaryDir dir;
    QString keymap() const { return dir.filePath(QStringLiteral("keymap.bin")); }
};

TEST_F(ControlJobsTest, ApplyOfAProfileSendsExactlyWhatSaveSendsForTheDifference) {
    for (const bool withActions : {false, true}) {
        QTemporaryDir a, b;
        Host viaRequest(a.path());
        Host viaSave(b.path());
        auto target = std::make_unique<model::ConfigState>(
            viaRequest.model->withLock([](model::ConfigState& s) { return s; }));
        changeOneKey(*target);

        const QJsonObject reply = viaRequest.run(profileRequest(profileOf(*target, withActions)));
        ASSERT_TRUE(reply.value(QStringLiteral("ok")).toBool()) << withActions;

        viaSave.model->withLock([](model::ConfigState& s) { changeOneKey(s); });
        viaSave.link->session().save();
        viaSave.link->session().waitIdle();

        const auto sent = viaRequest.takeReceived();
        EXPECT_EQ(sent, viaSave.takeReceived());
        // Only the key code area travels: begin, its burst, end.
        EXPECT_FALSE(sent.empty());
        EXPECT_EQ(viaRequest.firmware().image(), target->image);
        // keymap.bin holds what was sent, stored as Save stores it.
        EXPECT_EQ(fileBytes(a.filePath(QStringLiteral("keymap.bin"))),
                  fileBytes(b.filePath(QStringLiteral("keymap.bin"))));
    }
}

TEST_F(ControlJobsTest, SetEffectSendsOneLightingReportAndStoresKeymap) {
    Host host(dir.path());
    const std::uint8_t before = host.firmware().image()[model::image::kEffect];
    const QJsonObject reply = host.run(setRequest({"effect", "wave", "--speed", "2"}));
    ASSERT_TRUE(reply.value(QStringLiteral("ok")).toBool())
        << reply.value(QStringLiteral("message")).toString().toStdString();
    const auto sent = host.takeReceived();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].kind, sim::ReportKind::Feature);
    const model::Image onKeyboard = host.firmware().image();
    EXPECT_NE(onKeyboard[model::image::kEffect], before);
    const QByteArray stored = fileBytes(keymap());
    ASSERT_EQ(stored.size(), qsizetype(model::kKeymapFileSize));
    EXPECT_EQ(std::uint8_t(stored[qsizetype(model::image::kEffect)]),
              onKeyboard[model::image::kEffect]);
}

// The keyboard took the change but keymap.bin cannot be written (here its folder lies under a
// regular file; a full disk gives the same): the answer says so, with its own exit code, not
// the "file error, nothing changed" of bad input.
TEST_F(ControlJobsTest, AChangeTheKeyboardTookButNoFileStoredIsToldAsSuch) {
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Host host(dir.filePath(QStringLiteral("blocker/data")));
    const QJsonObject reply = host.run(setRequest({"effect", "wave"}));
    EXPECT_FALSE(succeeded(reply));
    EXPECT_EQ(reply.value(QStringLiteral("error")).toString(), QStringLiteral("not-stored"));
    EXPECT_EQ(app::control::exitCode(app::control::Failure::NotStored), 6);
    const QString message = reply.value(QStringLiteral("message")).toString();
    EXPECT_TRUE(message.contains(QStringLiteral("keyboard took the change")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("keymap.bin"))) << message.toStdString();
    EXPECT_EQ(host.firmware().image()[model::image::kEffect], 3);  // Wave
}

TEST_F(ControlJobsTest, RefusedInputChangesNothingAndSendsNothing) {
    Host host(dir.path());
    const QByteArray keymapBefore = fileBytes(keymap());
    const model::Image imageBefore =
        host.model->withLock([](model::ConfigState& s) { return s.image; });

    QJsonObject otherVersion = request("apply");
    otherVersion.insert(QStringLiteral("configuration"),
                        QJsonObject{{QStringLiteral("format"), QString::fromLatin1(kFormatName)},
                                    {QStringLiteral("version"), kFormatVersion + 1}});
    const struct {
        QJsonObject request;
        const char* error;
    } cases[] = {
        {setRequest({"key", "Ecs", "default"}), "usage"},
        {setRequest({"response-time", "3"}), "usage"},
        {setRequest({"effect"}), "usage"},
        {profileRequest(QByteArray(100, '\0')), "file"},
        {profileRequest(QByteArray(qsizetype(model::kImageSize) + 1, '\0')), "file"},
        {otherVersion, "usage"},
        {request("format-disk"), "usage"},
    };
    for (const auto& c : cases) {
        const QJsonObject reply = host.run(c.request);
        EXPECT_FALSE(reply.value(QStringLiteral("ok")).toBool());
        EXPECT_EQ(reply.value(QStringLiteral("error")).toString(), QLatin1StringView(c.error))
            << reply.value(QStringLiteral("message")).toString().toStdString();
        EXPECT_FALSE(reply.value(QStringLiteral("message")).toString().contains(u'\n'));
    }
    EXPECT_TRUE(host.takeReceived().empty());
    EXPECT_EQ(fileBytes(keymap()), keymapBefore);
    EXPECT_EQ(host.model->withLock([](model::ConfigState& s) { return s.image; }), imageBefore);
}

TEST_F(ControlJobsTest, ReadTakesTheKeyboardsConfigurationAndLeavesTheHostCopy) {
    Host host(dir.path());
    model::Image changed = host.firmware().image();
    changed[model::image::kEffect] = static_cast<std::uint8_t>(changed[model::image::kEffect] ^ 1);
    model::keyCodeCell(changed, kSlot)[1] ^= 0x02;
    host.firmware().setImage(changed);
    const model::Image hostBefore =
        host.model->withLock([](model::ConfigState& s) { return s.image; });

    const QJsonObject reply = host.run(request("read"));
    ASSERT_TRUE(reply.value(QStringLiteral("ok")).toBool());
    auto config = std::make_unique<describe::Configuration>();
    ASSERT_TRUE(importJsonObject(reply.value(QStringLiteral("configuration")).toObject(), *config));
    EXPECT_EQ(config->image[model::image::kEffect], changed[model::image::kEffect]);
    EXPECT_EQ(model::keyCodeOf(config->image, kSlot), model::keyCodeOf(changed, kSlot));
    EXPECT_EQ(host.model->withLock([](model::ConfigState& s) { return s.image; }), hostBefore);
}

TEST_F(ControlJobsTest, AKeyTheKeyboardNoLongerHasReadsAsDefault) {
    {
        Host before(dir.path());
        ASSERT_TRUE(succeeded(before.run(setRequest({"key", "F6", "LCtrl", "+", "C"}))));
    }
    // Another keyboard, at its factory state, with the keymap.bin that kept F6's combination.
    Host host(dir.path());
    const QJsonObject reply = host.run(request("read"));
    ASSERT_TRUE(succeeded(reply));
    QString f6;
    for (const QJsonValue& k : reply.value(QStringLiteral("configuration"))
                                   .toObject()
                                   .value(QStringLiteral("keys"))
                                   .toArray()) {
        if (k.toObject().value(QStringLiteral("key")).toString() == QLatin1StringView("F6")) {
            f6 = k.toObject().value(QStringLiteral("function")).toString();
        }
    }
    EXPECT_EQ(f6, QLatin1StringView("default"));
}

TEST_F(ControlJobsTest, WithoutKeyboardEditsAreRefusedAndStatusSaysSo) {
    Host host(dir.path());
    host.firmware().unplug();
    host.link->session().deviceRemoved({});
    host.link->session().waitIdle();
    const QByteArray keymapBefore = fileBytes(keymap());

    const QJsonObject reply = host.run(setRequest({"game-mode", "on"}));
    EXPECT_EQ(reply.value(QStringLiteral("error")).toString(), QLatin1StringView("no-keyboard"));
    EXPECT_EQ(host.run(request("read")).value(QStringLiteral("error")).toString(),
              QLatin1StringView("no-keyboard"));
    const QJsonObject status = host.run(request("status"));
    EXPECT_TRUE(status.value(QStringLiteral("ok")).toBool());
    EXPECT_FALSE(status.value(QStringLiteral("connected")).toBool());
    EXPECT_EQ(status.value(QStringLiteral("transport")).toString(), QLatin1StringView("emulated"));
    EXPECT_EQ(fileBytes(keymap()), keymapBefore);
}

TEST_F(ControlJobsTest, ARequestNoLongerWantedIsDroppedBeforeItRuns) {
    Host host(dir.path());
    bool answered = false;
    bool wanted = true;
    // Queued behind a device job: a Save of a change the keyboard never acknowledges, so it is
    // still running when the requests arrive. The asker leaves before the job ends.
    host.firmware().setFaults({.noAcknowledgements = true});
    host.model->withLock([](model::ConfigState& s) { changeOneKey(s); });
    host.link->session().save();
    for (const QJsonObject& r : {setRequest({"effect", "wave"}), request("read")}) {
        host.jobs->run(
            r, [&](const QJsonObject&) { answered = true; }, [&] { return wanted; });
    }
    wanted = false;
    // The job's end (the link's idle signal) would run a request still wanted, and its Save.
    host.link->session().waitIdle();
    EXPECT_FALSE(host.takeReceived().empty());               // the Save's own reports
    const QByteArray keymapAfterSave = fileBytes(keymap());  // the Save keeps its edit there
    for (int round = 0; round < 2; ++round) {
        host.link->session().flushNotices();
        QCoreApplication::processEvents();
        host.link->session().waitIdle();
    }
    EXPECT_FALSE(answered);
    EXPECT_TRUE(host.takeReceived().empty());
    EXPECT_EQ(fileBytes(keymap()), keymapAfterSave);
    // The same request still wanted runs.
    host.firmware().setFaults({});
    EXPECT_TRUE(succeeded(host.run(setRequest({"effect", "wave"}))));
    EXPECT_FALSE(host.takeReceived().empty());
}

}  // namespace
}  // namespace tavrik::ctl
