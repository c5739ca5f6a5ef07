// The key assignment dialog's keyboard use: Tab and Shift+Tab over the tabs, the shown child
// controls and the painted buttons, arrows between painted spots, Enter and Space as a click on
// the focused spot, Esc as "Cancel"; and the focus mark. Keys typed into a capture edit stay the
// capture's, except Tab and Shift+Tab, which leave it.

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>

#include "controls/skin_tree.h"
#include "dialogs/key_assign/key_assign_dialog.h"
#include "skin/focus_mark.h"

namespace tavrik::app {
namespace {

namespace ka = keyassign;

QRect spotQRect(const model::Rect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

}  // namespace

bool KeyAssignDialog::isCaptureEdit(const QObject* o) const {
    const QObject* single = m_single;
    const QObject* combine = m_combine;
    return o && (o == single || o == combine);
}

std::vector<int> KeyAssignDialog::paintedSpots(ka::Tab tab) {
    namespace b = ka::button;
    std::vector<int> spots{b::kTabSingleCombine, b::kTabMacro, b::kTabBasic, b::kTabAdvance};
    if (tab == ka::Tab::Advance) {
        for (int row = 0; row < 4; ++row) {
            for (auto part : {ka::RegionPart::Indicator, ka::RegionPart::Browse}) {
                spots.push_back(kRegionSpot + ka::Region{row, part}.index());
            }
        }
    }
    for (int b : {b::kDisable, b::kDefault, b::kCancel, b::kSave, b::kClose}) spots.push_back(b);
    return spots;
}

QRect KeyAssignDialog::spotRect(int spot) {
    if (spot >= kRegionSpot) {
        const int index = spot - kRegionSpot;
        return spotQRect(ka::regionRect(index / 4, static_cast<ka::RegionPart>(index % 4)));
    }
    return spotQRect(ka::keyMapButtons()[static_cast<std::size_t>(spot)].rect);
}

void KeyAssignDialog::clickSpot(int spot) {
    handleClick(spotRect(spot).center());
}

void KeyAssignDialog::setFocusSpot(int spot) {
    m_focusSpot = spot;
    setFocus(Qt::OtherFocusReason);
    update();
    emit focusSpotChanged();
}

std::vector<KeyAssignDialog::FocusStop> KeyAssignDialog::focusRing() const {
    std::vector<FocusStop> ring;
    for (int spot : paintedSpots(m_state.view().tab)) {
        ring.push_back({spot, nullptr});
        if (spot != ka::button::kTabAdvance) continue;
        // The shown tab's controls follow the tabs.
        for (QWidget* w : std::initializer_list<QWidget*>{m_single, m_combine, m_macros, m_tree}) {
            if (!w->isHidden()) ring.push_back({std::nullopt, w});
        }
    }
    return ring;
}

bool KeyAssignDialog::focusNextPrevChild(bool next) {
    const auto ring = focusRing();
    const int n = static_cast<int>(ring.size());
    const QWidget* focused = focusWidget();
    int current = -1;
    for (int i = 0; i < n; ++i) {
        const FocusStop& s = ring[static_cast<std::size_t>(i)];
        if (s.widget ? s.widget == focused : (focused == this && m_focusSpot == s.spot)) {
            current = i;
        }
    }
    const int to = current < 0 ? (next ? 0 : n - 1) : (current + (next ? 1 : -1) + n) % n;
    const FocusStop& stop = ring[static_cast<std::size_t>(to)];
    const Qt::FocusReason reason = next ? Qt::TabFocusReason : Qt::BacktabFocusReason;
    if (stop.widget) {
        stop.widget->setFocus(reason);
        update();
        emit focusSpotChanged();
        return true;
    }
    m_focusSpot = stop.spot;
    setFocus(reason);
    update();
    emit focusSpotChanged();
    return true;
}

bool KeyAssignDialog::focusKey(QKeyEvent* event) {
    // Keys in a capture edit belong to the capture (Tab leaves it before this is reached).
    if (isCaptureEdit(focusWidget())) return false;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    switch (event->key()) {
        case Qt::Key_Escape:
            clickSpot(ka::button::kCancel);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (focusWidget() != this || !m_focusSpot) return false;
            clickSpot(*m_focusSpot);
            return true;
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Right:
        case Qt::Key_Down:
            if (focusWidget() != this) return false;
            focusNextPrevChild(event->key() == Qt::Key_Right || event->key() == Qt::Key_Down);
            return true;
        default:
            return false;
    }
}

void KeyAssignDialog::paintFocusMark(QPainter& painter) {
    const QWidget* focused = focusWidget();
    if (!focused) return;
    if (focused == this) {
        if (!m_focusSpot) return;
        const auto spots = paintedSpots(m_state.view().tab);
        if (std::find(spots.begin(), spots.end(), *m_focusSpot) == spots.end()) return;
        skin::drawFocusMark(painter, spotRect(*m_focusSpot), 1);
        return;
    }
    if (focused->isVisible()) skin::drawFocusMark(painter, focused->geometry(), 1);
}

}  // namespace tavrik::app
