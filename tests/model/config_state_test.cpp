#include <gtest/gtest.h>

#include <algorithm>

#include "model/config_model.h"
#include "model/config_state.h"
#include "model/slot_table.h"

namespace tavrik::model {
namespace {

// A state as the keyboard leaves it after a factory reset: factory cells, every key enabled.
std::unique_ptr<ConfigState> factoryState() {
    auto s = std::make_unique<ConfigState>();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const KeyCode& f = factoryKeyCodes()[model::slot(slot).keyIndex];
        std::copy(f.begin(), f.end(), keyCodeCell(s->image, slot).begin());
    }
    completeFactoryReset(*s);
    return s;
}

TEST(ChangedKeys, FactoryStateFlagsNothing) {
    auto s = factoryState();
    recomputeChangedKeys(*s);
    EXPECT_TRUE(std::all_of(s->changedKeys.begin(), s->changedKeys.end(),
                            [](std::uint8_t f) { return f == 0; }));
}

TEST(ChangedKeys, OwnFunctionCaptureIsNotAChange) {
    auto s = factoryState();
    KeyAction a = keyAction(s->actions, 63);  // "A"
    a.codes()[0] = 65;
    a.setCount(1);
    recomputeChangedKeys(*s);
    EXPECT_EQ(s->changedKeys[63], 0);
    a.codes()[0] = 66;
    recomputeChangedKeys(*s);
    EXPECT_EQ(s->changedKeys[63], 1);
}

TEST(ChangedKeys, CellKindAndBitmapRules) {
    auto s = factoryState();
    keyCodeCell(s->image, 1)[2] = 0x04;   // F1 now sends A
    keyAction(s->actions, 2).setKind(3);  // F2 has a preset function
    setKeyEnabled(s->image, 3, false);    // F3 disabled, cell untouched
    setKeyEnabled(s->image, kFnSlot, false);
    recomputeChangedKeys(*s);
    EXPECT_EQ(s->changedKeys[1], 1);
    EXPECT_EQ(s->changedKeys[2], 1);
    EXPECT_EQ(s->changedKeys[3], 1);
    EXPECT_EQ(s->changedKeys[kFnSlot], 0);  // never flagged
}

TEST(ChangedKeys, WinLockFoldedIntoTheBitmapIsNoChangedKey) {
    auto s = factoryState();
    int lockSlot = -1;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (enableByte(slot) == 0 && enableMask(slot) == image::kWinLockWriteMask) lockSlot = slot;
    }
    ASSERT_GE(lockSlot, 0);
    s->image[image::kWinLock] = 1;
    const Image before = s->image;
    foldWinLock(s->image);
    EXPECT_FALSE(keyEnabled(s->image, lockSlot));  // the wire bit is cleared as before
    EXPECT_EQ(s->image[image::kWinLockWriteByte],
              before[image::kWinLockWriteByte] & ~image::kWinLockWriteMask);
    recomputeChangedKeys(*s);
    EXPECT_EQ(s->changedKeys[static_cast<std::size_t>(lockSlot)], 0);
    // Without the lock a cleared bit is a disabled key again.
    s->image[image::kWinLock] = 0;
    recomputeChangedKeys(*s);
    EXPECT_EQ(s->changedKeys[static_cast<std::size_t>(lockSlot)], 1);
}

TEST(ChangedKeys, MacroKeysPlayingTheirOwnMacroAreUnchanged) {
    auto s = factoryState();
    for (int i = 0; i < kMacroKeySlotCount; ++i) {
        auto cell = keyCodeCell(s->image, kFirstMacroKeySlot + i);
        cell[0] = codetype::kMacro;
        cell[1] = 1;
        cell[2] = static_cast<std::uint8_t>(i);
    }
    keyCodeCell(s->image, 112)[2] = 0;  // S5 plays macro 0: changed
    auto esc = keyCodeCell(s->image, 0);
    esc[0] = codetype::kMacro;
    esc[2] = 0;
    recomputeChangedKeys(*s);
    for (int slot = 108; slot <= 111; ++slot) EXPECT_EQ(s->changedKeys[slot], 0) << slot;
    EXPECT_EQ(s->changedKeys[112], 1);
    EXPECT_EQ(s->changedKeys[0], 1);
}

TEST(ChangedKeys, BackslashCountsUnchangedOnlyWithFactoryUsage) {
    auto s = factoryState();
    recomputeChangedKeys(*s);
    EXPECT_EQ(s->changedKeys[54], 0);
    keyCodeCell(s->image, 54)[2] = 0x32;  // the key table's usage for code 220
    recomputeChangedKeys(*s);
    EXPECT_EQ(s->changedKeys[54], 1);
}

TEST(WinLock, FoldsIntoBitOneOfByteZeroAndReadsFromBitZeroOfByteOne) {
    Image img{};
    img[image::kWinLock] = 1;
    img[image::kEnableBitmap] = 0xFF;
    foldWinLock(img);
    EXPECT_EQ(img[image::kEnableBitmap], 0xFD);
    img[image::kWinLock] = 0;
    img[image::kEnableBitmap] = 0x00;
    foldWinLock(img);
    EXPECT_EQ(img[image::kEnableBitmap], 0x02);

    for (auto [byte1, lock] : {std::pair{0xFE, 1}, {0x01, 0}, {0x00, 1}}) {
        img[image::kEnableBitmap + 1] = static_cast<std::uint8_t>(byte1);
        readWinLock(img);
        EXPECT_EQ(img[image::kWinLock], lock) << byte1;
    }
}

