#pragma once
// Shared helpers of the macro tests: stores built from event lists, a settable clock and a hook
// that records its calls.

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/utf16.h"
#include "macro/macro_editor.h"
#include "model/key_table.h"

namespace tavrik::macro::testing {

struct Ev {
    std::uint8_t head;
    std::uint8_t code;   // key-table code
    int longDelay = -1;  // >= 0: long form with this delay
};

inline EditorBuffers buffersOf(std::initializer_list<Ev> events) {
    EditorBuffers b;
    std::size_t off = 0;
    for (const Ev& e : events) {
        b.device[off] = b.key[off] = e.head;
        b.device[off + 1] = model::keyUsage(e.code);
        b.key[off + 1] = e.code;
        off += 2;
        if (e.longDelay >= 0) {
            b.device[off] = b.key[off] = static_cast<std::uint8_t>(e.longDelay >> 8);
            b.device[off + 1] = b.key[off + 1] = static_cast<std::uint8_t>(e.longDelay & 0xFF);
            off += 2;
        }
    }
    return b;
}

inline void putMacro(MacroStore& store, std::size_t i, const std::string& name,
                     const EditorBuffers& b = {}, std::uint16_t loops = 1) {
    store[i].fill(0);
    setMacroName(store[i], utf8ToUtf16(name));
    setLoopCount(store[i], loops);
    std::ranges::copy(b.device, deviceSequence(store[i]).begin());
    std::ranges::copy(b.key, keySequence(store[i]).begin());
}

class FakeClock final : public Clock {
public:
    std::int64_t ticks() const override { return m_now; }
    std::int64_t frequency() const override { return 1'000'000; }  // microseconds
    void advanceMs(std::int64_t ms) { m_now += ms * 1000; }
    void advanceUs(std::int64_t us) { m_now += us; }

private:
    std::int64_t m_now = 5'000'000;
};

class FakeHook final : public HookControl {
public:
    bool install() override {
        ++installs;
        installed = result;
        return result;
    }
    void remove() override {
        ++removes;
        installed = false;
    }
    bool result = true;
    bool installed = false;
    int installs = 0;
    int removes = 0;
};

inline constexpr int kA = 'A', kB = 'B', kC = 'C';

}  // namespace tavrik::macro::testing
