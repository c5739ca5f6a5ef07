#pragma once
// The host's copy of the keyboard's configuration: the image and the key action table, their
// last-synchronised copies, the changed-key flags and the keep-image flag, with the rules that
// keep them consistent. Plain data; ConfigModel adds the lock that makes it shareable.

#include <array>
#include <bitset>
#include <cstdint>
#include <span>

#include "model/image_layout.h"
#include "model/key_action.h"

namespace tavrik::model {

struct ConfigState {
    Image image{};
    Image syncedImage{};  // as last read from or written to the keyboard
    KeyActionTable actions{};
    KeyActionTable syncedActions{};
    std::array<std::uint8_t, kKeyActionCount> changedKeys{};  // 1 = differs from factory
};

// Units that write-all compares and sends, in the order it sends them.
struct ChangedUnits {
    bool colourTable = false;
    bool gameMode = false;
    bool reportRate = false;
    bool responseTime = false;
    bool keyCodeArea = false;
    bool enableBitmap = false;
    std::bitset<image::kMacroSlotCount> macroSlots;
    std::bitset<image::kDiyTableCount> diyTables;
    bool lighting = false;

    bool anyBesidesLighting() const;
    bool any() const { return lighting || anyBesidesLighting(); }
};

// Sets every slot's own code (record byte 0) from the slot table.
void fillOwnCodes(KeyActionTable& actions);
// Start-up: zero flags and table, (the caller loads keymap.bin), then fillOwnCodes and snapshot.
void resetForStartup(ConfigState& s);
// Copies image and key action table into their last-synchronised copies.
void snapshot(ConfigState& s);
// Copies the last-synchronised copies back and recomputes the changed-key flags.
void revert(ConfigState& s);
// Changed-key flags from the image and the key action table; slot 100 is never flagged, and
// with Win lock on the key whose enable bit carries the lock is not flagged for that bit.
void recomputeChangedKeys(ConfigState& s);
// After a factory reset has been read back: flags zero, every key enabled, table cleared,
// own codes filled, snapshot taken. The caller saves keymap.bin.
void completeFactoryReset(ConfigState& s);

// Folds the Win-lock byte into the bitmap: bit 1 of byte 0 clear when locked, set otherwise,
// and the same in bit 0 of byte 1 (no key's enable bit), the bit a read of the bitmap takes the
// lock from, so that the keyboard gives back the lock it was sent.
void foldWinLock(Image& image);
// Derives the Win-lock byte from a bitmap read from the keyboard (locked when bit 0 of byte 1
// is clear).
void readWinLock(Image& image);

// Compares image and synced unit by unit.
ChangedUnits changedUnits(const Image& image, const Image& synced);

// The key code cell of a slot within the image.
std::span<std::uint8_t, 4> keyCodeCell(Image& image, int slot);
KeyCode keyCodeOf(const Image& image, int slot);
bool keyEnabled(const Image& image, int slot);
void setKeyEnabled(Image& image, int slot, bool enabled);

}  // namespace tavrik::model
