// The main window's keyboard use: Tab and Shift+Tab over the painted items and the sliders,
// arrows between keys and list rows, Enter and Space as a click on the focused item, Esc closing
// an open list or the help box, Ctrl+S as Save; the focus mark; and the painted items as
// assistive technology reads them.

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

#include "describe/key_function.h"
#include "settings/effects.h"
#include "settings/response_time.h"
#include "skin/focus_mark.h"
#include "windows/autostart.h"
#include "windows/main_window.h"

namespace tavrik::app {
namespace {

namespace acc = mainwindow::access;
using acc::ItemId;
using acc::Kind;

QRect focusRect(const model::Rect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

// The stop of the ring an item belongs to: a key stands for the keyboard picture.
ItemId stopOf(ItemId id) {
    return id.kind == Kind::Key ? ItemId{Kind::Keyboard, 0} : id;
}

}  // namespace

acc::Item MainWindow::describeItem(ItemId id) const {
    acc::Context context;
    context.view = &m_view.state();
    context.language = m_context.language;
    context.homePage = homePageShown().toStdString();
    context.startWithSession = id.kind == Kind::HelpRow && id.index == 3 && autostartEnabled();
    return m_model->withLock([&](const model::ConfigState& s) {
        context.image = &s.image;
        std::string function;
        if (id.kind == Kind::Key) {
            // One encoder for every key: a screen reader reads the keys often.
            static describe::KeyEncoder encoder;
            function = model::keyEnabled(s.image, id.index)
                           ? describe::describeKeyFunction(s.image, s.actions, *m_macros, id.index,
                                                           m_context.language, encoder)
                           : std::string("disabled");
        }
        return acc::describe(id, context, function);
    });
}

void MainWindow::activateItem(ItemId id) {
    const auto points = acc::activation(id, m_view.state(), currentEffect());
    for (const model::Point& p : points) release(QPoint(p.x, p.y));
}

void MainWindow::setFocusItem(ItemId id) {
    if (!hasFocus()) setFocus(Qt::OtherFocusReason);
    m_focusItem = id;
    m_focusVisible = true;
    update();
    emit focusItemChanged();
}

std::vector<MainWindow::FocusStop> MainWindow::focusRing() const {
    std::vector<FocusStop> ring;
    const auto order = acc::tabOrder(m_view.state(), currentEffect());
    const auto shown = [this](settings::SliderId id) {
        BitmapSlider* s = slider(id);
        return s && !s->isHidden() ? s : nullptr;
    };
    for (const ItemId& id : order) {
        // The lighting section's sliders lie below its controls, before the macro button.
        if (id == ItemId{Kind::Area, mainwindow::hit::kMacros}) {
            for (auto sid : {settings::SliderId::Brightness, settings::SliderId::Speed}) {
                if (BitmapSlider* s = shown(sid)) ring.push_back({std::nullopt, s});
            }
        }
        ring.push_back({id, nullptr});
        if (id == ItemId{Kind::Area, mainwindow::hit::kReportTitle}) {
            if (BitmapSlider* s = shown(settings::SliderId::ReportRate)) {
                ring.push_back({std::nullopt, s});
            }
        }
    }
    return ring;
}

void MainWindow::goToStop(const FocusStop& stop, bool forward) {
    if (stop.slider) {
        m_focusItem.reset();
        update();
        stop.slider->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        emit focusItemChanged();
        return;
    }
    ItemId id = *stop.item;
    if (id.kind == Kind::Keyboard) {
        const bool diy = mainwindow::diyViewActive(m_view.state(), currentEffect());
        const bool keep = m_focusItem && m_focusItem->kind == Kind::Key &&
                          !acc::activation(*m_focusItem, m_view.state(), currentEffect()).empty();
        id = keep ? *m_focusItem : ItemId{Kind::Key, acc::firstKey(diy)};
    }
    setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    setFocusItem(id);
}

bool MainWindow::focusNextPrevChild(bool next) {
    const auto ring = focusRing();
    if (ring.empty()) return false;
    const int n = static_cast<int>(ring.size());
    int current = -1;
    for (int i = 0; i < n; ++i) {
        const FocusStop& s = ring[static_cast<std::size_t>(i)];
        const bool here = s.slider ? s.slider->hasFocus()
                                   : (hasFocus() && m_focusItem && stopOf(*m_focusItem) == *s.item);
        if (here) current = i;
    }
    const int to = current < 0 ? (next ? 0 : n - 1) : (current + (next ? 1 : -1) + n) % n;
    goToStop(ring[static_cast<std::size_t>(to)], next);
    return true;
}

// Where the focus goes after a click on the focused item: into a list or the help box that it
// opened (on the current row), back to the opener when its overlay closed.
void MainWindow::activateFocusItem() {
    const ItemId id = *m_focusItem;
    activateItem(id);
    const mainwindow::ViewState& v = m_view.state();
    const auto checkedRow = [this](Kind kind, int count) {
        for (int i = 0; i < count; ++i) {
            if (describeItem({kind, i}).checked) return ItemId{kind, i};
        }
        return ItemId{kind, 0};
    };
    if (v.panel.effectListOpen) {
        setFocusItem(checkedRow(Kind::EffectRow, settings::kEffectCount));
    } else if (v.panel.responseListOpen) {
        setFocusItem(checkedRow(Kind::ResponseRow, settings::kResponseRowCount));
    } else if (v.helpOpen) {
        setFocusItem({Kind::HelpRow, 0});
    } else if (id.kind == Kind::EffectRow || id.kind == Kind::ResponseRow ||
               id.kind == Kind::HelpRow) {
        setFocusItem(acc::parent(id));
    } else if (isVisible()) {
        setFocusItem(id);
    }
}

bool MainWindow::focusKey(QKeyEvent* e) {
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (ctrl && e->key() == Qt::Key_S) {
        activateItem({Kind::Area, mainwindow::hit::kSave});
        return true;
    }
    if (ctrl || (e->modifiers() & Qt::AltModifier)) return false;
    const mainwindow::ViewState& v = m_view.state();
    switch (e->key()) {
        case Qt::Key_Escape:
            if (!v.anyOverlayOpen()) return false;  // Esc never closes the window
            release(QPoint(acc::kNeutralPoint.x, acc::kNeutralPoint.y));
            if (m_focusItem && m_focusItem->kind != Kind::Key && m_focusItem->kind != Kind::Area) {
                setFocusItem(acc::parent(*m_focusItem));
            }
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (!m_focusItem) return false;
            activateFocusItem();
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            break;
        default:
            return false;
    }
    if (!m_focusItem) {
        focusNextPrevChild(true);
        return true;
    }
    const int dx = e->key() == Qt::Key_Left ? -1 : e->key() == Qt::Key_Right ? 1 : 0;
    const int dy = e->key() == Qt::Key_Up ? -1 : e->key() == Qt::Key_Down ? 1 : 0;
    if (m_focusItem->kind == Kind::Key) {
        const bool diy = mainwindow::diyViewActive(v, currentEffect());
        if (const auto to = acc::keyInDirection(m_focusItem->index, dx, dy, diy)) {
            setFocusItem({Kind::Key, *to});
        }
        return true;
    }
    focusNextPrevChild(dx + dy > 0);
    return true;
}

void MainWindow::paintFocusMark(QPainter& p) {
    if (!m_focusItem || !m_focusVisible || !hasFocus()) return;
    const acc::Item item = describeItem(*m_focusItem);
    if (!item.shown || item.rect.empty()) return;
    skin::drawFocusMark(p, focusRect(item.rect));
}

}  // namespace tavrik::app
