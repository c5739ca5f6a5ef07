#include "accessibility/accessibility.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QTimer>

#include "accessibility/painted_accessible.h"
#include "accessibility/window_sources.h"
#include "controls/bitmap_slider.h"
#include "controls/image_button.h"
#include "controls/in_place_edit.h"
#include "controls/skin_list_box.h"
#include "controls/skin_tree.h"
#include "dialogs/key_assign/key_assign_dialog.h"
#include "dialogs/macro_manager/macro_manager_dialog.h"
#include "dialogs/profile/profile_dialog.h"
#include "host/qt/qt_text.h"
#include "mainwindow/texts.h"
#include "windows/main_window.h"

namespace tavrik::app::a11y {
namespace {

using Action = QAccessibleActionInterface;

QRect viewportRect(const QAbstractItemView* view, QRect r) {
    return QRect(view->viewport()->mapTo(view, r.topLeft()), r.size());
}

// The slider: its value, one step up or down, named after its panel text.
class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(BitmapSlider* s) : QAccessibleWidget(s, QAccessible::Slider) {}

    BitmapSlider* slider() const { return static_cast<BitmapSlider*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && slider()->accessibleName().isEmpty()) {
            if (const auto* w = qobject_cast<const MainWindow*>(slider()->window())) {
                namespace mt = mainwindow::text;
                const Language lang = w->language();
                switch (static_cast<settings::SliderId>(slider()->controlId())) {
                    case settings::SliderId::Speed:
                        return qs(mt::kSpeed.in(lang));
                    case settings::SliderId::Brightness:
                        return qs(mt::kBrightness.in(lang));
                    case settings::SliderId::ReportRate:
                        return qs(mt::kReportRate.in(lang));
                }
            }
        }
        if (t == QAccessible::Value) return QString::number(slider()->value());
        return QAccessibleWidget::text(t);
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return slider()->value(); }
    void setCurrentValue(const QVariant& v) override { slider()->setValue(v.toInt()); }
    QVariant maximumValue() const override { return slider()->maximum(); }
    QVariant minimumValue() const override { return slider()->minimum(); }
    QVariant minimumStepSize() const override { return slider()->singleStep(); }

    QStringList actionNames() const override {
        return {increaseAction(), decreaseAction(), setFocusAction()};
    }
    void doAction(const QString& name) override {
        if (name == increaseAction())
            slider()->setValue(slider()->value() + slider()->singleStep());
        if (name == decreaseAction())
            slider()->setValue(slider()->value() - slider()->singleStep());
        if (name == setFocusAction()) slider()->setFocus(Qt::OtherFocusReason);
    }
};

// The image button: a push button, or a check box when it toggles.
class ImageButtonAccessible : public QAccessibleWidget {
public:
    explicit ImageButtonAccessible(ImageButton* b)
        : QAccessibleWidget(b, QAccessible::Button, pressAction()) {}

    ImageButton* button() const { return static_cast<ImageButton*>(widget()); }

    QAccessible::Role role() const override {
        return button()->isToggle() ? QAccessible::CheckBox : QAccessible::Button;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = role() == QAccessible::CheckBox;
        s.checked = button()->isChecked();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} << QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name != pressAction()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        QTimer::singleShot(0, button(), [b = QPointer<ImageButton>(button())] {
            if (b) b->click();
        });
    }
};

// The list box's rows as painted: the text as shown (mode 1 without its press and release
// marks), selected as drawn.
class ListBoxSource : public PaintedSource {
public:
    explicit ListBoxSource(SkinListBox* list) : m_list(list) {}

    std::vector<int> children(int key) const override {
        std::vector<int> out;
        if (key != kRoot || !m_list) return out;
        for (int i = 0; i < m_list->count(); ++i) out.push_back(i);
        return out;
    }
    int parent(int) const override { return kRoot; }
    bool exists(int key) const override {
        return key == kRoot || (m_list && key >= 0 && key < m_list->count());
    }
    PaintedInfo info(int key) const override {
        PaintedInfo info;
        if (!m_list || key == kRoot) return info;
        QListWidgetItem* item = m_list->item(key);
        if (!item) return info;
        QString shown = item->text();
        if (m_list->editMode() == SkinListBox::kDelayValue) SkinListBox::classifyLine(shown);
        info.name = shown;
        info.role = QAccessible::ListItem;
        info.rect = viewportRect(m_list, m_list->visualItemRect(item));
        QAccessible::State& s = info.state;
        s.selectable = s.focusable = true;
        s.selected = item->isSelected();
        s.focused = m_list->hasFocus() && m_list->currentRow() == key;
        s.invisible = m_list->isHidden();
        s.offscreen = !m_list->viewport()->rect().intersects(m_list->visualItemRect(item));
        info.actions << Action::pressAction() << QString::fromLatin1(kEditAction);
        return info;
    }
    void doAction(int key, const QString& action) override {
        if (!m_list) return;
        if (action == Action::pressAction()) {
            m_list->setCurrentRow(key);
            m_list->scrollToItem(m_list->item(key));
        } else if (action == QLatin1String(kEditAction)) {
            QTimer::singleShot(0, m_list, [l = m_list, key] {
                if (l && l->currentRow() == key) l->beginEdit(key);
            });
        }
    }
    std::optional<int> focusKey() const override {
        if (!m_list || !m_list->hasFocus() || m_list->currentRow() < 0) return std::nullopt;
        return m_list->currentRow();
    }

private:
    QPointer<SkinListBox> m_list;
};

