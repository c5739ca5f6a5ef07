// The readable forms users see: the `dump` text layout, and the example of the documentation
// (read from the source tree, so that it cannot drift from what import accepts).

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <memory>
#include <string>

#include "config_builder.h"
#include "describe/key_function.h"
#include "describe/key_names.h"
#include "host/document/config_document.h"
#include "model/image_layout.h"
#include "model/key_table.h"

namespace tavrik::ctl {
namespace {

using describe::Configuration;

std::unique_ptr<Configuration> exampleConfiguration() {
    auto c = test::factoryConfiguration();
    test::addMacro(*c, "Combo", 2,
                   {{162, false, 1}, {67, false, 50}, {67, true, 2}, {162, true, 250}});
    test::runSet(*c,
                 {"effect", "wave", "--speed", "5", "--brightness", "40", "--direction", "left"});
    test::runSet(*c, {"win-lock", "on"});
    test::runSet(*c, {"response-time", "4"});
    test::runSet(*c, {"key", "A", "LCtrl + C"});
    test::runSet(*c, {"key", "F1", "preset Mute"});
    test::runSet(*c, {"key", "F2", "macro Combo"});
    test::runSet(*c, {"key", "F3", "program /usr/bin/foo"});
    test::runSet(*c, {"key", "F3", "disable"});
    test::runSet(*c, {"diy", "1", "Esc", "#FF0000"});
    test::runSet(*c, {"diy", "1", "A", "#00ff80"});
    return c;
}

// The lines of `text` from the one starting with `first` up to, not including, the next line
// that does not start with a blank (the next section).
std::string section(const std::string& text, const std::string& first) {
    const std::size_t from = text.find(first + "\n");
    if (from == std::string::npos) return {};
    std::size_t to = text.find('\n', from) + 1;
    while (to < text.size() && text[to] == ' ') to = text.find('\n', to) + 1;
    return text.substr(from, to - from);
}

TEST(DumpText, LaysOutEachSectionAsAlignedRows) {
    const std::string text = dumpText(*exampleConfiguration());
    EXPECT_EQ(section(text, "Lighting"),
              "Lighting\n"
              "  effect          Wave\n"
              "  speed           5\n"
              "  brightness      40\n"
              "  colour choice   8\n"
              "  direction       left\n"
              "  colour table    000000 000000 000000 000000 000000 000000 000000\n")
        << text;
    EXPECT_EQ(section(text, "Performance"),
              "Performance\n"
              "  game mode       off\n"
              "  Win lock        on\n"
              "  response time   4 ms\n"
              "  report rate     1000 Hz\n")
        << text;
    const std::string keys = section(text, "Keys");
    for (const char* row :
         {"  Esc             default\n", "  F1              preset Mute\n",
          "  F2              macro Combo\n", "  F3              disabled (program /usr/bin/foo)\n",
          "  A               LCtrl + C\n"}) {
        EXPECT_NE(keys.find(row), std::string::npos) << row << keys;
    }
    // The keys that are not on the 87-key keyboard appear only once changed.
    EXPECT_EQ(keys.find("Num1"), std::string::npos) << keys;
    EXPECT_EQ(section(text, "DIY colours"),
              "DIY colours\n"
              "  DIY1            A #00FF80, Esc #FF0000\n"
              "  DIY2            none\n"
              "  DIY3            none\n"
              "  DIY4            none\n"
              "  DIY5            none\n")
        << text;
    EXPECT_EQ(section(text, "Macros"),
              "Macros\n"
              "  Combo           loops 2, delays recorded\n"
              "                  press LCtrl, 50 ms, press C, 2 ms, release C, 250 ms, "
              "release LCtrl\n")
        << text;
    EXPECT_EQ(section(text, "Other bytes"), "Other bytes\n  raw             none\n") << text;
}

TEST(DumpText, ShowsValuesOutOfRangeAsBytesAndCountsTheRawOnes) {
    auto c = exampleConfiguration();
    c->image[model::image::kSpeed] = 77;
    c->image[model::image::kReportRate] = 9;
    const std::string text = dumpText(*c);
    EXPECT_NE(text.find("  speed           byte 77 (out of range)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  report rate     byte 9 (out of range)\n"), std::string::npos) << text;
    EXPECT_NE(section(text, "Other bytes").find("image 2, key actions 0, macro store 0"),
              std::string::npos)
        << text;
}

TEST(DumpText, ChineseNamesForEffectsAndPresets) {
    const std::string text = dumpText(*exampleConfiguration(), Language::Chinese);
    EXPECT_NE(text.find("  effect          波浪\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  F1              preset 静音\n"), std::string::npos) << text;
}

// The first ```json block of a Markdown file.
QByteArray jsonBlockOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray text = f.readAll();
    const qsizetype start = text.indexOf("```json\n");
    if (start < 0) return {};
    const qsizetype from = start + qsizetype(sizeof "```json\n") - 1;
    const qsizetype end = text.indexOf("\n```", from);
    return end < 0 ? QByteArray() : text.mid(from, end - from);
}

QString function(const Configuration& c, const char* key) {
    return QString::fromStdString(
        describe::describeKey(c.image, c.actions, c.macros, *describe::findSlot(key)));
}

TEST(FormatExample, TheDocumentedExampleImportsAsItSays) {
    const QByteArray json =
        jsonBlockOf(QStringLiteral(TAVRIK_SOURCE_DIR "/host/document/FORMAT.md"));
    ASSERT_FALSE(json.isEmpty());
    auto c = std::make_unique<Configuration>();
    const Status s = importJson(json, *c);
    ASSERT_TRUE(s) << s.error().context;
    EXPECT_EQ(c->image[model::image::kEffect], 3);
    EXPECT_EQ(c->image[model::image::kBrightness], 40);
    EXPECT_EQ(function(*c, "A"), QLatin1StringView("LCtrl + C"));
    EXPECT_EQ(function(*c, "F1"), QLatin1StringView("preset Mute"));
    EXPECT_EQ(function(*c, "F2"), QLatin1StringView("macro Combo"));
    EXPECT_EQ(function(*c, "F3"), QLatin1StringView("disabled"));
    // Exporting gives the example's readable fields back.
    const QJsonObject example = QJsonDocument::fromJson(json).object();
    const QJsonObject exported = toJsonObject(*c);
    for (const char* member : {"format", "version", "lighting", "performance", "diy", "macros"}) {
        EXPECT_EQ(exported.value(QLatin1String(member)), example.value(QLatin1String(member)))
            << member;
    }
    for (const QJsonValue& k : example.value(QStringLiteral("keys")).toArray()) {
        const QString name = k.toObject().value(QStringLiteral("key")).toString();
        bool found = false;
        for (const QJsonValue& e : exported.value(QStringLiteral("keys")).toArray()) {
            if (e.toObject().value(QStringLiteral("key")).toString() != name) continue;
            found = true;
            EXPECT_EQ(e.toObject(), k.toObject()) << name.toStdString();
        }
        EXPECT_TRUE(found) << name.toStdString();
    }
}

TEST(FormatExample, TheReadmeShowsTheSameExample) {
    const QByteArray readme = jsonBlockOf(QStringLiteral(TAVRIK_SOURCE_DIR "/README.md"));
    const QByteArray format =
        jsonBlockOf(QStringLiteral(TAVRIK_SOURCE_DIR "/host/document/FORMAT.md"));
    ASSERT_FALSE(format.isEmpty());
    EXPECT_EQ(QJsonDocument::fromJson(readme).object(), QJsonDocument::fromJson(format).object());
}

}  // namespace
}  // namespace tavrik::ctl
