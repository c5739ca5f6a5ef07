// Documents that are refused: one-line errors with the path of the field, and the configuration
// given to importJson stays as it was.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config_builder.h"
#include "host/document/config_document.h"

namespace tavrik::ctl {
namespace {

using describe::Configuration;

// A document of this format and version with the given members after them.
QByteArray document(const std::string& members) {
    std::string text = std::string("{\"format\": \"") + kFormatName +
                       "\", \"version\": " + std::to_string(kFormatVersion);
    if (!members.empty()) text += ", " + members;
    return QByteArray::fromStdString(text + "}");
}

struct Refused {
    QByteArray json;
    const char* message;  // a part of the error
};

class ImportRefusal : public ::testing::TestWithParam<Refused> {};

TEST_P(ImportRefusal, LeavesTheConfigurationAsItWas) {
    std::mt19937 rng(7);
    const auto original = test::userConfiguration(rng);
    auto config = std::make_unique<Configuration>(*original);
    const Status s = importJson(GetParam().json, *config);
    ASSERT_FALSE(s) << GetParam().json.left(200).toStdString();
    EXPECT_EQ(s.error().kind, ErrorKind::Value);
    const std::string& text = s.error().context;
    EXPECT_NE(text.find(GetParam().message), std::string::npos) << text;
    EXPECT_EQ(text.find('\n'), std::string::npos) << text;
    EXPECT_TRUE(config->image == original->image);
    EXPECT_TRUE(config->actions == original->actions);
    EXPECT_TRUE(config->macros == original->macros);
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, ImportRefusal,
    ::testing::Values(
        Refused{"{\"format\": \"tavrik-87rev-configuration\", \"version\": 1,", "damaged JSON"},
        Refused{"", "damaged JSON"}, Refused{"[1, 2]", "must be a JSON object"},
        Refused{QByteArray(qsizetype(kMaxDocumentBytes) + 1, ' '), "larger than 8 MB"}));

// A member named twice in one object (the parser would keep the last one silently), also when
// only its escapes differ; the same name in two objects is no duplicate.
INSTANTIATE_TEST_SUITE_P(
    DuplicateMembers, ImportRefusal,
    ::testing::Values(
        Refused{document("\"version\": 1"), "version: given twice"},
        Refused{document("\"lighting\": {\"speed\": 1, \"speed\": 9}"),
                "lighting.speed: given twice"},
        Refused{document("\"lighting\": {\"speed\": 1, \"sp\\u0065ed\": 9}"),
                "lighting.speed: given twice"},
        Refused{document("\"keys\": [{\"key\": \"A\"}, {\"key\": \"B\", \"key\": \"C\"}]"),
                "keys[1].key: given twice"},
        Refused{document("\"diy\": [{}, {\"Esc\": \"#FF0000\", \"Esc\": \"#00FF00\"}]"),
                "diy[1].Esc: given twice"}));

TEST(Import, TheSameNameInTwoObjectsIsNoDuplicate) {
    auto config = std::make_unique<Configuration>();
    const Status s = importJson(document("\"keys\": [{\"key\": \"A\", \"function\": \"B\"}, "
                                         "{\"key\": \"B\", \"function\": \"A\"}]"),
                                *config);
    EXPECT_TRUE(s) << s.error().context;
}

INSTANTIATE_TEST_SUITE_P(
    OtherFormat, ImportRefusal,
    ::testing::Values(
        Refused{"{\"version\": 1}", "not a configuration document"},
        Refused{"{\"format\": \"profile\", \"version\": 1}", "not a configuration document"},
        Refused{"{\"format\": \"tavrik-87rev-configuration\"}", "\"version\" is missing"},
        Refused{"{\"format\": \"tavrik-87rev-configuration\", \"version\": 2}",
                "document version 2 is not supported"},
        Refused{"{\"format\": \"tavrik-87rev-configuration\", \"version\": \"1\"}", "version"}));

INSTANTIATE_TEST_SUITE_P(
    WrongTypes, ImportRefusal,
    ::testing::Values(
        Refused{document("\"lighting\": []"), "lighting: expected an object"},
        Refused{document("\"lighting\": {\"speed\": \"5\"}"), "lighting.speed: expected a number"},
        Refused{document("\"performance\": {\"gameMode\": 1}"),
                "performance.gameMode: expected true or false"},
        Refused{document("\"keys\": {}"), "keys: expected a list"},
        Refused{document("\"keys\": [\"Esc\"]"), "keys[0]: expected a key object"},
        Refused{document("\"keys\": [{\"key\": \"A\", \"enabled\": \"no\"}]"),
                "keys[0].enabled: expected true or false"},
        Refused{document("\"diy\": [[]]"), "diy[0]: expected an object"},
        Refused{document("\"diy\": [{\"A\": 255}]"), "diy[0].A: expected \"#RRGGBB\""},
        Refused{document("\"macros\": [{\"name\": \"M\", \"events\": [1]}]"),
                "macros[0].events[0]: expected an event object"},
        Refused{document("\"raw\": {\"image\": {}}"), "raw.image: expected a list"}));

INSTANTIATE_TEST_SUITE_P(
    OutOfRange, ImportRefusal,
    ::testing::Values(
        Refused{document("\"lighting\": {\"speed\": 10}"),
                "lighting.speed: must be a whole "
                "number 0..9"},
        Refused{document("\"lighting\": {\"brightness\": 2.5}"), "lighting.brightness"},
        Refused{document("\"lighting\": {\"colourChoice\": 0}"), "lighting.colourChoice"},
        Refused{document("\"lighting\": {\"colourTable\": [\"FF0000\"]}"),
                "lighting.colourTable: expected 7 entries"},
        Refused{document("\"performance\": {\"responseTimeMs\": 3}"),
                "performance.responseTimeMs: response time must be 2, 4, 6, ... 20 ms"},
        Refused{document("\"performance\": {\"reportRateHz\": 300}"),
                "performance.reportRateHz: report rate must be 125, 250, 500 or 1000 Hz"},
        Refused{document("\"diy\": [{}, {}, {}, {}, {}, {}]"), "diy: expected at most 5"},
        Refused{document("\"keys\": [{\"key\": \"A\", \"cell\": \"0000\"}]"),
                "keys[0].cell: expected hex digits of 4 bytes"},
        Refused{document("\"macros\": [{\"name\": \"M\", \"loops\": 65536}]"), "macros[0].loops"},
        Refused{document("\"macros\": [{\"name\": \"M\", \"events\": [{\"action\": \"press\", "
                         "\"key\": \"A\", \"delay\": 70000}]}]"),
                "macros[0].events[0].delay"},
        Refused{document("\"raw\": {\"image\": [{\"offset\": 10055, \"hex\": \"0000\"}]}"),
                "raw.image"}));

INSTANTIATE_TEST_SUITE_P(
    UnknownNames, ImportRefusal,
    ::testing::Values(
        Refused{document("\"colour\": 1"), "unknown member \"colour\""},
        Refused{document("\"keys\": [{\"key\": \"A\", \"fucntion\": \"B\"}]"),
                "keys[0]: unknown member \"fucntion\""},
        Refused{document("\"lighting\": {\"sped\": 3}"), "lighting: unknown member \"sped\""},
        Refused{document("\"keys\": [{\"key\": \"Ecs\"}]"),
                "keys[0].key: unknown key \"Ecs\"; did you mean \"Esc\"?"},
        Refused{document("\"keys\": [{\"key\": \"A\", \"function\": \"LCtrl + Ecs\"}]"),
                "keys[0].function: unknown key \"Ecs\" in \"LCtrl + Ecs\"; did you mean \"Esc\"?"},
        Refused{document("\"keys\": [{\"key\": \"A\"}, {\"key\": \"a\"}]"),
                "keys[1].key: key \"a\" is listed twice"},
        Refused{document("\"lighting\": {\"effect\": \"Wav\"}"), "did you mean \"Wave\"?"},
        Refused{document("\"lighting\": {\"direction\": \"up\"}"), "lighting.direction"},
        Refused{document("\"diy\": [{\"Spcae\": \"#FF0000\"}]"), "did you mean \"Space\"?"},
        Refused{document("\"macros\": [{\"name\": \"M\", \"events\": [{\"action\": \"hold\", "
                         "\"key\": \"A\"}]}]"),
                "macros[0].events[0].action: expected \"press\" or \"release\""}));

TEST(Import, AMinimalDocumentIsAFactoryLikeConfiguration) {
    auto config = std::make_unique<Configuration>();
    ASSERT_TRUE(importJson(document(""), *config));
    // Keys left out keep their own function and are enabled.
    const std::string text = dumpText(*config);
    EXPECT_NE(text.find("  Esc             default\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("disabled"), std::string::npos) << text;
}

}  // namespace
}  // namespace tavrik::ctl
