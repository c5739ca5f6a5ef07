// keymap.bin, MacroDefine.bin and a profile file built byte by byte at hand-written offsets:
// each is loaded and checked field by field, and what the code writes is compared byte by byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "common/atomic_file.h"
#include "golden_slots.h"
#include "macro/macro_store.h"
#include "model/config_state.h"
#include "model/key_action.h"
#include "model/keymap_file.h"
#include "model/slot_table.h"
#include "profiles/profile_store.h"
#include "settings/sliders.h"

namespace tavrik {
namespace {
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kImageBytes = 10056;
constexpr std::size_t kActionBytes = 255 * 772;
constexpr std::size_t kActionsAt = kImageBytes;  // the key action table follows the image

class GoldenFiles : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("tavrik-golden-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static void write(const fs::path& p, const Bytes& bytes) {
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    static Bytes read(const fs::path& p) {
        auto r = readWholeFile(p);
        return r ? Bytes(r->begin(), r->end()) : Bytes{};
    }
    // Reports the first differing offset rather than 200000 bytes.
    static void expectSameBytes(const Bytes& actual, const Bytes& expected) {
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(actual[i], expected[i]) << "first difference at offset " << i;
        }
    }

    fs::path m_dir;
};

// A keymap.bin with every image field and a launch-path record at known offsets.
Bytes keymapBytes() {
    Bytes f(kImageBytes + kActionBytes, 0);
    f[3] = 0xA3;       // reserved bytes are carried as they are
    f[11] = 2;         // report rate
    f[792 + 420] = 4;  // Esc (key index 5: row 5, column 0): macro 2
    f[792 + 421] = 1;
    f[792 + 422] = 2;
    f[1304 + 192 * 2] = 0x01;  // macro slot 2: loop count 300, big-endian
    f[1304 + 192 * 2 + 1] = 0x2C;
    f[1304 + 192 * 2 + 2] = 0x01;        // first event: press, delay 1
    f[7448] = 0x5E;                      // reserved
    f[7449] = 7;                         // response time
    f[7450] = 53;                        // effect DIY3
    f[7451] = 4;                         // speed
    f[7452] = 37;                        // brightness
    f[7453] = 6;                         // colour choice
    f[7454] = 2;                         // direction right
    f[7455] = 0x10;                      // colour entry 0
    f[7475] = 0x14;                      // colour entry 6, last byte
    f[7476] = 1;                         // game mode
    f[7477] = 0xFD;                      // enable bitmap byte 0
    f[7494] = 0x80;                      // enable bitmap byte 17
    f[7495] = 1;                         // Win lock
    f[7496 + 512 * 2 + 120 + 1] = 0xFF;  // DIY3, Space (key index 30, cell 4 * 30): blue
    f[10055] = 0x77;                     // last DIY byte
    for (std::size_t s = 0; s < 113; ++s) {
        f[kActionsAt + 772 * s] = static_cast<std::uint8_t>(golden::kSlots[s].code);
    }
    const std::size_t tab = kActionsAt + 772 * 41;  // slot 41, Tab: open folder "/t"
    f[tab + 1] = 7;
    f[tab + 2] = 0x03;
    f[tab + 4] = 0x23;
    f[tab + 5] = 0x02;
    f[tab + 260] = '/';
    f[tab + 262] = 't';
    const std::size_t q = kActionsAt + 772 * 42;  // slot 42, Q: combination of 2 keys
    f[q + 1] = 1;
    f[q + 2] = 162;
    f[q + 3] = 65;
    f[q + 257] = 2;
    f[kActionsAt + 772 * 200 + 9] = 0x42;  // file space past the slots is carried too
    return f;
}

TEST_F(GoldenFiles, KeymapLoadsFieldByFieldAndSavesByteForByte) {
    const Bytes golden = keymapBytes();
    const fs::path path = m_dir / "keymap.bin";
    write(path, golden);

    model::ConfigState s;
    ASSERT_TRUE(model::loadKeymap(s, path, model::KeymapPart::Whole));
    namespace img = model::image;
    EXPECT_EQ(s.image[img::kReportRate], 2);
    EXPECT_EQ(s.image[img::kResponseTime], 7);
    EXPECT_EQ(s.image[img::kEffect], 53);
    EXPECT_EQ(s.image[img::kSpeed], 4);
    EXPECT_EQ(s.image[img::kBrightness], 37);
    EXPECT_EQ(s.image[img::kColourChoice], 6);
    EXPECT_EQ(s.image[img::kDirection], 2);
    EXPECT_EQ(s.image[img::colourEntry(0)], 0x10);
    EXPECT_EQ(s.image[img::colourEntry(6) + 2], 0x14);
    EXPECT_EQ(s.image[img::kGameMode], 1);
    EXPECT_EQ(s.image[img::kEnableBitmap], 0xFD);
    EXPECT_EQ(s.image[img::kEnableBitmap + img::kEnableBitmapSize - 1], 0x80);
    EXPECT_EQ(s.image[img::kWinLock], 1);
    EXPECT_EQ(model::keyCodeOf(s.image, 0), (model::KeyCode{4, 1, 2, 0}));
    EXPECT_EQ(s.image[img::macroSlot(2)], 0x01);
    EXPECT_EQ(s.image[img::macroSlot(2) + 1], 0x2C);
    EXPECT_EQ(s.image[img::diyTable(2) + model::diyOffset(98) + 1], 0xFF);
    const auto sliders = settings::sliderPositionsFromImage(s.image);
    EXPECT_EQ(sliders[settings::sliderIndex(settings::SliderId::Speed)], 4);
    EXPECT_EQ(sliders[settings::sliderIndex(settings::SliderId::Brightness)], 37);
    EXPECT_EQ(sliders[settings::sliderIndex(settings::SliderId::ReportRate)], 2);

    const model::KeyAction tab = model::keyAction(s.actions, 41);
    EXPECT_EQ(tab.ownCode(), 9);
    EXPECT_EQ(tab.kind(), 7);
    EXPECT_EQ(tab.launchPath(), "/t");
    const model::KeyAction q = model::keyAction(s.actions, 42);
    EXPECT_EQ(q.kind(), 1);
    EXPECT_EQ(q.count(), 2);
    EXPECT_EQ(q.codes()[0], 162);
    EXPECT_EQ(q.codes()[1], 65);

    const fs::path saved = m_dir / "saved.bin";
    ASSERT_TRUE(model::saveConfigFile(saved, s.image, s.actions));
    expectSameBytes(read(saved), golden);
}

TEST_F(GoldenFiles, KeymapWrittenFromFieldsMatchesTheHandBuiltFile) {
    // The same configuration set through the code's own accessors lands on the same bytes.
    model::ConfigState s;
    const Bytes golden = keymapBytes();
    std::copy(golden.begin(), golden.begin() + 11, s.image.begin());  // reserved bytes
    s.image[7448] = golden[7448];
    s.image[10055] = golden[10055];
    settings::storeSliderPosition(s.image, settings::SliderId::ReportRate, 2);
    settings::storeSliderPosition(s.image, settings::SliderId::Speed, 4);
    settings::storeSliderPosition(s.image, settings::SliderId::Brightness, 37);
    namespace img = model::image;
    s.image[img::kResponseTime] = 7;
    s.image[img::kEffect] = 53;
    s.image[img::kColourChoice] = 6;
    s.image[img::kDirection] = 2;
    s.image[img::colourEntry(0)] = 0x10;
    s.image[img::colourEntry(6) + 2] = 0x14;
    s.image[img::kGameMode] = 1;
    s.image[img::kEnableBitmap] = 0xFD;
    s.image[img::kEnableBitmap + 17] = 0x80;
    s.image[img::kWinLock] = 1;
    const auto cell = model::keyCodeCell(s.image, 0);
    cell[0] = model::codetype::kMacro;
    cell[1] = 1;
    cell[2] = 2;
    s.image[img::diyTable(2) + model::diyOffset(98) + 1] = 0xFF;
    macro::MacroStore store{};
    for (std::size_t i = 0; i < 3; ++i) ASSERT_TRUE(macro::setMacroName(store[i], u"m"));
    macro::setLoopCount(store[2], 300);
    macro::deviceSequence(store[2])[0] = 0x01;
    macro::buildMacroSlots(store, s.image);
    // buildMacroSlots also wrote slots 0 and 1 (loop count 0, empty sequence): all zero.

    model::fillOwnCodes(s.actions);
    model::KeyAction tab = model::keyAction(s.actions, 41);
    tab.setKind(static_cast<std::uint8_t>(model::KeyKind::OpenFolder));
    tab.codes()[0] = 0x03;
    tab.codes()[2] = 0x23;
    tab.codes()[3] = 0x02;
    ASSERT_TRUE(tab.setLaunchPath("/t"));
    model::KeyAction q = model::keyAction(s.actions, 42);
    q.setKind(static_cast<std::uint8_t>(model::KeyKind::Combination));
    q.codes()[0] = 162;
    q.codes()[1] = 65;
    q.setCount(2);
    s.actions[200 * model::kKeyActionRecordSize + 9] = 0x42;

    const fs::path saved = m_dir / "keymap.bin";
    ASSERT_TRUE(model::saveConfigFile(saved, s.image, s.actions));
    expectSameBytes(read(saved), golden);
}

// A MacroDefine.bin with two macros: "Ab" (loop 300, delays recorded: press A, release A after
// 250 ms in the long form) and a one-character Chinese name with loop count 1.
Bytes macroFileBytes() {
    Bytes f(190 * 894, 0);
    f[0] = 'A';
    f[2] = 'b';
    f[510] = 0x2C;
    f[511] = 0x01;
    f[512] = 0x01;
    const Bytes device{0x01, 0x04, 0xFF, 0x04, 0x00, 0xFA};
    const Bytes keys{0x01, 0x41, 0xFF, 0x41, 0x00, 0xFA};
    std::copy(device.begin(), device.end(), f.begin() + 513);
    std::copy(keys.begin(), keys.end(), f.begin() + 703);
    const std::size_t r1 = 894;
    f[r1 + 0] = 0x8F;  // U+5B8F, little-endian
    f[r1 + 1] = 0x5B;
    f[r1 + 510] = 1;
    f[r1 + 513] = 0x81;  // release of the left mouse button, same code in both sequences
    f[r1 + 514] = 0xF0;
    f[r1 + 703] = 0x81;
    f[r1 + 704] = 0xF0;
    return f;
}

TEST_F(GoldenFiles, MacroFileLoadsFieldByFieldSavesByteForByteAndBuildsSlots) {
    const Bytes golden = macroFileBytes();
    const fs::path path = m_dir / "MacroDefine.bin";
    write(path, golden);

    macro::MacroStore store{};
    const auto loaded = macro::loadMacroFile(store, path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*loaded, macro::MacroLoad::Loaded);
    EXPECT_EQ(macro::macroCount(store), 2u);
    EXPECT_EQ(macro::macroName(store[0]), "Ab");
    EXPECT_EQ(macro::loopCount(store[0]), 300);
    EXPECT_TRUE(macro::recordsDelay(store[0]));
    EXPECT_EQ(macro::deviceSequence(store[0])[3], 0x04);
    EXPECT_EQ(macro::keySequence(store[0])[3], 0x41);
    EXPECT_EQ(macro::keySequence(store[0])[5], 0xFA);
    EXPECT_EQ(macro::macroName(store[1]), "\xE5\xAE\x8F");
    EXPECT_EQ(macro::loopCount(store[1]), 1);
    EXPECT_FALSE(macro::recordsDelay(store[1]));
    EXPECT_EQ(macro::deviceSequence(store[1])[1], 0xF0);

    const fs::path saved = m_dir / "saved.bin";
    ASSERT_TRUE(macro::saveMacroFile(store, saved));
    expectSameBytes(read(saved), golden);

    model::Image image{};
    macro::buildMacroSlots(store, image);
    const Bytes slot0(image.begin() + 1304, image.begin() + 1304 + 8);
    EXPECT_EQ(slot0, (Bytes{0x01, 0x2C, 0x01, 0x04, 0xFF, 0x04, 0x00, 0xFA}));
    const Bytes slot1(image.begin() + 1304 + 192, image.begin() + 1304 + 192 + 4);
    EXPECT_EQ(slot1, (Bytes{0x00, 0x01, 0x81, 0xF0}));
}

TEST_F(GoldenFiles, ProfileLoadTakesTheFileAndWritesItToTheSelectedRow) {
    const fs::path folder = m_dir / "Configure";
    fs::create_directories(folder);
    write(folder / "Profile_1.bin", Bytes(kImageBytes, 0));
    const Bytes golden = keymapBytes();
    const fs::path chosen = m_dir / "chosen.bin";
    write(chosen, golden);

    profiles::ProfileStore store(folder);
    ASSERT_EQ(store.rows(), std::vector<std::string>{"Profile_1"});
    model::Image image{};
    model::KeyActionTable actions{};
    store.load(0, chosen, image, actions);
    EXPECT_EQ(image[model::image::kBrightness], 37);
    EXPECT_EQ(model::keyAction(actions, 41).launchPath(), "/t");
    expectSameBytes(read(folder / "Profile_1.bin"), golden);

    // New makes a profile of the image part only, all zero.
    store.createNew();
    expectSameBytes(read(folder / "Profile_2.bin"), Bytes(kImageBytes, 0));
}

}  // namespace
}  // namespace tavrik
