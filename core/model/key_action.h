#pragma once
// The key action table: 255 records of 772 bytes, record i belonging to key slot i, describing
// the function the user gave each key in the host's own terms. Records 113..254 are file space.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tavrik::model {

inline constexpr int kKeyActionCount = 255;
inline constexpr std::size_t kKeyActionRecordSize = 772;
inline constexpr std::size_t kKeyActionTableSize = kKeyActionCount * kKeyActionRecordSize;
static_assert(kKeyActionTableSize == 196860);

namespace keyaction {
inline constexpr std::size_t kOwnCode = 0;  // key-table code of the slot's key
inline constexpr std::size_t kKind = 1;     // KeyKind; other values mean no function
inline constexpr std::size_t kCodes = 2;    // captured codes, or the cell bytes of the function
inline constexpr std::size_t kCodesSize = 255;
inline constexpr std::size_t kCount = 257;       // number of captured keys (kinds 0 and 1)
inline constexpr std::size_t kLaunchPath = 260;  // UTF-16 LE, zero-terminated
inline constexpr std::size_t kLaunchPathSize = 512;
inline constexpr std::size_t kMaxLaunchPathChars = 255;
static_assert(kLaunchPath + kLaunchPathSize == kKeyActionRecordSize);
}  // namespace keyaction

enum class KeyKind : std::uint8_t {
    SingleKey = 0,
    Combination = 1,
    Macro = 2,
    Preset = 3,
    PlaySound = 4,
    StartProgram = 5,
    OpenFile = 6,
    OpenFolder = 7,
    None = 8,        // nothing chosen: back to the key's own function (never stored)
    Unchosen = 255,  // the launch tab entered, nothing picked yet (never stored)
};

// The launch kinds are consecutive: launch row r is kind PlaySound + r.
inline constexpr KeyKind kFirstLaunchKind = KeyKind::PlaySound;

inline constexpr bool isLaunchKind(KeyKind kind) {
    return kind >= KeyKind::PlaySound && kind <= KeyKind::OpenFolder;
}

using KeyActionTable = std::array<std::uint8_t, kKeyActionTableSize>;

// A read-write view of one record.
class KeyAction {
public:
    explicit KeyAction(std::span<std::uint8_t, kKeyActionRecordSize> bytes) : m_b(bytes) {}

    std::uint8_t ownCode() const { return m_b[keyaction::kOwnCode]; }
    void setOwnCode(std::uint8_t c) { m_b[keyaction::kOwnCode] = c; }
    std::uint8_t kind() const { return m_b[keyaction::kKind]; }
    void setKind(std::uint8_t k) { m_b[keyaction::kKind] = k; }
    void setKind(KeyKind k) { setKind(static_cast<std::uint8_t>(k)); }
    std::span<std::uint8_t, keyaction::kCodesSize> codes() const {
        return m_b.subspan<keyaction::kCodes, keyaction::kCodesSize>();
    }
    std::uint8_t count() const { return m_b[keyaction::kCount]; }
    void setCount(std::uint8_t n) { m_b[keyaction::kCount] = n; }

    // The launch path as UTF-8; empty when none is stored.
    std::string launchPath() const;
    // Stores a UTF-8 path; returns false (record unchanged) when it exceeds 255 UTF-16 units.
    bool setLaunchPath(const std::string& utf8);

    std::span<std::uint8_t, kKeyActionRecordSize> bytes() const { return m_b; }

private:
    std::span<std::uint8_t, kKeyActionRecordSize> m_b;
};

KeyAction keyAction(KeyActionTable& table, int slot);
// Read-only access goes through a copy-free const view of the same layout.
std::span<const std::uint8_t, kKeyActionRecordSize> keyActionBytes(const KeyActionTable& table,
                                                                   int slot);

}  // namespace tavrik::model
