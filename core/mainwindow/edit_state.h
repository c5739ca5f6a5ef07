#pragma once
// Whether the host copy holds edits the keyboard has not received, and the short confirmation
// after a Save reached the keyboard: what the Save button and the status line show.

#include <chrono>
#include <optional>
#include <string_view>

#include "common/language.h"
#include "model/config_state.h"

namespace tavrik::mainwindow {

// True while the image or the key actions differ from what was last read from or written to
// the keyboard.
bool pendingEdits(const model::ConfigState& s);

enum class EditMark {
    None,     // nothing to say
    Pending,  // edits not yet sent
    Saved,    // a Save has just reached the keyboard
};

// Remembers when a Save last reached the keyboard; the confirmation lasts kShown and gives way
// at once to the pending mark when something is edited again. Time is passed in.
class SaveConfirmation {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kShown{4};

    // A Save ended; only one that reached the keyboard is confirmed, a failed one forgets an
    // earlier confirmation.
    void saveFinished(bool reachedKeyboard, Clock::time_point now);
    EditMark mark(bool pending, Clock::time_point now) const;
    // When the confirmation ends, while one is shown.
    std::optional<Clock::time_point> endsAt() const { return m_endsAt; }

private:
    std::optional<Clock::time_point> m_endsAt;
};

inline constexpr BiText kStatusPending{"Not yet saved to the keyboard", "尚未保存到键盘"};
inline constexpr BiText kStatusSaved{"Saved to the keyboard", "已保存到键盘"};
// Put after the Save button's caption while edits are pending.
inline constexpr std::string_view kPendingSaveMark = " *";

// The status line's text for mark, empty for none.
std::string_view editMarkText(EditMark mark, Language lang);

}  // namespace tavrik::mainwindow
