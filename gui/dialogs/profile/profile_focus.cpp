// The profile window's keyboard use: Tab and Shift+Tab over the list and the painted buttons
// (New, Delete, the close button), arrows between the buttons, Enter and Space as a click on the
// focused button; and the focus mark. Esc ends the window as the close button does.

#include <QKeyEvent>
#include <QPainter>
#include <array>

#include "controls/skin_list_box.h"
#include "dialogs/profile/profile_dialog.h"
#include "dialogs/profile/profile_dialog_layout.h"
#include "skin/focus_mark.h"

namespace tavrik::app {

QRect ProfileDialog::buttonRect(int button) {
    switch (button) {
        case kNewButton:
            return profilewindow::kNewHit;
        case kDeleteButton:
            return profilewindow::kDeleteHit;
        default:
            return profilewindow::kCloseHit;
    }
}

void ProfileDialog::clickButton(int button) {
    if (button == kCloseButton) {
        accept();
    } else {
        runCommand(button == kNewButton ? profiles::Command::New : profiles::Command::Delete);
    }
}

void ProfileDialog::setFocusButton(int button) {
    m_focusButton = button;
    setFocus(Qt::OtherFocusReason);
    update();
    emit focusButtonChanged();
}

bool ProfileDialog::focusNextPrevChild(bool next) {
    // The list, then the buttons as they are read: New, Delete, the close button.
    constexpr int kListStop = -1;
    const std::array ring{kListStop, int{kNewButton}, int{kDeleteButton}, int{kCloseButton}};
    const int n = static_cast<int>(ring.size());
    int current = -1;
    for (int i = 0; i < n; ++i) {
        const int s = ring[static_cast<std::size_t>(i)];
        if (s == kListStop ? focusWidget() == m_list
                           : (focusWidget() == this && m_focusButton == s)) {
            current = i;
        }
    }
    const int to = current < 0 ? (next ? 0 : n - 1) : (current + (next ? 1 : -1) + n) % n;
    const int stop = ring[static_cast<std::size_t>(to)];
    const Qt::FocusReason reason = next ? Qt::TabFocusReason : Qt::BacktabFocusReason;
    if (stop == kListStop) {
        m_list->setFocus(reason);
    } else {
        m_focusButton = stop;
        setFocus(reason);
    }
    update();
    emit focusButtonChanged();
    return true;
}

bool ProfileDialog::focusKey(QKeyEvent* event) {
    if (focusWidget() != this || !m_focusButton) return false;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            clickButton(*m_focusButton);
            return true;
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Right:
        case Qt::Key_Down:
            focusNextPrevChild(event->key() == Qt::Key_Right || event->key() == Qt::Key_Down);
            return true;
        default:
            return false;
    }
}

void ProfileDialog::paintFocusMark(QPainter& painter) {
    if (!m_focusButton || focusWidget() != this || !hasFocus()) return;
    skin::drawFocusMark(painter, buttonRect(*m_focusButton), 1);
}

}  // namespace tavrik::app
