#include "accessibility/painted_accessible.h"

#include <QCoreApplication>
#include <QWidget>
#include <algorithm>

namespace tavrik::app::a11y {

PaintedWidget::PaintedWidget(QWidget* widget, QAccessible::Role role,
                             std::unique_ptr<PaintedSource> source, bool widgetChildren)
    : QAccessibleWidget(widget, role),
      m_source(std::move(source)),
      m_widgetChildren(widgetChildren) {}

PaintedWidget::~PaintedWidget() {
    // At exit the accessibility cache deletes every interface itself.
    if (!QCoreApplication::instance()) return;
    for (const auto& [key, handed] : m_items) {
        if (QAccessible::accessibleInterface(handed.id)) {
            QAccessible::deleteAccessibleInterface(handed.id);
        }
    }
}

int PaintedWidget::paintedCount() const {
    return static_cast<int>(m_source->children(PaintedSource::kRoot).size());
}

int PaintedWidget::childCount() const {
    return paintedCount() + (m_widgetChildren ? QAccessibleWidget::childCount() : 0);
}

QAccessibleInterface* PaintedWidget::child(int index) const {
    const auto keys = m_source->children(PaintedSource::kRoot);
    const int n = static_cast<int>(keys.size());
    if (index < 0) return nullptr;
    if (index < n) return item(keys[static_cast<std::size_t>(index)]);
    return m_widgetChildren ? QAccessibleWidget::child(index - n) : nullptr;
}

int PaintedWidget::indexOfChild(const QAccessibleInterface* child) const {
    if (const auto* painted = dynamic_cast<const PaintedItem*>(child)) {
        const auto keys = m_source->children(PaintedSource::kRoot);
        const auto it = std::find(keys.begin(), keys.end(), painted->key());
        return it == keys.end() ? -1 : static_cast<int>(it - keys.begin());
    }
    if (!m_widgetChildren) return -1;
    const int i = QAccessibleWidget::indexOfChild(child);
    return i < 0 ? -1 : i + paintedCount();
}

QAccessibleInterface* PaintedWidget::childAt(int x, int y) const {
    const QPoint local = widget()->mapFromGlobal(QPoint(x, y));
    if (m_widgetChildren) {
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
            QAccessibleInterface* c = QAccessibleWidget::child(i);
            if (c && !c->state().invisible && c->rect().contains(x, y)) return c;
        }
    }
    for (int key : m_source->children(PaintedSource::kRoot)) {
        const PaintedInfo info = m_source->info(key);
        if (!info.state.invisible && info.rect.contains(local)) return item(key);
    }
    return nullptr;
}

QAccessibleInterface* PaintedWidget::focusChild() const {
    if (const auto key = m_source->focusKey()) return item(*key);
    return QAccessibleWidget::focusChild();
}

QString PaintedWidget::text(QAccessible::Text t) const {
    const PaintedInfo info = m_source->info(PaintedSource::kRoot);
    if (t == QAccessible::Name && !info.name.isEmpty()) return info.name;
    if (t == QAccessible::Description && !info.description.isEmpty()) return info.description;
    return QAccessibleWidget::text(t);
}

QAccessibleInterface* PaintedWidget::item(int key) const {
    if (key == PaintedSource::kRoot) return const_cast<PaintedWidget*>(this);
    if (!m_source->exists(key)) return nullptr;
    const auto it = m_items.find(key);
    if (it != m_items.end()) {
        if (QAccessibleInterface* iface = QAccessible::accessibleInterface(it->second.id)) {
            return iface;
        }
    }
    auto* iface = new PaintedItem(widget(), key);
    m_items[key] = Handed{QAccessible::registerAccessibleInterface(iface), m_source->info(key)};
    return iface;
}

