// Walks arbitrary 190-byte event sequences (as a loaded MacroDefine.bin may hold them) through
// the event walk, the list lines, the line walk and the edits that work at a list line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "macro/macro_events.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrik::macro;
    EditorBuffers b;
    if (size < 2) return 0;
    const std::uint8_t line = data[0];
    const std::uint8_t delayByte = data[1];
    data += 2;
    size -= 2;
    std::memcpy(b.device.data(), data, std::min(size, kSequenceSize));
    if (size > kSequenceSize)
        std::memcpy(b.key.data(), data + kSequenceSize,
                    std::min(size - kSequenceSize, kSequenceSize));
    else
        std::memcpy(b.key.data(), data, std::min(size, kSequenceSize));

    const auto lines = eventLines(b);
    (void)eventContainingLine(b, line);
    (void)eventEndAtLine(b, line);
    if (const auto at = eventStartAtLine(b, line)) {
        setEventDelay(b, *at, delayByte * 300);
        insertEvent(b, *at, delayByte, 'A');
    }
    if (const auto at = eventContainingLine(b, line)) removeEvent(b, *at);
    normaliseFirstEvent(b);
    const auto events = walkEvents(b);
    if (!events.empty() && events.back().end() > kSequenceSize) __builtin_trap();
    return 0;
}