// The keyboard reports its lock in a bit of the bitmap that belongs to no key.
TEST(WinLock, TheBitThatCarriesTheLockBackIsNoKeysEnableBit) {
    for (int s = 0; s < kSlotCount; ++s) {
        EXPECT_FALSE(image::kEnableBitmap + enableByte(s) == image::kWinLockReadByte &&
                     enableMask(s) == image::kWinLockReadMask)
            << "slot " << s;
    }
}

TEST(ChangedUnitsTest, OnlyWhatDiffers) {
    Image a{}, b{};
    EXPECT_FALSE(changedUnits(a, b).any());

    a[image::kBrightness] = 30;
    ChangedUnits u = changedUnits(a, b);
    EXPECT_TRUE(u.lighting);
    EXPECT_FALSE(u.anyBesidesLighting());

    a[image::diyTable(2) + 100] = 0x7F;
    a[image::macroSlot(31) + 191] = 1;
    a[image::kEnableBitmap + 17] = 1;
    u = changedUnits(a, b);
    EXPECT_EQ(u.diyTables.to_ulong(), 0b00100u);
    EXPECT_EQ(u.macroSlots.count(), 1u);
    EXPECT_TRUE(u.macroSlots[31]);
    EXPECT_TRUE(u.enableBitmap);
    EXPECT_FALSE(u.keyCodeArea || u.colourTable || u.gameMode || u.reportRate || u.responseTime);

    a[image::kWinLock] = 1;  // host-only byte: no unit of its own
    b = a;
    EXPECT_FALSE(changedUnits(a, b).any());
}

TEST(Revert, RestoresSynchronisedCopies) {
    auto s = factoryState();
    s->image[image::kEffect] = 12;
    keyAction(s->actions, 0).setKind(5);
    keyCodeCell(s->image, 0)[2] = 0x05;
    revert(*s);
    EXPECT_EQ(s->image, s->syncedImage);
    EXPECT_EQ(s->actions, s->syncedActions);
    EXPECT_EQ(s->changedKeys[0], 0);
}

TEST(FactoryReset, EnablesEveryKeyAndClearsTable) {
    ConfigState s;
    keyAction(s.actions, 200).setKind(7);
    s.changedKeys[4] = 1;
    completeFactoryReset(s);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_TRUE(keyEnabled(s.image, slot));
        EXPECT_EQ(keyAction(s.actions, slot).ownCode(), model::slot(slot).code);
    }
    EXPECT_EQ(keyAction(s.actions, 200).kind(), 0);
    EXPECT_EQ(s.changedKeys[4], 0);
    EXPECT_EQ(s.syncedImage, s.image);
}

// A job's result merged back: what the job changed arrives, what the owner edited while the job
// ran stays (the edit comes after the job), and the flags follow the merged state.
TEST(ConfigMerge, KeepsTheOwnersEditsMadeWhileAJobRan) {
    ConfigModel model("unused-keymap.bin");
    model.withLock([](ConfigState& s) {
        s.image[image::kEffect] = 1;
        s.image[image::kBrightness] = 2;
        snapshot(s);
    });
    const std::unique_ptr<ConfigState> base = model.copy();
    auto result = std::make_unique<ConfigState>(*base);
    // The job: a read that found another effect and brightness, and a new synchronised image.
    result->image[image::kEffect] = 5;
    result->image[image::kBrightness] = 4;
    result->syncedImage = result->image;
    result->changedKeys[3] = 1;
    // Meanwhile the owner changes the brightness and a key's action.
    model.withLock([](ConfigState& s) {
        s.image[image::kBrightness] = 3;
        s.actions[0] ^= 0x01;
    });
    model.merge(*base, *result);
    auto live = model.lock();
    EXPECT_EQ(live->image[image::kEffect], 5);      // the job's
    EXPECT_EQ(live->image[image::kBrightness], 3);  // the owner's edit
    EXPECT_EQ(live->syncedImage, result->syncedImage);
    EXPECT_EQ(live->actions[0], base->actions[0] ^ 0x01);
    EXPECT_EQ(live->syncedActions, base->syncedActions);
    auto expected = std::make_unique<ConfigState>(*live);
    recomputeChangedKeys(*expected);
    EXPECT_EQ(live->changedKeys, expected->changedKeys);  // recomputed, not the job's
}

TEST(ConfigMerge, WithoutOwnerEditsTheResultArrivesWhole) {
    ConfigModel model("unused-keymap.bin");
    const std::unique_ptr<ConfigState> base = model.copy();
    auto result = std::make_unique<ConfigState>(*base);
    result->image.fill(7);
    result->actions[10] = 9;
    snapshot(*result);
    result->changedKeys.fill(1);  // as the job left them, e.g. after a partial read
    model.merge(*base, *result);
    auto live = model.lock();
    EXPECT_EQ(live->image, result->image);
    EXPECT_EQ(live->syncedImage, result->syncedImage);
    EXPECT_EQ(live->actions, result->actions);
    EXPECT_EQ(live->syncedActions, result->syncedActions);
    EXPECT_EQ(live->changedKeys, result->changedKeys);
}

}  // namespace
}  // namespace tavrik::model