void PaintedWidget::notifyFocus() const {
    const auto key = m_source->focusKey();
    if (!key) return;
    QAccessibleEvent event(item(*key), QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
}

void PaintedWidget::notifyChanged() const {
    // Only items already handed out can be known to a client; each is told what changed.
    for (auto& [key, handed] : m_items) {
        QAccessibleInterface* iface = QAccessible::accessibleInterface(handed.id);
        if (!iface) continue;
        const PaintedInfo now = m_source->info(key);
        const QAccessible::State before = handed.last.state;
        QAccessible::State changed;
        changed.checked = before.checked != now.state.checked;
        changed.expanded = before.expanded != now.state.expanded;
        changed.collapsed = before.collapsed != now.state.collapsed;
        changed.invisible = before.invisible != now.state.invisible;
        changed.disabled = before.disabled != now.state.disabled;
        changed.selected = before.selected != now.state.selected;
        changed.focused = before.focused != now.state.focused;
        const bool nameChanged =
            before.invisible != now.state.invisible || handed.last.name != now.name;
        const bool descriptionChanged = handed.last.description != now.description;
        handed.last = now;
        if (changed != QAccessible::State()) {
            QAccessibleStateChangeEvent event(iface, changed);
            QAccessible::updateAccessibility(&event);
        }
        if (nameChanged) {
            QAccessibleEvent event(iface, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
        if (descriptionChanged) {
            QAccessibleEvent event(iface, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&event);
        }
    }
}

PaintedWidget* PaintedItem::owner() const {
    if (!m_widget) return nullptr;
    return dynamic_cast<PaintedWidget*>(QAccessible::queryAccessibleInterface(m_widget));
}

PaintedInfo PaintedItem::info() const {
    const PaintedWidget* o = owner();
    return o ? o->source().info(m_key) : PaintedInfo{};
}

bool PaintedItem::isValid() const {
    const PaintedWidget* o = owner();
    return o && o->source().exists(m_key);
}

QWindow* PaintedItem::window() const {
    const PaintedWidget* o = owner();
    return o ? o->window() : nullptr;
}

QAccessibleInterface* PaintedItem::childAt(int x, int y) const {
    const PaintedWidget* o = owner();
    if (!o) return nullptr;
    const QPoint local = m_widget->mapFromGlobal(QPoint(x, y));
    for (int key : o->source().children(m_key)) {
        const PaintedInfo info = o->source().info(key);
        if (!info.state.invisible && info.rect.contains(local)) return o->item(key);
    }
    return nullptr;
}

QAccessibleInterface* PaintedItem::parent() const {
    const PaintedWidget* o = owner();
    return o ? o->item(o->source().parent(m_key)) : nullptr;
}

QAccessibleInterface* PaintedItem::child(int index) const {
    const PaintedWidget* o = owner();
    if (!o) return nullptr;
    const auto keys = o->source().children(m_key);
    if (index < 0 || index >= static_cast<int>(keys.size())) return nullptr;
    return o->item(keys[static_cast<std::size_t>(index)]);
}

int PaintedItem::childCount() const {
    const PaintedWidget* o = owner();
    return o ? static_cast<int>(o->source().children(m_key).size()) : 0;
}

int PaintedItem::indexOfChild(const QAccessibleInterface* child) const {
    const PaintedWidget* o = owner();
    const auto* painted = dynamic_cast<const PaintedItem*>(child);
    if (!o || !painted) return -1;
    const auto keys = o->source().children(m_key);
    const auto it = std::find(keys.begin(), keys.end(), painted->key());
    return it == keys.end() ? -1 : static_cast<int>(it - keys.begin());
}

QString PaintedItem::text(QAccessible::Text t) const {
    const PaintedInfo i = info();
    if (t == QAccessible::Name) return i.name;
    if (t == QAccessible::Description) return i.description;
    if (t == QAccessible::Value) return i.value;
    return {};
}

QRect PaintedItem::rect() const {
    const PaintedInfo i = info();
    if (!m_widget || i.rect.isNull()) return {};
    return QRect(m_widget->mapToGlobal(i.rect.topLeft()), i.rect.size());
}

QAccessible::Role PaintedItem::role() const {
    return info().role;
}

QAccessible::State PaintedItem::state() const {
    return info().state;
}

void* PaintedItem::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

QStringList PaintedItem::actionNames() const {
    return info().actions;
}

void PaintedItem::doAction(const QString& actionName) {
    PaintedWidget* o = owner();
    if (!o || !info().actions.contains(actionName)) return;
    o->source().doAction(m_key, actionName);
}

QAccessibleInterface* paintedItem(QWidget* widget, int key) {
    auto* w = dynamic_cast<PaintedWidget*>(QAccessible::queryAccessibleInterface(widget));
    return w ? w->item(key) : nullptr;
}

}  // namespace tavrik::app::a11y
