// Opens the key assignment dialog on an arbitrary record, drives it with arbitrary input, and
// encodes every accepted result. Aborts when a result breaks what the encoding relies on.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "keyassign/encoding.h"
#include "keyassign/key_map_state.h"
#include "model/key_action.h"
#include "model/slot_table.h"

namespace {

using namespace tavrik;
using namespace tavrik::keyassign;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool empty() const { return m_pos >= m_size; }
    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

void check(bool ok) {
    if (!ok) std::abort();
}

void checkResult(const AssignmentResult& r) {
    if (r.count == kDefaultCount) return;
    check(r.kind <= KeyKind::None);
    if (r.kind == KeyKind::SingleKey) check(r.count == 1 && r.captured[1] == 0);
    if (r.kind == KeyKind::Combination) check(r.count >= 1 && r.count <= kMaxCombinationKeys);
    if (r.kind == KeyKind::Macro) check(r.macroIndex >= 0 && r.macroIndex < 32);
    if (r.kind == KeyKind::Preset) {
        check(findPresetByName(r.functionName, Language::English).has_value());
    }
    if (model::isLaunchKind(r.kind)) check(!r.launchPath.empty());
}

void drive(KeyMapState& st, Input& in, model::ConfigState& state, int slot) {
    while (!in.empty()) {
        const std::uint8_t op = in.byte() % 8;
        const std::uint8_t a = in.byte();
        const std::uint8_t b = in.byte();
        switch (op) {
            case 0: {
                const ClickOutcome out = st.click({a + (b & 0x40), b});
                if (out.chooseRow) st.chosen(*out.chooseRow, std::string(a % 20, '/') + "x");
                if (out.end == DialogEnd::Accept) {
                    const AssignmentResult r = st.result();
                    checkResult(r);
                    check(validateAssignment(slot, r).ok());
                    const bool on = encodeAssignment(state, slot, r, Language::English, {});
                    applyEnableState(state, slot, on);
                }
                break;
            }
            case 1:
                st.hookKey(a, b & 1);
                break;
            case 2:
                st.focusGained(b & 1 ? Edit::Combine : Edit::Single);
                break;
            case 3:
                st.selectTreeNode(static_cast<int>(a % 30) - 2);
                break;
            case 4:
                st.selectMacroRow(static_cast<int>(a % 40) - 2);
                break;
            case 5:
                st.deleteAll();
                break;
            case 6:
                st.pointerMoved({a, b});
                break;
            default:
                (void)st.takeFocusRequest();
                break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static model::ConfigState state;
    static const std::array<std::string, 40> macros = [] {
        std::array<std::string, 40> names;
        for (std::size_t i = 0; i < names.size(); ++i) names[i] = "m" + std::to_string(i);
        return names;
    }();
    std::array<std::uint8_t, model::kKeyActionRecordSize> record{};
    const std::size_t head = std::min<std::size_t>(size, 8);
    std::copy(data, data + head, record.begin());  // own code, kind and the first code bytes
    Input in(data + head, size - head);
    const int slot = record[0] % model::kSlotCount;

    KeyMapInput input{record,
                      (record[7] & 1) != 0,
                      {macros.begin(), macros.begin() + record[6] % macros.size()},
                      Language::English};
    KeyMapState st(input);
    st.setHookInstalled((record[7] & 2) == 0);
    drive(st, in, state, slot);
    return 0;
}