// The tree's shown rows in their order, as the tree view counts them in its own accessibility
// events (one column, header hidden): a row inside a folded group is no item until the group is
// opened. Items are keyed by their place in a walk of the whole tree (it is filled once); a
// row's description names its group.
class TreeSource : public PaintedSource {
public:
    explicit TreeSource(SkinTree* tree) : m_tree(tree) {}

    std::vector<int> children(int key) const override {
        std::vector<int> out;
        if (key != kRoot) return out;
        const auto items = walk();
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (shown(items[i])) out.push_back(static_cast<int>(i));
        }
        return out;
    }
    int parent(int) const override { return kRoot; }
    bool exists(int key) const override {
        if (key == kRoot) return true;
        const auto items = walk();
        return key >= 0 && key < static_cast<int>(items.size()) &&
               shown(items[static_cast<qsizetype>(key)]);
    }
    PaintedInfo info(int key) const override {
        PaintedInfo info;
        const auto items = walk();
        QTreeWidgetItem* item = items.value(static_cast<qsizetype>(key));
        if (!m_tree || !item) return info;
        info.name = item->text(0);
        if (item->parent()) info.description = item->parent()->text(0);
        info.role = QAccessible::TreeItem;
        info.rect = viewportRect(m_tree, m_tree->visualItemRect(item));
        QAccessible::State& s = info.state;
        s.invisible = m_tree->isHidden();
        s.offscreen = !m_tree->viewport()->rect().intersects(m_tree->visualItemRect(item));
        s.selectable = s.focusable = true;
        s.selected = item->isSelected();
        s.focused = m_tree->hasFocus() && m_tree->currentItem() == item;
        info.actions << Action::pressAction();
        if (item->childCount() > 0) {
            s.expandable = true;
            s.expanded = item->isExpanded();
            s.collapsed = !item->isExpanded();
            info.actions << Action::toggleAction();
        }
        return info;
    }
    void doAction(int key, const QString& action) override {
        QTreeWidgetItem* item = walk().value(static_cast<qsizetype>(key));
        if (!m_tree || !item) return;
        if (action == Action::pressAction()) {
            m_tree->setCurrentItem(item);
            m_tree->scrollToItem(item);
        } else if (action == Action::toggleAction()) {
            item->setExpanded(!item->isExpanded());
        }
    }
    std::optional<int> focusKey() const override {
        if (!m_tree || !m_tree->hasFocus() || !m_tree->currentItem()) return std::nullopt;
        const auto i = walk().indexOf(m_tree->currentItem());
        return i < 0 ? std::nullopt : std::optional<int>(static_cast<int>(i));
    }

private:
    static bool shown(const QTreeWidgetItem* item) {
        for (auto* p = item->parent(); p; p = p->parent()) {
            if (!p->isExpanded()) return false;
        }
        return true;
    }
    QList<QTreeWidgetItem*> walk() const {
        QList<QTreeWidgetItem*> out;
        if (!m_tree) return out;
        for (QTreeWidgetItemIterator it(m_tree); *it; ++it) out.push_back(*it);
        return out;
    }

    QPointer<SkinTree> m_tree;
};

template <typename T>
T* as(const QString& className, QObject* object) {
    if (className != QLatin1String(T::staticMetaObject.className())) return nullptr;
    return qobject_cast<T*>(object);
}

}  // namespace

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    if (auto* w = as<MainWindow>(className, object)) return mainWindowInterface(w);
    if (auto* d = as<KeyAssignDialog>(className, object)) return keyAssignInterface(d);
    if (auto* d = as<MacroManagerDialog>(className, object)) return macroManagerInterface(d);
    if (auto* d = as<ProfileDialog>(className, object)) return profileInterface(d);
    if (auto* s = as<BitmapSlider>(className, object)) return new SliderAccessible(s);
    if (auto* b = as<ImageButton>(className, object)) return new ImageButtonAccessible(b);
    if (auto* l = as<SkinListBox>(className, object)) {
        return new PaintedWidget(l, QAccessible::List, std::make_unique<ListBoxSource>(l), false);
    }
    if (auto* t = as<SkinTree>(className, object)) {
        return new PaintedWidget(t, QAccessible::Tree, std::make_unique<TreeSource>(t), false);
    }
    // The in-place edit is a line edit as Qt describes it; its name is set where it opens.
    return nullptr;
}

void installAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(&accessibleFactory);
}

}  // namespace tavrik::app::a11y
