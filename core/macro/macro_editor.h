#pragma once
// The macro dialog without its window: the working store, the editor buffers, recording and the
// editor commands. The window forwards clicks, list selections, in-place edits and hook keys
// to these operations and then shows macroNames(), eventLines(), the selections, the options,
// the loop text and recordButtonLabel(); commands that need a message box return the Notice to
// show. Everything runs on the window thread.
//
// Lines of the macro list are record indices of the working store (records in use are kept
// contiguous from 0). Every change of events ends with a commit into the selected record, and
// the event list is always rebuilt from the editor buffers, so lines and bytes never disagree.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "macro/clock.h"
#include "macro/macro_events.h"
#include "macro/macro_store.h"
#include "macro/macro_texts.h"

namespace tavrik::macro {

// The desktop key hook as the dialog uses it: install(window, mode 1) and removehook.
class HookControl {
public:
    virtual ~HookControl() = default;
    virtual bool install() = 0;  // true when reports have started
    virtual void remove() = 0;
};

enum class MouseButton : std::uint8_t {
    Left = kMouseLeft,
    Right = kMouseRight,
    Middle = kMouseMiddle
};
enum class MouseAction { Press, Release, Click };

class MacroEditor {
public:
    MacroEditor(HookControl& hook, const Clock& clock);

    // Opening: copies the store into the working store, resets the dialog state and selects
    // the first macro (if any).
    void open(const MacroStore& store);
    // OK: stops the hook, stores the loop count and copies the working store over `store`.
    void ok(MacroStore& store);
    // Cancel and destruction: stops the hook; the working store is simply dropped.
    void close() { stopHook(); }

    // What the window shows.
    const std::vector<std::string>& macroNames() const { return m_names; }
    int selectedMacro() const { return m_selectedMacro; }  // -1: none
    const std::vector<std::string>& eventLines() const { return m_lines; }
    int selectedEventLine() const { return m_selectedLine; }  // -1: none
    bool delayOption() const { return m_delayOption; }
    bool loopOption() const { return m_loopOption; }  // also: the loop edit is enabled
    const std::string& loopText() const { return m_loopText; }
    bool recording() const { return m_recording; }
    BiText recordButtonLabel() const;
    bool hookInstalled() const { return m_hookInstalled; }
    bool insertArmed() const { return m_insertArmed; }
    const MacroStore& workingStore() const { return m_store; }
    const EditorBuffers& buffers() const { return m_buffers; }

    // Macro list.
    void selectMacro(int line);
    // In-place rename. Refused (false, old name kept) when the name is empty, longer than 254
    // UTF-16 code units or the name of another macro.
    bool renameMacro(int line, std::string_view name);
    void newMacro();  // refuses a 33rd macro silently
    // Delete the selected macro, after the window asked text::kConfirmDelete and got OK.
    std::optional<Notice> deleteMacro();

    // Options.
    void flipDelayOption() { m_delayOption = !m_delayOption; }
    void flipLoopOption();
    // Text change of the loop edit: keeps up to three leading digits and stores their value as
    // the selected macro's loop count.
    void setLoopText(std::string_view text);

    // Event list.
    void selectEventLine(int line);
    void insertBefore();  // arm insertion of the next key before the selected event
    void insertAfter();   // ... after it
    void insertMouseButton(MouseButton button, MouseAction action);
    std::optional<Notice> insertDelay();  // 50 ms before the event after the selected one
    void deleteEvent();
    // The list box's in-place delay edit ended: `line` is a delay line, delay capped to 2..60000.
    void editDelay(int line, long delayMs);
    // An in-place edit starts in either list: stop the hook and the recording.
    void onEditStart();

    // Recording.
    std::optional<Notice> toggleRecording();
    // A key from the hook: its virtual-key code, and whether it was released.
    void onHookKey(int vk, bool released);
    // Appends one recorded event at offset to the buffers; returns the new offset. A key whose
    // usage is 0 and an event that would not fit in the 190 bytes are refused (offset unchanged).
    std::size_t InsertMacroToList(int vk, std::size_t offset, int delayMs, bool released);
    void stopHook();

private:
    void loadIntoEditor(int index);
    void commit();
    void refreshLines();
    void finishEdit(bool normalise);
    void clearEditor();
    int measureDelay();
    void restartMeasure();
    void armInsert(int line);
    void insertCapturedKey(int vk, bool released);
    std::optional<int> validLine(int line) const;
    bool isDelayLineAt(int line) const;
    int loopValue() const;
    MacroRecord* selectedRecord();

    HookControl& m_hook;
    const Clock& m_clock;
    MacroStore m_store{};
    EditorBuffers m_buffers;
    std::vector<std::string> m_names;
    std::vector<std::string> m_lines;
    int m_selectedMacro = -1;
    int m_selectedLine = -1;
    bool m_delayOption = false;
    bool m_loopOption = false;
    std::string m_loopText = "1";
    bool m_recording = false;
    bool m_hookInstalled = false;
    bool m_insertArmed = false;
    int m_insertLine = 0;
    std::size_t m_writeOffset = 0;
    std::string m_lastEventText;
    std::int64_t m_previousTicks = 0;
    std::int64_t m_frequency = 1;
};

}  // namespace tavrik::macro
