#include "macro/macro_events.h"

#include <algorithm>

#include "model/key_table.h"

namespace tavrik::macro {
namespace {

bool isLongHead(std::uint8_t head) {
    return (head & event::kDelayMask) == event::kLongMarker;
}

std::uint8_t withDelay(std::uint8_t head, std::uint8_t delayBits) {
    return static_cast<std::uint8_t>((head & event::kReleaseBit) | delayBits);
}

// Moves bytes [from, end) to start at `to` (to < from), zero-filling the freed end.
void shiftForward(Sequence& s, std::size_t to, std::size_t from) {
    std::copy(s.begin() + from, s.end(), s.begin() + to);
    std::fill(s.end() - (from - to), s.end(), std::uint8_t{0});
}

// Opens a gap of n bytes at `at`, the tail moving back and losing what passes the end.
void openGap(Sequence& s, std::size_t at, std::size_t n) {
    std::copy_backward(s.begin() + at, s.end() - n, s.end());
    std::fill_n(s.begin() + at, n, std::uint8_t{0});
}

void forBoth(EditorBuffers& b, auto&& f) {
    f(b.device);
    f(b.key);
}

}  // namespace

std::vector<Event> walkEvents(const EditorBuffers& b) {
    std::vector<Event> events;
    int line = 0;
    std::size_t off = 0;
    while (off + event::kShortSize <= kSequenceSize) {
        const std::uint8_t head = b.device[off + event::kHead];
        Event e;
        e.offset = off;
        e.usage = b.device[off + event::kCode];
        e.code = b.key[off + event::kCode];
        if (e.usage == 0 || e.code == 0) break;
        e.released = head & event::kReleaseBit;
        if (isLongHead(head)) {
            e.size = event::kLongSize;
            if (off + e.size > kSequenceSize) break;
            e.delay = b.device[off + event::kDelayHigh] << 8 | b.device[off + event::kDelayLow];
        } else {
            e.size = event::kShortSize;
            e.delay = head & event::kDelayMask;
        }
        e.firstLine = line;
        e.lineCount = (!events.empty() && e.delay > 1) ? 2 : 1;
        line += e.lineCount;
        off += e.size;
        events.push_back(e);
    }
    return events;
}

std::size_t eventsEnd(const EditorBuffers& b) {
    const auto events = walkEvents(b);
    return events.empty() ? 0 : events.back().end();
}

std::string delayLineText(int delayMs) {
    return std::to_string(delayMs) + " ms";
}

std::string eventLineText(std::uint8_t code, bool released) {
    return std::string(model::keyName(code)) + (released ? " up" : " dn");
}

bool isDelayLine(std::string_view line) {
    return line.find(" ms") != std::string_view::npos;
}

std::vector<std::string> eventLines(const EditorBuffers& b) {
    std::vector<std::string> lines;
    for (const Event& e : walkEvents(b)) {
        if (e.hasDelayLine()) lines.push_back(delayLineText(e.delay));
        lines.push_back(eventLineText(e.code, e.released));
    }
    return lines;
}

std::optional<std::size_t> eventStartAtLine(const EditorBuffers& b, int line) {
    const auto events = walkEvents(b);
    for (const Event& e : events)
        if (e.firstLine == line) return e.offset;
    const int total = events.empty() ? 0 : events.back().firstLine + events.back().lineCount;
    if (line == total) return events.empty() ? 0 : events.back().end();
    return std::nullopt;
}

std::optional<std::size_t> eventContainingLine(const EditorBuffers& b, int line) {
    for (const Event& e : walkEvents(b))
        if (line >= e.firstLine && line < e.firstLine + e.lineCount) return e.offset;
    return std::nullopt;
}

std::optional<std::size_t> eventEndAtLine(const EditorBuffers& b, int line) {
    for (const Event& e : walkEvents(b))
        if (e.firstLine + e.lineCount - 1 == line) return e.end();
    return std::nullopt;
}

void trimTail(EditorBuffers& b) {
    const std::size_t end = eventsEnd(b);
    forBoth(b, [end](Sequence& s) { std::fill(s.begin() + end, s.end(), std::uint8_t{0}); });
}

bool insertEvent(EditorBuffers& b, std::size_t offset, std::uint8_t head, std::uint8_t code) {
    const std::uint8_t usage = model::keyUsage(code);
    if (usage == 0 || offset > eventsEnd(b) || offset >= kSequenceSize) return false;
    openGap(b.device, offset, event::kShortSize);
    openGap(b.key, offset, event::kShortSize);
    b.device[offset + event::kHead] = b.key[offset + event::kHead] = head;
    b.device[offset + event::kCode] = usage;
    b.key[offset + event::kCode] = code;
    trimTail(b);
    return true;
}

void removeEvent(EditorBuffers& b, std::size_t offset) {
    if (offset + event::kShortSize > kSequenceSize) return;
    const std::size_t size = isLongHead(b.device[offset]) ? event::kLongSize : event::kShortSize;
    if (offset + size > kSequenceSize) return;
    forBoth(b, [&](Sequence& s) { shiftForward(s, offset, offset + size); });
}

void setEventDelay(EditorBuffers& b, std::size_t offset, int delayMs) {
    if (offset + event::kShortSize > kSequenceSize) return;
    const int delay = std::clamp(delayMs, 0, event::kMaxDelay);
    const bool wasLong = isLongHead(b.device[offset]);
    const std::size_t delayAt = offset + event::kDelayHigh;
    if (wasLong && offset + event::kLongSize > kSequenceSize) return;
    if (delay < event::kLongDelayFrom) {
        forBoth(b, [&](Sequence& s) {
            s[offset] = withDelay(s[offset], static_cast<std::uint8_t>(delay));
            if (wasLong) shiftForward(s, delayAt, delayAt + 2);
        });
        return;
    }
    if (!wasLong && offset + event::kLongSize > kSequenceSize) return;  // no room at the end
    forBoth(b, [&](Sequence& s) {
        s[offset] = withDelay(s[offset], event::kLongMarker);
        if (!wasLong) openGap(s, delayAt, 2);
        s[offset + event::kDelayHigh] = static_cast<std::uint8_t>(delay >> 8);
        s[offset + event::kDelayLow] = static_cast<std::uint8_t>(delay & 0xFF);
    });
    trimTail(b);
}

void normaliseFirstEvent(EditorBuffers& b) {
    if (walkEvents(b).empty()) return;
    setEventDelay(b, 0, 1);
}

}  // namespace tavrik::macro
