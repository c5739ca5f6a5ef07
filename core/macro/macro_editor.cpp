// The editor commands of the macro dialog: opening, the macro list, the options and the edits
// of single events.
#include <algorithm>
#include <cctype>

#include "common/utf16.h"
#include "macro/macro_editor.h"

namespace tavrik::macro {
namespace {

constexpr int kInsertedDelayMs = 50;
constexpr std::size_t kLoopDigits = 3;

std::string newMacroName(int i) {
    const char* prefix = i <= 9 ? "Macro_00" : i <= 98 ? "Macro_0" : "Macro_";
    return prefix + std::to_string(i);
}

}  // namespace

MacroEditor::MacroEditor(HookControl& hook, const Clock& clock) : m_hook(hook), m_clock(clock) {}

void MacroEditor::open(const MacroStore& store) {
    stopHook();
    m_store = store;
    m_delayOption = m_loopOption = m_recording = m_insertArmed = false;
    m_lastEventText.clear();
    m_frequency = m_clock.frequency();
    m_previousTicks = m_clock.ticks();
    m_names = macro::macroNames(m_store);
    selectMacro(m_names.empty() ? -1 : 0);
}

void MacroEditor::ok(MacroStore& store) {
    stopHook();
    if (MacroRecord* r = selectedRecord(); r && m_loopOption)
        setLoopCount(*r, static_cast<std::uint16_t>(loopValue()));
    store = m_store;
}

BiText MacroEditor::recordButtonLabel() const {
    return m_recording ? text::kStopRecording : text::kStartRecording;
}

MacroRecord* MacroEditor::selectedRecord() {
    return m_selectedMacro >= 0 ? &m_store[static_cast<std::size_t>(m_selectedMacro)] : nullptr;
}

int MacroEditor::loopValue() const {
    int value = 0;
    for (char c : m_loopText) value = value * 10 + (c - '0');
    return value;
}

void MacroEditor::refreshLines() {
    m_lines = macro::eventLines(m_buffers);
    if (m_selectedLine >= static_cast<int>(m_lines.size())) m_selectedLine = -1;
}

void MacroEditor::clearEditor() {
    m_buffers = {};
    m_writeOffset = 0;
    m_lines.clear();
    m_selectedLine = -1;
}

void MacroEditor::loadIntoEditor(int index) {
    const MacroRecord& r = m_store[static_cast<std::size_t>(index)];
    std::ranges::copy(deviceSequence(r), m_buffers.device.begin());
    std::ranges::copy(keySequence(r), m_buffers.key.begin());
    m_writeOffset = eventsEnd(m_buffers);
    m_selectedLine = -1;
    refreshLines();
}

void MacroEditor::commit() {
    MacroRecord* r = selectedRecord();
    if (!r) return;
    (void)setMacroName(*r, utf8ToUtf16(m_names[static_cast<std::size_t>(m_selectedMacro)]));
    setLoopCount(*r, static_cast<std::uint16_t>(m_loopOption ? loopValue() : 1));
    setRecordsDelay(*r, m_delayOption);
    std::ranges::copy(m_buffers.device, deviceSequence(*r).begin());
    std::ranges::copy(m_buffers.key, keySequence(*r).begin());
}

void MacroEditor::selectMacro(int line) {
    if (line < 0 || line >= static_cast<int>(m_names.size())) {
        m_selectedMacro = -1;
        clearEditor();
        return;
    }
    m_selectedMacro = line;
    const MacroRecord& r = m_store[static_cast<std::size_t>(line)];
    m_delayOption = recordsDelay(r);
    const int count = loopCount(r);
    m_loopOption = count > 1;
    m_loopText = std::to_string(count == 0 ? 1 : count);
    loadIntoEditor(line);
}

bool MacroEditor::renameMacro(int line, std::string_view name) {
    if (line < 0 || line >= static_cast<int>(m_names.size()) || name.empty()) return false;
    for (std::size_t i = 0; i < m_names.size(); ++i)
        if (static_cast<int>(i) != line && m_names[i] == name) return false;
    if (!setMacroName(m_store[static_cast<std::size_t>(line)], utf8ToUtf16(name))) return false;
    m_names[static_cast<std::size_t>(line)] = name;
    return true;
}

void MacroEditor::newMacro() {
    if (m_names.size() >= kMaxMacros) return;
    int i = 1;
    while (std::ranges::find(m_names, newMacroName(i)) != m_names.end()) ++i;
    m_names.push_back(newMacroName(i));
    const std::size_t k = m_names.size() - 1;
    std::copy_backward(m_store.begin() + static_cast<std::ptrdiff_t>(k), m_store.end() - 1,
                       m_store.end());
    m_store[k].fill(0);
    (void)setMacroName(m_store[k], utf8ToUtf16(m_names[k]));
    m_selectedMacro = static_cast<int>(k);
    clearEditor();
    m_recording = m_delayOption = m_loopOption = false;
    m_loopText = "1";
    stopHook();
}

std::optional<Notice> MacroEditor::deleteMacro() {
    if (m_selectedMacro < 0) return text::kSelectToDelete;
    const int s = m_selectedMacro;
    const int n = static_cast<int>(m_names.size());
    m_names.erase(m_names.begin() + s);
    std::copy(m_store.begin() + s + 1, m_store.end(), m_store.begin() + s);
    m_store.back().fill(0);
    m_store[static_cast<std::size_t>(n - 1)].fill(0);
    selectMacro(std::min(s, n - 2));
    stopHook();
    m_recording = false;
    return std::nullopt;
}

void MacroEditor::flipLoopOption() {
    m_loopOption = !m_loopOption;
    if (!m_loopOption) setLoopText("1");
}

void MacroEditor::setLoopText(std::string_view text) {
    m_loopText.clear();
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)) || m_loopText.size() == kLoopDigits) break;
        m_loopText.push_back(c);
    }
    if (MacroRecord* r = selectedRecord())
        setLoopCount(*r, static_cast<std::uint16_t>(loopValue()));
}

