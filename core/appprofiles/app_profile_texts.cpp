#include "appprofiles/app_profile_texts.h"

namespace tavrik::appprofiles {

std::optional<BiText> statusText(const SwitchStatus& status) {
    switch (status.state) {
        case SwitchState::None:
            return std::nullopt;
        case SwitchState::Active:
            return status.profile.choice == Choice::ByHand ? text::kActiveByHand
                                                           : text::kActiveAutomatic;
        case SwitchState::Switching:
            return text::kSwitching;
        case SwitchState::WaitingForEdits:
            return text::kWaiting;
        case SwitchState::Failed:
            return text::kFailed;
    }
    return std::nullopt;
}

}  // namespace tavrik::appprofiles
