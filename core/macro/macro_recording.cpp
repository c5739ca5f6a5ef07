// Recording: the hook's key reports become events of the selected macro, with the delays
// measured between them.
#include <algorithm>

#include "macro/macro_editor.h"
#include "model/key_table.h"

namespace tavrik::macro {
namespace {
constexpr std::size_t kPressLimit = 184;  // presses from this write offset on are dropped
}  // namespace

int elapsedMilliseconds(std::int64_t ticks, std::int64_t frequency) {
    if (ticks <= 0 || frequency <= 0) return 0;
    constexpr std::int64_t kMicro = 1'000'000;
    const std::int64_t seconds = ticks / frequency;
    if (seconds >= event::kMaxDelay / 1000) return event::kMaxDelay;
    // ticks * 10^6 / frequency split into whole seconds and remainder: the same truncated value
    // without the overflow of the plain product.
    const std::int64_t micros = seconds * kMicro + (ticks % frequency) * kMicro / frequency;
    return static_cast<int>(std::min<std::int64_t>(micros / 1000, event::kMaxDelay));
}

int MacroEditor::measureDelay() {
    const std::int64_t now = m_clock.ticks();
    const std::int64_t ticks = now - m_previousTicks;
    m_previousTicks = now;
    return elapsedMilliseconds(ticks, m_frequency);
}

void MacroEditor::stopHook() {
    m_insertArmed = false;  // an insertion cannot complete without the hook
    if (!m_hookInstalled) return;
    m_hook.remove();
    m_hookInstalled = false;
}

std::optional<Notice> MacroEditor::toggleRecording() {
    MacroRecord* r = selectedRecord();
    if (!r) return text::kSelectToRecord;
    m_recording = !m_recording;
    if (!m_recording) {
        stopHook();
        return std::nullopt;
    }
    if (!m_hookInstalled) m_hookInstalled = m_hook.install();
    clearEditor();
    m_lastEventText.clear();
    std::ranges::fill(deviceSequence(*r), std::uint8_t{0});
    std::ranges::fill(keySequence(*r), std::uint8_t{0});
    return std::nullopt;
}

void MacroEditor::insertCapturedKey(int vk, bool released) {
    const auto code = static_cast<std::uint8_t>(vk);
    if (released) {
        stopHook();  // also disarms insert mode
    }
    const auto at = eventStartAtLine(m_buffers, m_insertLine);
    const bool inserted =
        at &&
        insertEvent(m_buffers, *at, released ? event::kFirstRelease : event::kFirstPress, code);
    if (inserted && !released) ++m_insertLine;
    m_writeOffset = eventsEnd(m_buffers);
    refreshLines();
}

void MacroEditor::onHookKey(int vk, bool released) {
    if (vk < 0 || vk >= model::kKeyTableSize) return;
    const auto code = static_cast<std::uint8_t>(vk);
    if (m_insertArmed) {
        insertCapturedKey(vk, released);
    } else if (m_hookInstalled) {
        const std::string text = eventLineText(code, released);
        if (released) {
            const int delay = measureDelay();
            if (text != m_lastEventText)
                m_writeOffset = InsertMacroToList(vk, m_writeOffset, delay, true);
        } else {
            int delay = 0;
            if (m_lines.empty())
                m_previousTicks = m_clock.ticks();
            else if (text != m_lastEventText)
                delay = measureDelay();
            if (text != m_lastEventText && m_writeOffset < kPressLimit)
                m_writeOffset = InsertMacroToList(vk, m_writeOffset, delay, false);
        }
    }
    commit();
}

std::size_t MacroEditor::InsertMacroToList(int vk, std::size_t offset, int delayMs, bool released) {
    const auto code = static_cast<std::uint8_t>(vk);
    const std::uint8_t usage = model::keyUsage(vk);
    if (usage == 0) return offset;
    const bool withDelay = m_delayOption && !m_lines.empty();
    const int delay = std::clamp(delayMs, 0, event::kMaxDelay);
    const bool longForm = withDelay && delay >= event::kLongDelayFrom;
    const std::size_t size = longForm ? event::kLongSize : event::kShortSize;
    if (offset + size > kSequenceSize) return offset;  // never beyond the buffers

    const std::uint8_t direction = released ? event::kReleaseBit : 0;
    std::uint8_t head = released ? event::kFirstRelease : event::kFirstPress;
    if (longForm)
        head = direction | event::kLongMarker;
    else if (withDelay)
        head = static_cast<std::uint8_t>(direction | delay);
    m_buffers.device[offset + event::kHead] = m_buffers.key[offset + event::kHead] = head;
    m_buffers.device[offset + event::kCode] = usage;
    m_buffers.key[offset + event::kCode] = code;
    if (longForm) {
        const auto high = static_cast<std::uint8_t>(delay >> 8);
        const auto low = static_cast<std::uint8_t>(delay & 0xFF);
        m_buffers.device[offset + event::kDelayHigh] = m_buffers.key[offset + event::kDelayHigh] =
            high;
        m_buffers.device[offset + event::kDelayLow] = m_buffers.key[offset + event::kDelayLow] =
            low;
    }
    m_lastEventText = eventLineText(code, released);
    refreshLines();
    m_selectedLine = static_cast<int>(m_lines.size()) - 1;
    return offset + size;
}

}  // namespace tavrik::macro
