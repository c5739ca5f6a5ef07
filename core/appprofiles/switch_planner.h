#pragma once
// When the keyboard switches to the profile of the application in front. The application must
// have stayed in front for kSettleTime (alt-tabbing through windows costs no Saves); a switch
// never goes over edits not yet saved (it waits until they are saved or cancelled); a switch
// that failed is tried again when the keyboard arrives. A profile chosen by hand holds until
// the application in front changes. Time is given by the caller, so tests control it.

#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "appprofiles/app_rules.h"

namespace tavrik::appprofiles {

using TimePoint = std::chrono::steady_clock::time_point;
inline constexpr std::chrono::milliseconds kSettleTime{300};

enum class Choice { Automatic, ByHand };

struct ActiveProfile {
    std::string name;
    Choice choice = Choice::Automatic;
    bool operator==(const ActiveProfile&) const = default;
};

// What the window knows when it asks what to do.
struct Facts {
    const AppRules& rules;
    std::span<const std::string> profiles;  // the profiles that exist
    bool unsavedEdits = false;              // the host copy holds edits no Save has sent
    bool keyboardConnected = false;
};

// What the status line says about profiles.
enum class SwitchState {
    None,             // no profile known to be on the keyboard, nothing to do
    Active,           // `profile` is on the keyboard
    Switching,        // `profile` is being loaded and saved
    WaitingForEdits,  // `profile` waits until the edits are saved or cancelled
    Failed,           // switching to `profile` failed; tried again when the keyboard arrives
};
struct SwitchStatus {
    SwitchState state = SwitchState::None;
    ActiveProfile profile;  // the one the state is about
    bool operator==(const SwitchStatus&) const = default;
};

class SwitchPlanner {
public:
    // The application in front changed (its ids, most specific first; empty for none).
    void focusChanged(std::vector<std::string> ids, TimePoint now);
    // The user picked a profile (the tray menu): switched to as soon as nothing stands in the
    // way, and held until the application in front changes.
    void chooseByHand(std::string profile);
    // When the application in front will have settled, while it has not yet.
    std::optional<TimePoint> settlesAt(TimePoint now) const;

    // The profile to load and save now, or none. The caller reports the outcome through
    // switchEnded() and asks again whenever a fact may have changed (edits saved or cancelled,
    // rules or profiles changed, a job ended, the settle time passed).
    std::optional<ActiveProfile> decide(const Facts& facts, TimePoint now);
    // The switch decide() asked for ended: on the keyboard, or failed.
    void switchEnded(bool ok);
    // The keyboard arrived: a failed switch may be tried again.
    void keyboardArrived();
    // A profile was renamed or deleted: the profile on the keyboard keeps or loses its name.
    void profileRenamed(const std::string& from, const std::string& to);
    void profileRemoved(const std::string& name);

    const std::optional<ActiveProfile>& active() const { return m_active; }
    SwitchStatus status() const;

private:
    std::optional<ActiveProfile> wanted(const Facts& facts, TimePoint now) const;

    std::vector<std::string> m_ids;
    bool m_focusKnown = false;
    TimePoint m_focusAt{};
    std::optional<std::string> m_byHand;
    std::optional<ActiveProfile> m_active;
    std::optional<ActiveProfile> m_running;
    std::optional<ActiveProfile> m_waiting;
    std::optional<ActiveProfile> m_failed;
    bool m_retry = false;  // the keyboard arrived since the failure
};

}  // namespace tavrik::appprofiles
