#include "model/config_state.h"

#include <algorithm>
#include <cstring>

#include "model/slot_table.h"

namespace tavrik::model {
namespace {

bool rangeDiffers(const Image& a, const Image& b, std::size_t offset, std::size_t size) {
    return std::memcmp(a.data() + offset, b.data() + offset, size) != 0;
}

// With Win lock on, the lock clears the enable bit it travels in: that key is not disabled.
bool disabledByWinLock(const Image& image, int slot) {
    return image[image::kWinLock] == 1 &&
           image::kEnableBitmap + enableByte(slot) == image::kWinLockWriteByte &&
           enableMask(slot) == image::kWinLockWriteMask;
}

bool slotChanged(const ConfigState& s, int slot) {
    const KeyCode cell = keyCodeOf(s.image, slot);
    bool changed;
    if (cell[0] == codetype::kMacro) {
        const bool macroKey = slot >= kFirstMacroKeySlot &&
                              slot < kFirstMacroKeySlot + kMacroKeySlotCount &&
                              cell[2] == slot - kFirstMacroKeySlot;
        changed = !macroKey;
    } else {
        const auto record = keyActionBytes(s.actions, slot);
        const std::uint8_t factoryUsage = factoryKeyCodes()[model::slot(slot).keyIndex][2];
        const bool ownReplaced = record[keyaction::kCodes] != record[keyaction::kOwnCode] &&
                                 record[keyaction::kCount] == 1;
        changed = cell[2] != factoryUsage || record[keyaction::kKind] != 0 || ownReplaced;
    }
    return changed || (!keyEnabled(s.image, slot) && !disabledByWinLock(s.image, slot));
}

}  // namespace

bool ChangedUnits::anyBesidesLighting() const {
    return colourTable || gameMode || reportRate || responseTime || keyCodeArea || enableBitmap ||
           macroSlots.any() || diyTables.any();
}

void fillOwnCodes(KeyActionTable& actions) {
    for (int s = 0; s < kSlotCount; ++s) keyAction(actions, s).setOwnCode(slot(s).code);
}

void resetForStartup(ConfigState& s) {
    s.changedKeys.fill(0);
    s.actions.fill(0);
}

void snapshot(ConfigState& s) {
    s.syncedImage = s.image;
    s.syncedActions = s.actions;
}

void revert(ConfigState& s) {
    s.image = s.syncedImage;
    s.actions = s.syncedActions;
    recomputeChangedKeys(s);
}

void recomputeChangedKeys(ConfigState& s) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        s.changedKeys[static_cast<std::size_t>(slot)] = slotChanged(s, slot) ? 1 : 0;
    }
    s.changedKeys[kFnSlot] = 0;
}

void completeFactoryReset(ConfigState& s) {
    s.changedKeys.fill(0);
    std::fill_n(s.image.begin() + image::kEnableBitmap, image::kEnableBitmapSize, 0xFF);
    s.actions.fill(0);
    fillOwnCodes(s.actions);
    snapshot(s);
}

void foldWinLock(Image& img) {
    if (img[image::kWinLock] == 1) {
        img[image::kWinLockWriteByte] &= static_cast<std::uint8_t>(~image::kWinLockWriteMask);
    } else {
        img[image::kWinLockWriteByte] |= image::kWinLockWriteMask;
    }
}

void readWinLock(Image& img) {
    img[image::kWinLock] = (img[image::kWinLockReadByte] & image::kWinLockReadMask) ? 0 : 1;
}

ChangedUnits changedUnits(const Image& a, const Image& b) {
    using namespace image;
    ChangedUnits u;
    u.colourTable = rangeDiffers(a, b, kColourTable, kColourTableSize);
    u.gameMode = a[kGameMode] != b[kGameMode];
    u.reportRate = a[kReportRate] != b[kReportRate];
    u.responseTime = a[kResponseTime] != b[kResponseTime];
    u.keyCodeArea = rangeDiffers(a, b, kKeyCodeArea, kKeyCodeAreaSize);
    u.enableBitmap = rangeDiffers(a, b, kEnableBitmap, kEnableBitmapSize);
    for (std::size_t i = 0; i < kMacroSlotCount; ++i) {
        u.macroSlots[i] = rangeDiffers(a, b, macroSlot(i), kMacroSlotSize);
    }
    for (std::size_t i = 0; i < kDiyTableCount; ++i) {
        u.diyTables[i] = rangeDiffers(a, b, diyTable(i), kDiyTableSize);
    }
    u.lighting = rangeDiffers(a, b, kLightingParams, kLightingParamsSize);
    return u;
}

std::span<std::uint8_t, 4> keyCodeCell(Image& img, int s) {
    return std::span<std::uint8_t, 4>(img.data() + image::kKeyCodeArea + cellOffset(s), 4);
}

KeyCode keyCodeOf(const Image& img, int s) {
    KeyCode c;
    std::memcpy(c.data(), img.data() + image::kKeyCodeArea + cellOffset(s), c.size());
    return c;
}

bool keyEnabled(const Image& img, int s) {
    return (img[image::kEnableBitmap + enableByte(s)] & enableMask(s)) != 0;
}

void setKeyEnabled(Image& img, int s, bool enabled) {
    std::uint8_t& b = img[image::kEnableBitmap + enableByte(s)];
    b = enabled ? static_cast<std::uint8_t>(b | enableMask(s))
                : static_cast<std::uint8_t>(b & ~enableMask(s));
}

}  // namespace tavrik::model
