#pragma once
// Pauses the host keeps around each command and burst. They are the keyboard's only pacing.

#include <chrono>

namespace tavrik::device::pause {

using std::chrono::milliseconds;

inline constexpr milliseconds kAfterSet{10};             // 0x01, 0x04, 0x08
inline constexpr milliseconds kAfterGameMode{20};        // 0x09
inline constexpr milliseconds kAfterColourEntry{20};     // 0x14
inline constexpr milliseconds kAfterFactoryReset{300};   // 0x13 and each step after it
inline constexpr milliseconds kAfterReadRequest{10};     // 0x80, 0x81, 0x84, 0x88
inline constexpr milliseconds kAfterReply{10};           // 0x80, 0x81, 0x84
inline constexpr milliseconds kAfterGameModeRequest{5};  // 0x89
inline constexpr milliseconds kColourEntryRead{1};       // 0x94: after request and after reply

inline constexpr milliseconds kBeforeKeyCodes{50};  // after the 0x0D announcement
inline constexpr milliseconds kAfterKeyCodes{60};
inline constexpr milliseconds kBeforeBitmap{10};    // after the 0x0E announcement
inline constexpr milliseconds kBeforeMacroSlot{1};  // after the 0x11 announcement
inline constexpr milliseconds kDiyStep{5};          // around every DIY packet, both directions

// Session pacing.
inline constexpr milliseconds kAfterStartupGameMode{10};  // read-all, after its 0x09
inline constexpr milliseconds kArrivalSettle{2000};
inline constexpr milliseconds kRemovalSettle{500};
inline constexpr milliseconds kAfterRemoval{200};
inline constexpr milliseconds kReaderExit{10};
inline constexpr milliseconds kEventReadTimeout{200};
inline constexpr milliseconds kAckTimeout{2000};

}  // namespace tavrik::device::pause