std::optional<int> MacroEditor::validLine(int line) const {
    if (line < 0 || line >= static_cast<int>(m_lines.size())) return std::nullopt;
    return line;
}

bool MacroEditor::isDelayLineAt(int line) const {
    return validLine(line) && isDelayLine(m_lines[static_cast<std::size_t>(line)]);
}

void MacroEditor::selectEventLine(int line) {
    m_selectedLine = validLine(line).value_or(-1);
}

void MacroEditor::armInsert(int line) {
    m_insertArmed = true;
    m_insertLine = line;
    if (!m_hookInstalled) m_hookInstalled = m_hook.install();
}

void MacroEditor::insertBefore() {
    const auto s = validLine(m_selectedLine);
    if (!s) return;
    int line = *s;
    if (line > 0 && !isDelayLineAt(line) && isDelayLineAt(line - 1)) line = line - 1;
    armInsert(line);
}

void MacroEditor::insertAfter() {
    const auto s = validLine(m_selectedLine);
    if (!s) return;
    armInsert(isDelayLineAt(*s) && *s + 1 < static_cast<int>(m_lines.size()) ? *s + 2 : *s + 1);
}

void MacroEditor::finishEdit(bool normalise) {
    if (normalise) normaliseFirstEvent(m_buffers);
    m_insertArmed = false;
    m_writeOffset = eventsEnd(m_buffers);
    commit();
    refreshLines();
}

void MacroEditor::insertMouseButton(MouseButton button, MouseAction action) {
    const auto s = validLine(m_selectedLine);
    if (m_selectedMacro < 0 || !s) return;
    const int p = isDelayLineAt(*s) ? *s + 2 : *s + 1;
    const auto at = eventEndAtLine(m_buffers, p - 1);
    if (!at) return;
    const auto code = static_cast<std::uint8_t>(button);
    bool pressed = false;
    if (action != MouseAction::Release)
        pressed = insertEvent(m_buffers, *at, event::kFirstPress, code);
    if (action != MouseAction::Press)
        insertEvent(m_buffers, *at + (pressed ? event::kShortSize : 0), event::kFirstRelease, code);
    finishEdit(false);
}

std::optional<Notice> MacroEditor::insertDelay() {
    const auto s = validLine(m_selectedLine);
    if (!s || *s + 1 == static_cast<int>(m_lines.size())) return std::nullopt;
    if (isDelayLineAt(*s)) return text::kEditCurrentDelay;
    const auto at = eventStartAtLine(m_buffers, *s + 1);
    if (!at) return std::nullopt;
    setEventDelay(m_buffers, *at, kInsertedDelayMs);
    m_selectedLine = -1;
    finishEdit(true);
    return std::nullopt;
}

void MacroEditor::deleteEvent() {
    const auto s = validLine(m_selectedLine);
    if (m_selectedMacro < 0 || !s) return;
    if (isDelayLineAt(*s)) {
        if (const auto at = eventStartAtLine(m_buffers, *s)) setEventDelay(m_buffers, *at, 1);
    } else if (const auto at = eventContainingLine(m_buffers, *s)) {
        removeEvent(m_buffers, *at);
    }
    m_selectedLine = -1;
    finishEdit(true);
}

void MacroEditor::editDelay(int line, long delayMs) {
    if (!isDelayLineAt(line)) return;
    const auto at = eventStartAtLine(m_buffers, line);
    if (!at) return;
    const long delay = std::clamp<long>(delayMs, event::kMinEditedDelay, event::kMaxDelay);
    setEventDelay(m_buffers, *at, static_cast<int>(delay));
    finishEdit(true);
}

void MacroEditor::onEditStart() {
    stopHook();
    m_recording = false;
}

}  // namespace tavrik::macro
