// The macro manager's keyboard use: Tab and Shift+Tab over the lists, the painted buttons and
// the loop edit in reading order, arrows between painted buttons, Enter and Space as a click on
// the focused button, Esc there as "Cancel". While a recording runs every key is the
// recording's. The focus mark on the focused button.

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "controls/skin_list_box.h"
#include "dialogs/macro_manager/macro_manager_dialog.h"
#include "dialogs/macro_manager/macro_manager_layout.h"
#include "skin/focus_mark.h"

namespace tavrik::app {

using namespace macromanager;

namespace {

struct MacroFocusStop {
    int button = -1;
    QWidget* widget = nullptr;
};

}  // namespace

void MacroManagerDialog::setFocusButton(int button) {
    m_focusButton = button;
    setFocus(Qt::OtherFocusReason);
    update();
    emit focusButtonChanged();
}

bool MacroManagerDialog::focusNextPrevChild(bool next) {
    std::vector<MacroFocusStop> ring;
    for (QWidget* w : {static_cast<QWidget*>(m_macroList), static_cast<QWidget*>(m_eventList)}) {
        ring.push_back({-1, w});
    }
    for (int b : {kRecord, kDelayOption, kLoopOption}) ring.push_back({b, nullptr});
    ring.push_back({-1, m_loopEdit});
    for (int b : {kNew, kDelete, kOk, kCancel}) ring.push_back({b, nullptr});
    std::erase_if(ring, [](const MacroFocusStop& s) {
        return s.widget && (s.widget->isHidden() || !s.widget->isEnabled());
    });
    const QWidget* focused = focusWidget();
    const int n = static_cast<int>(ring.size());
    int current = -1;
    for (int i = 0; i < n; ++i) {
        const MacroFocusStop& s = ring[static_cast<std::size_t>(i)];
        if (s.widget ? s.widget == focused : (focused == this && m_focusButton == s.button)) {
            current = i;
        }
    }
    const int to = current < 0 ? (next ? 0 : n - 1) : (current + (next ? 1 : -1) + n) % n;
    const MacroFocusStop& stop = ring[static_cast<std::size_t>(to)];
    const Qt::FocusReason reason = next ? Qt::TabFocusReason : Qt::BacktabFocusReason;
    if (stop.widget) {
        stop.widget->setFocus(reason);
    } else {
        m_focusButton = stop.button;
        setFocus(reason);
    }
    update();
    emit focusButtonChanged();
    return true;
}

bool MacroManagerDialog::focusKey(QKeyEvent* event) {
    if (m_editor.recording() || focusWidget() != this || !m_focusButton) return false;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    switch (event->key()) {
        case Qt::Key_Escape:
            pressButton(kCancel);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            pressButton(*m_focusButton);
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

void MacroManagerDialog::paintFocusMark(QPainter& painter) {
    if (!m_focusButton || focusWidget() != this || !hasFocus()) return;
    skin::drawFocusMark(painter, kButtons[static_cast<std::size_t>(*m_focusButton)].rect, 1);
}

}  // namespace tavrik::app
