// Wire bytes of every command and announcement, one table row each.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "device/bursts.h"
#include "device/commands.h"
#include "device/reports.h"

namespace tavrik::device {
namespace {

namespace img = model::image;

model::Image sampleImage() {
    model::Image im{};
    im[img::kReportRate] = 2;
    im[img::kResponseTime] = 5;
    im[img::kEffect] = 3;
    im[img::kSpeed] = 0;
    im[img::kBrightness] = 40;
    im[img::kColourChoice] = 2;
    im[img::kDirection] = 4;
    im[img::colourEntry(6) + 0] = 0x10;
    im[img::colourEntry(6) + 1] = 0x20;
    im[img::colourEntry(6) + 2] = 0x30;
    return im;
}

struct GoldenRow {
    std::string name;
    std::function<FeatureReport()> build;
    FeatureReport expected;
};

void PrintTo(const GoldenRow& row, std::ostream* os) {
    *os << row.name;
}

class Golden : public testing::TestWithParam<GoldenRow> {};

TEST_P(Golden, BytesMatch) {
    EXPECT_EQ(GetParam().build(), GetParam().expected);
}

model::Image speedNine() {
    model::Image im = sampleImage();
    im[img::kSpeed] = 9;
    return im;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Golden,
    testing::Values(
        GoldenRow{"KeyCodeAnnouncementExample",
                  [] { return announceWrite(Region::KeyCodes); },
                  {0, 0x0D, 0, 0, 0x08, 0, 0, 0, 0xEA}},
        GoldenRow{"ReportRate",
                  [] { return setReportRate(sampleImage()); },
                  {0, 0x01, 2, 0, 0, 0, 0, 0, 0xFC}},
        GoldenRow{"ResponseTime",
                  [] { return setResponseTime(sampleImage()); },
                  {0, 0x04, 5, 0, 0, 0, 0, 0, 0xF6}},
        GoldenRow{"LightingFullSpeedZeroAsTen",
                  [] { return setLighting(sampleImage(), LightingForm::Full); },
                  {0, 0x08, 2, 3, 10, 40, 2, 4, 0xBA}},
        GoldenRow{"LightingShortCarriesNoBrightness",
                  [] { return setLighting(sampleImage(), LightingForm::Short); },
                  {0, 0x08, 1, 3, 10, 0, 2, 4, 0xE3}},
        GoldenRow{"LightingSpeedNineAsOne",
                  [] { return setLighting(speedNine(), LightingForm::Full); },
                  {0, 0x08, 2, 3, 1, 40, 2, 4, 0xC3}},
        GoldenRow{"GameModeOne", [] { return setGameMode(1); }, {0, 0x09, 1, 0, 0, 0, 0, 0, 0xF5}},
        GoldenRow{"GameModeZero", [] { return setGameMode(0); }, {0, 0x09, 0, 0, 0, 0, 0, 0, 0xF6}},
        GoldenRow{
            "FactoryReset", [] { return factoryReset(); }, {0, 0x13, 0xFF, 0, 0, 0, 0, 0, 0xED}},
        GoldenRow{"ColourEntrySix",
                  [] { return setColourEntry(sampleImage(), 6); },
                  {0, 0x14, 0, 6, 0x10, 0x20, 0x30, 0, 0x85}},
        GoldenRow{"ReadFirmware",
                  [] { return readRequest(cmd::kReadFirmwareVersion); },
                  {0, 0x80, 0, 0, 0, 0, 0, 0, 0x7F}},
        GoldenRow{"ReadReportRate",
                  [] { return readRequest(cmd::kReadReportRate); },
                  {0, 0x81, 0, 0, 0, 0, 0, 0, 0x7E}},
        GoldenRow{"ReadResponseTime",
                  [] { return readRequest(cmd::kReadResponseTime); },
                  {0, 0x84, 0, 0, 0, 0, 0, 0, 0x7B}},
        GoldenRow{"ReadLighting",
                  [] { return readRequest(cmd::kReadLighting); },
                  {0, 0x88, 0, 0, 0, 0, 0, 0, 0x77}},
        GoldenRow{"ReadGameMode",
                  [] { return readRequest(cmd::kReadGameMode); },
                  {0, 0x89, 0, 0, 0, 0, 0, 0, 0x76}},
        GoldenRow{"ReadColourEntryThree",
                  [] { return readColourEntry(3); },
                  {0, 0x94, 0, 3, 0, 0, 0, 0, 0x68}},
        GoldenRow{"ReadKeyCodes",
                  [] { return announceRead(Region::KeyCodes); },
                  {0, 0x8D, 0, 0, 0, 0, 0, 0, 0x72}},
        GoldenRow{"WriteBitmap",
                  [] { return announceWrite(Region::EnableBitmap); },
                  {0, 0x0E, 0, 0, 0x12, 0, 0, 0, 0xDF}},
        GoldenRow{"ReadBitmap",
                  [] { return announceRead(Region::EnableBitmap); },
                  {0, 0x8E, 0, 0, 0x12, 0, 0, 0, 0x5F}},
        GoldenRow{"WriteMacroSlot31",
                  [] { return announceWrite(Region::MacroSlot, 31); },
                  {0, 0x11, 0, 31, 3, 0, 0, 0, 0xCC}},
        GoldenRow{"ReadMacroSlot31",
                  [] { return announceRead(Region::MacroSlot, 31); },
                  {0, 0x91, 0, 31, 0, 0, 0, 0, 0x4F}},
        GoldenRow{"WriteDiyTable4",
                  [] { return announceWrite(Region::DiyTable, 4); },
                  {0, 0x12, 0, 4, 8, 0, 0, 0, 0xE1}},
        GoldenRow{"ReadDiyTable2",
                  [] { return announceRead(Region::DiyTable, 2); },
                  {0, 0x92, 0, 2, 8, 0, 0, 0, 0x63}}),
    [](const testing::TestParamInfo<GoldenRow>& row) { return row.param.name; });

TEST(Reports, ChecksumWrapsAndValidates) {
    FeatureReport r = makeFeature(0xFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(r[feature::kChecksum], static_cast<std::uint8_t>(0xFF - 7 * 0xFF));
    EXPECT_TRUE(featureValid(r));
    r[3] ^= 1;
    EXPECT_FALSE(featureValid(r));
    r = makeFeature(0x01);
    r[0] = 1;
    EXPECT_FALSE(featureValid(r));
}

TEST(Reports, EventFiltering) {
    const std::uint8_t ack[] = {4, 4, 0, 0};
    const std::uint8_t foreign[] = {3, 4, 0, 0};
    const std::uint8_t shortOne[] = {4, 4};
    EXPECT_TRUE(isEventReport(ack));
    EXPECT_FALSE(isEventReport(foreign));
    EXPECT_FALSE(isEventReport(shortOne));
    EXPECT_EQ(eventReadBuffer(), (EventReport{4, 0, 0, 0}));
}

TEST(Reports, DataReportsAreNormalisedToSixtyFiveBytes) {
    std::vector<std::uint8_t> raw(64);
    raw[0] = 0xAB;
    raw[63] = 0xCD;
    const auto fromHidraw = normaliseDataReport(raw);
    ASSERT_TRUE(fromHidraw);
    EXPECT_EQ((*fromHidraw)[0], 0);
    EXPECT_EQ((*fromHidraw)[1], 0xAB);
    EXPECT_EQ((*fromHidraw)[64], 0xCD);
    raw.insert(raw.begin(), 0);
    EXPECT_EQ(normaliseDataReport(raw), fromHidraw);
    raw[0] = 4;  // another report
    EXPECT_FALSE(normaliseDataReport(raw));
    EXPECT_FALSE(normaliseDataReport(std::span(raw).first(4)));
}

TEST(Replies, LightingReplyStoresTenMinusSpeedAndNothingElse) {
    model::Image im{};
    im.fill(0xAA);
    const FeatureReport reply = makeFeature(cmd::kReadLighting, {0, 7, 10, 33, 5, 3});
    applyLighting(im, reply);
    EXPECT_EQ(im[img::kEffect], 7);
    EXPECT_EQ(im[img::kSpeed], 0);
    EXPECT_EQ(im[img::kBrightness], 33);
    EXPECT_EQ(im[img::kColourChoice], 5);
    EXPECT_EQ(im[img::kDirection], 3);
    EXPECT_EQ(im[img::kEffect - 1], 0xAA);
    EXPECT_EQ(im[img::kDirection + 1], 0xAA);
}

TEST(Replies, FirmwareVersionKeepsMajorMinorThenZeros) {
    const FeatureReport reply = makeFeature(cmd::kReadFirmwareVersion, {2, 7, 9, 9, 9, 9});
    const FirmwareVersion v = parseFirmwareVersion(reply);
    EXPECT_EQ(v.stored(), (std::array<std::uint8_t, 4>{2, 7, 0, 0}));
    EXPECT_EQ(v.reply[0], cmd::kReadFirmwareVersion);
}

TEST(Bursts, PacketSplitStaysInsideTheBlock) {
    std::array<std::uint8_t, img::kEnableBitmapSize> bitmap{};
    bitmap.fill(0xFF);
    const DataReport p = blockPacket(bitmap, 0);
    EXPECT_EQ(p[0], 0);
    for (std::size_t i = 0; i < 18; ++i) EXPECT_EQ(p[1 + i], 0xFF) << i;
    for (std::size_t i = 18; i < 64; ++i) EXPECT_EQ(p[1 + i], 0) << i;

    std::array<std::uint8_t, 20> small{};
    DataReport full{};
    full.fill(0x5A);
    storePacket(small, 0, dataPayload(full));
    storePacket(small, 1, dataPayload(full));  // beyond the block: nothing written
    EXPECT_EQ(small[19], 0x5A);
    EXPECT_EQ(blockOffset(Region::DiyTable, 4), 9544u);
    EXPECT_EQ(blockOffset(Region::DiyTable, 4) + 512, model::kImageSize);
}

}  // namespace
}  // namespace tavrik::device
