// Property: import after export gives back every byte of the image, the key action table and
// the macro store, whatever they hold; configurations made through `set` need no raw bytes.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <random>

#include "config_builder.h"
#include "host/document/config_document.h"

namespace tavrik::ctl {
namespace {

using describe::Configuration;

void expectRoundTrip(const Configuration& c, unsigned seed) {
    const QByteArray json = exportJson(c);
    auto back = std::make_unique<Configuration>();
    const Status s = importJson(json, *back);
    ASSERT_TRUE(s) << "seed " << seed << ": " << s.error().context;
    EXPECT_TRUE(back->image == c.image) << "seed " << seed;
    EXPECT_TRUE(back->actions == c.actions) << "seed " << seed;
    EXPECT_TRUE(back->macros == c.macros) << "seed " << seed;
    EXPECT_EQ(exportJson(*back), json) << "seed " << seed;
}

TEST(RoundTrip, RandomBytesComeBackExactly) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
        std::mt19937 rng(seed);
        expectRoundTrip(*test::randomConfiguration(rng), seed);
    }
}

TEST(RoundTrip, UserConfigurationsComeBackExactlyWithoutRawBytes) {
    for (unsigned seed = 1; seed <= 50; ++seed) {
        std::mt19937 rng(seed);
        const auto c = test::userConfiguration(rng);
        expectRoundTrip(*c, seed);
        const QJsonObject o = toJsonObject(*c);
        const QJsonObject raw = o.value(QStringLiteral("raw")).toObject();
        for (const char* block : {"image", "actions", "macros"}) {
            EXPECT_TRUE(raw.value(QLatin1String(block)).toArray().isEmpty())
                << "seed " << seed << " raw " << block << ": "
                << QJsonDocument(raw).toJson().toStdString();
        }
        for (const QJsonValue& k : o.value(QStringLiteral("keys")).toArray()) {
            EXPECT_FALSE(k.toObject().contains(QStringLiteral("record")))
                << "seed " << seed << ": " << QJsonDocument(k.toObject()).toJson().toStdString();
        }
        for (const QJsonValue& m : o.value(QStringLiteral("macros")).toArray()) {
            EXPECT_FALSE(m.toObject().contains(QStringLiteral("record"))) << "seed " << seed;
        }
    }
}

TEST(RoundTrip, UserConfigurationsWithDamagedBytesComeBackExactly) {
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::mt19937 rng(seed);
        auto c = test::userConfiguration(rng);
        for (int i = 0; i < 12; ++i) {
            c->image[rng() % c->image.size()] = static_cast<std::uint8_t>(rng());
            c->actions[rng() % (113 * 772)] = static_cast<std::uint8_t>(rng());
            c->macros[rng() % 4][rng() % 894] = static_cast<std::uint8_t>(rng());
        }
        expectRoundTrip(*c, seed);
    }
}

}  // namespace
}  // namespace tavrik::ctl
