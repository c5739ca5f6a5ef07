#pragma once
// Events of one macro as held by the editor: the device sequence (HID usages) and the key
// sequence (key-table codes), which carry the same events at the same offsets. Walking them,
// the event-list lines they show as, the line walk from a list line to a byte offset, and the
// edits (insert, remove, change a delay) that keep both sequences well formed.
//
// Every function reads and writes only inside the 190 bytes: an event that does not fit ends
// the walk, and an insertion that pushes an event past the end drops it whole.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "macro/macro_layout.h"

namespace tavrik::macro {

struct EditorBuffers {
    Sequence device{};
    Sequence key{};
};

struct Event {
    std::size_t offset = 0;
    std::size_t size = 0;  // 2 (short form) or 4 (long form)
    bool released = false;
    int delay = 0;  // ms before this event
    std::uint8_t usage = 0;
    std::uint8_t code = 0;  // key-table code
    int firstLine = 0;      // index of its first line in the event list
    int lineCount = 1;      // 2 when a delay line precedes the event line
    bool hasDelayLine() const { return lineCount == 2; }
    std::size_t end() const { return offset + size; }
};

// The events from offset 0 up to the first one whose code is 0 in either sequence, or that does
// not fit in the 190 bytes. Byte 0 and the delay are read from the device sequence. The first
// event never shows a delay line; any other shows one when its delay is above 1.
std::vector<Event> walkEvents(const EditorBuffers& b);
// Offset just after the last event (where recording appends).
std::size_t eventsEnd(const EditorBuffers& b);

// The event list: "%d ms" delay lines and "%s dn" / "%s up" event lines (key-table names).
std::vector<std::string> eventLines(const EditorBuffers& b);
std::string delayLineText(int delayMs);
std::string eventLineText(std::uint8_t code, bool released);
bool isDelayLine(std::string_view line);  // contains " ms"

// Line walk. Start of the event whose first line is `line`; the line just past the last line
// gives the end of the events (so that appending works). Event whose lines include `line`. End
// of the event whose last line is `line`. nullopt when no event satisfies the request.
std::optional<std::size_t> eventStartAtLine(const EditorBuffers& b, int line);
std::optional<std::size_t> eventContainingLine(const EditorBuffers& b, int line);
std::optional<std::size_t> eventEndAtLine(const EditorBuffers& b, int line);

// Inserts the short-form event (head byte, usage of code / code) at offset in both sequences;
// what no longer fits behind byte 190 is dropped (a cut event is dropped whole). False, and
// nothing changes, when the code's key-table usage is 0 or offset lies past the events.
bool insertEvent(EditorBuffers& b, std::size_t offset, std::uint8_t head, std::uint8_t code);
// Removes the event at offset (2 or 4 bytes) from both sequences; the end is zero-filled.
void removeEvent(EditorBuffers& b, std::size_t offset);
// Gives the event at offset a new delay, keeping its direction: below 127 the short form (a
// long-form event loses its two delay bytes), from 127 the long form (a short-form event gains
// two bytes, the tail moves back and what passes byte 190 is dropped). Delay capped at 60000.
void setEventDelay(EditorBuffers& b, std::size_t offset, int delayMs);
// The first event keeps its direction and gets delay 1 (short form).
void normaliseFirstEvent(EditorBuffers& b);
// Zeroes everything behind the last complete event.
void trimTail(EditorBuffers& b);

}  // namespace tavrik::macro
