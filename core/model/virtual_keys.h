#pragma once
// Windows virtual-key codes the tool names: the key-table codes of keys that are not letters
// ('A'..'Z') or digits ('0'..'9'). F-keys run on from kF1, keypad digits from kNumpad0.

namespace tavrik::model::vk {

inline constexpr int kBack = 0x08, kTab = 0x09, kReturn = 0x0D, kPause = 0x13, kCapital = 0x14;
inline constexpr int kEscape = 0x1B, kSpace = 0x20, kPrior = 0x21, kNext = 0x22, kEnd = 0x23;
inline constexpr int kHome = 0x24, kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;
inline constexpr int kSnapshot = 0x2C, kInsert = 0x2D, kDelete = 0x2E;
inline constexpr int kLWin = 0x5B, kRWin = 0x5C, kApps = 0x5D;
inline constexpr int kNumpad0 = 0x60, kMultiply = 0x6A, kAdd = 0x6B, kSeparator = 0x6C;
inline constexpr int kSubtract = 0x6D, kDecimal = 0x6E, kDivide = 0x6F, kF1 = 0x70;
inline constexpr int kNumLock = 0x90, kScroll = 0x91;
inline constexpr int kLShift = 0xA0, kRShift = 0xA1, kLControl = 0xA2, kRControl = 0xA3;
inline constexpr int kLMenu = 0xA4, kRMenu = 0xA5;
inline constexpr int kVolumeMute = 0xAD, kVolumeDown = 0xAE, kVolumeUp = 0xAF;
inline constexpr int kMediaNext = 0xB0, kMediaPrev = 0xB1, kMediaStop = 0xB2;
inline constexpr int kMediaPlayPause = 0xB3, kLaunchMediaSelect = 0xB5;
inline constexpr int kOem1 = 0xBA, kOemPlus = 0xBB, kOemComma = 0xBC, kOemMinus = 0xBD;
inline constexpr int kOemPeriod = 0xBE, kOem2 = 0xBF, kOem3 = 0xC0, kOem4 = 0xDB, kOem5 = 0xDC;
inline constexpr int kOem6 = 0xDD, kOem7 = 0xDE;

}  // namespace tavrik::model::vk
