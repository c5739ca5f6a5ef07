// Byte layouts against offsets written out by hand: the configuration image (every byte's unit,
// every named field), the key action record and the macro record and slot.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "macro/macro_layout.h"
#include "macro/macro_store.h"
#include "model/config_state.h"
#include "model/image_layout.h"
#include "model/key_action.h"

namespace tavrik {
namespace {

// The write-all unit a single changed image byte belongs to, from the hand-written region map.
std::string expectedUnit(std::size_t o) {
    if (o == 11) return "reportRate";
    if (o >= 792 && o < 1304) return "keyCodeArea";
    if (o >= 1304 && o < 7448) return "macro" + std::to_string((o - 1304) / 192);
    if (o == 7449) return "responseTime";
    if (o >= 7450 && o <= 7454) return "lighting";
    if (o >= 7455 && o <= 7475) return "colourTable";
    if (o == 7476) return "gameMode";
    if (o >= 7477 && o <= 7494) return "enableBitmap";
    if (o >= 7496 && o < 10056) return "diy" + std::to_string((o - 7496) / 512);
    return "";  // reserved bytes and the Win-lock byte travel in no unit of their own
}

std::string unitOf(const model::ChangedUnits& u) {
    std::string s;
    auto add = [&s](bool on, const std::string& name) {
        if (on) s += (s.empty() ? "" : "+") + name;
    };
    add(u.colourTable, "colourTable");
    add(u.gameMode, "gameMode");
    add(u.reportRate, "reportRate");
    add(u.responseTime, "responseTime");
    add(u.keyCodeArea, "keyCodeArea");
    add(u.enableBitmap, "enableBitmap");
    for (std::size_t i = 0; i < u.macroSlots.size(); ++i) {
        add(u.macroSlots[i], "macro" + std::to_string(i));
    }
    for (std::size_t i = 0; i < u.diyTables.size(); ++i) {
        add(u.diyTables[i], "diy" + std::to_string(i));
    }
    add(u.lighting, "lighting");
    return s;
}

TEST(ImageLayoutGolden, EveryByteBelongsToItsUnit) {
    ASSERT_EQ(model::kImageSize, 10056u);
    const model::Image synced{};
    model::Image image{};
    for (std::size_t o = 0; o < image.size(); ++o) {
        image[o] = 0x5A;
        EXPECT_EQ(unitOf(model::changedUnits(image, synced)), expectedUnit(o)) << "offset " << o;
        image[o] = 0;
    }
}

TEST(ImageLayoutGolden, NamedFieldsSitAtTheirOffsets) {
    namespace img = model::image;
    EXPECT_EQ(img::kReportRate, 11u);
    EXPECT_EQ(img::kKeyCodeArea, 792u);
    EXPECT_EQ(img::kKeyCodeAreaSize, 512u);
    EXPECT_EQ(img::kKeyCodeRowStride, 84u);
    EXPECT_EQ(img::kKeyCodeCellSize, 4u);
    EXPECT_EQ(img::kKeyMatrixRows, 6);
    EXPECT_EQ(img::kMacroArea, 1304u);
    EXPECT_EQ(img::kMacroSlotCount, 32u);
    EXPECT_EQ(img::kMacroSlotSize, 192u);
    EXPECT_EQ(img::kResponseTime, 7449u);
    EXPECT_EQ(img::kEffect, 7450u);
    EXPECT_EQ(img::kSpeed, 7451u);
    EXPECT_EQ(img::kBrightness, 7452u);
    EXPECT_EQ(img::kColourChoice, 7453u);
    EXPECT_EQ(img::kDirection, 7454u);
    EXPECT_EQ(img::kLightingParams, 7450u);
    EXPECT_EQ(img::kLightingParamsSize, 5u);
    EXPECT_EQ(img::kColourTable, 7455u);
    EXPECT_EQ(img::kColourEntryCount, 7u);
    EXPECT_EQ(img::kColourEntrySize, 3u);
    EXPECT_EQ(img::colourEntry(6), 7473u);
    EXPECT_EQ(img::kGameMode, 7476u);
    EXPECT_EQ(img::kEnableBitmap, 7477u);
    EXPECT_EQ(img::kEnableBitmapSize, 18u);
    EXPECT_EQ(img::kWinLock, 7495u);
    EXPECT_EQ(img::kDiyTables, 7496u);
    EXPECT_EQ(img::kDiyTableCount, 5u);
    EXPECT_EQ(img::kDiyTableSize, 512u);
    EXPECT_EQ(img::kDiyCellSize, 4u);
    EXPECT_EQ(img::macroSlot(31), 7256u);
    EXPECT_EQ(img::diyTable(4), 9544u);

    EXPECT_EQ(model::codetype::kKeyboard, 0);
    EXPECT_EQ(model::codetype::kFnKey, 2);
    EXPECT_EQ(model::codetype::kConsumer, 3);
    EXPECT_EQ(model::codetype::kMacro, 4);
    EXPECT_EQ(model::codetype::kHostAction, 10);
}

TEST(ImageLayoutGolden, WinLockIsWrittenToByte0Bit1AndReadFromByte1Bit0) {
    model::Image image{};
    image[7495] = 1;
    image[7477] = 0xFF;
    model::foldWinLock(image);
    EXPECT_EQ(image[7477], 0xFD);
    image[7495] = 0;
    model::foldWinLock(image);
    EXPECT_EQ(image[7477], 0xFF);

    image[7478] = 0xFE;
    model::readWinLock(image);
    EXPECT_EQ(image[7495], 1);
    image[7478] = 0x01;
    model::readWinLock(image);
    EXPECT_EQ(image[7495], 0);
}

TEST(ImageLayoutGolden, KeyCellsAndEnableBitsOfSlots) {
    model::Image image{};
    // Esc (slot 0): key index 5, row 5, column 0; enable bit 120 = byte 15, mask 0x01.
    model::keyCodeCell(image, 0)[2] = 0x29;
    EXPECT_EQ(image[792 + 420 + 2], 0x29);
    model::setKeyEnabled(image, 0, true);
    EXPECT_EQ(image[7477 + 15], 0x01);
    // Space (slot 98): key index 30, row 0, column 5; enable bit 9 = byte 1, mask 0x02.
    image[792 + 20] = 0x04;
    EXPECT_EQ(model::keyCodeOf(image, 98)[0], 0x04);
    image[7477 + 1] = 0x02;
    EXPECT_TRUE(model::keyEnabled(image, 98));
}

TEST(KeyActionLayoutGolden, RecordFieldsSitAtTheirOffsets) {
    EXPECT_EQ(model::kKeyActionCount, 255);
    EXPECT_EQ(model::kKeyActionRecordSize, 772u);
    EXPECT_EQ(model::keyaction::kOwnCode, 0u);
    EXPECT_EQ(model::keyaction::kKind, 1u);
    EXPECT_EQ(model::keyaction::kCodes, 2u);
    EXPECT_EQ(model::keyaction::kCodesSize, 255u);
    EXPECT_EQ(model::keyaction::kCount, 257u);
    EXPECT_EQ(model::keyaction::kLaunchPath, 260u);
    EXPECT_EQ(model::keyaction::kMaxLaunchPathChars, 255u);

    model::KeyActionTable table{};
    model::KeyAction a = model::keyAction(table, 3);
    a.setOwnCode(0x72);
    a.setKind(5);
    a.codes()[0] = 0x03;
    a.setCount(2);
    ASSERT_TRUE(a.setLaunchPath("/a\xC3\xA9"));  // "/aé"
    const std::size_t base = 3 * 772;
    EXPECT_EQ(table[base + 0], 0x72);
    EXPECT_EQ(table[base + 1], 5);
    EXPECT_EQ(table[base + 2], 0x03);
    EXPECT_EQ(table[base + 257], 2);
    const std::vector<std::uint8_t> path(table.begin() + base + 260, table.begin() + base + 268);
    EXPECT_EQ(path, (std::vector<std::uint8_t>{'/', 0, 'a', 0, 0xE9, 0, 0, 0}));
    EXPECT_EQ(std::count_if(table.begin(), table.end(), [](auto b) { return b != 0; }), 7);
}

TEST(MacroLayoutGolden, RecordFieldsSitAtTheirOffsets) {
    EXPECT_EQ(macro::record::kSize, 894u);
    EXPECT_EQ(macro::kRecordCount, 190u);
    EXPECT_EQ(macro::kSequenceSize, 190u);
    EXPECT_EQ(macro::kStoreSize, 169860u);
    EXPECT_EQ(macro::kMaxMacros, 32u);
    EXPECT_EQ(macro::record::kMaxNameLength, 254u);

    macro::MacroRecord r{};
    ASSERT_TRUE(macro::setMacroName(r, u"M\u5B8F"));
    macro::setLoopCount(r, 300);
    macro::setRecordsDelay(r, true);
    macro::deviceSequence(r)[0] = 0x01;
    macro::keySequence(r)[189] = 0x41;
    EXPECT_EQ(r[0], 'M');
    EXPECT_EQ(r[1], 0);
    EXPECT_EQ(r[2], 0x8F);
    EXPECT_EQ(r[3], 0x5B);
    EXPECT_EQ(r[510], 0x2C);  // 300, low byte first
    EXPECT_EQ(r[511], 0x01);
    EXPECT_EQ(r[512], 0x01);
    EXPECT_EQ(r[513], 0x01);
    EXPECT_EQ(r[703 + 189], 0x41);
    EXPECT_EQ(r[893], 0);
    EXPECT_EQ(std::count_if(r.begin(), r.end(), [](auto b) { return b != 0; }), 8);
}

TEST(MacroLayoutGolden, EventFormsAndMouseCodes) {
    EXPECT_EQ(macro::event::kReleaseBit, 0x80);
    EXPECT_EQ(macro::event::kDelayMask, 0x7F);
    EXPECT_EQ(macro::event::kLongMarker, 0x7F);
    EXPECT_EQ(macro::event::kLongDelayFrom, 127);
    EXPECT_EQ(macro::event::kShortSize, 2u);
    EXPECT_EQ(macro::event::kLongSize, 4u);
    EXPECT_EQ(macro::event::kDelayHigh, 2u);
    EXPECT_EQ(macro::event::kDelayLow, 3u);
    EXPECT_EQ(macro::event::kMaxDelay, 60000);
    EXPECT_EQ(macro::event::kFirstPress, 0x01);
    EXPECT_EQ(macro::event::kFirstRelease, 0x81);
    EXPECT_EQ(macro::kMouseLeft, 0xF0);
    EXPECT_EQ(macro::kMouseRight, 0xF1);
    EXPECT_EQ(macro::kMouseMiddle, 0xF2);
}

TEST(MacroLayoutGolden, SlotsAreBuiltBigEndianAtTheirImageOffsets) {
    macro::MacroStore store{};
    for (std::size_t i = 0; i < 40; ++i) {
        ASSERT_TRUE(macro::setMacroName(store[i], u"m"));
        macro::setLoopCount(store[i], static_cast<std::uint16_t>(256 + i));
        macro::deviceSequence(store[i])[0] = 0x01;
        macro::deviceSequence(store[i])[189] = static_cast<std::uint8_t>(i);
    }
    model::Image image{};
    macro::buildMacroSlots(store, image);
    for (std::size_t i = 0; i < 32; ++i) {
        const std::size_t at = 1304 + 192 * i;
        EXPECT_EQ(image[at], 0x01) << i;
        EXPECT_EQ(image[at + 1], i) << i;
        EXPECT_EQ(image[at + 2], 0x01) << i;
        EXPECT_EQ(image[at + 191], i) << i;
    }
    EXPECT_EQ(image[7448], 0);  // nothing past the 32nd slot
}

}  // namespace
}  // namespace tavrik
