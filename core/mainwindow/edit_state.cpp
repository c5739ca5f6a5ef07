#include "mainwindow/edit_state.h"

namespace tavrik::mainwindow {

bool pendingEdits(const model::ConfigState& s) {
    return s.image != s.syncedImage || s.actions != s.syncedActions;
}

void SaveConfirmation::saveFinished(bool reachedKeyboard, Clock::time_point now) {
    if (reachedKeyboard) {
        m_endsAt = now + kShown;
    } else {
        m_endsAt.reset();
    }
}

EditMark SaveConfirmation::mark(bool pending, Clock::time_point now) const {
    if (pending) return EditMark::Pending;
    if (m_endsAt && now < *m_endsAt) return EditMark::Saved;
    return EditMark::None;
}

std::string_view editMarkText(EditMark mark, Language lang) {
    switch (mark) {
        case EditMark::Pending:
            return kStatusPending.in(lang);
        case EditMark::Saved:
            return kStatusSaved.in(lang);
        case EditMark::None:
            break;
    }
    return {};
}

}  // namespace tavrik::mainwindow
