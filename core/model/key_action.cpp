#include "model/key_action.h"

#include <cassert>
#include <stdexcept>

#include "common/utf16.h"

namespace tavrik::model {

std::string KeyAction::launchPath() const {
    return utf16ToUtf8(
        readUtf16Field(m_b.subspan<keyaction::kLaunchPath, keyaction::kLaunchPathSize>()));
}

bool KeyAction::setLaunchPath(const std::string& utf8) {
    const std::u16string text = utf8ToUtf16(utf8);
    if (text.size() > keyaction::kMaxLaunchPathChars) return false;
    return writeUtf16Field(m_b.subspan<keyaction::kLaunchPath, keyaction::kLaunchPathSize>(), text);
}

KeyAction keyAction(KeyActionTable& table, int slot) {
    assert(slot >= 0 && slot < kKeyActionCount);
    if (slot < 0 || slot >= kKeyActionCount) throw std::out_of_range("key action slot");
    return KeyAction(std::span<std::uint8_t, kKeyActionRecordSize>(
        table.data() + static_cast<std::size_t>(slot) * kKeyActionRecordSize,
        kKeyActionRecordSize));
}

std::span<const std::uint8_t, kKeyActionRecordSize> keyActionBytes(const KeyActionTable& table,
                                                                   int slot) {
    assert(slot >= 0 && slot < kKeyActionCount);
    if (slot < 0 || slot >= kKeyActionCount) throw std::out_of_range("key action slot");
    return std::span<const std::uint8_t, kKeyActionRecordSize>(
        table.data() + static_cast<std::size_t>(slot) * kKeyActionRecordSize, kKeyActionRecordSize);
}

}  // namespace tavrik::model
