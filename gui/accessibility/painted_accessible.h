#pragma once
// Accessible interfaces for what a skinned widget paints itself: a PaintedSource tells which
// painted items the widget has (a tree of integer keys), how each stands and what its actions
// do; PaintedWidget is the widget's interface and offers those items as its children, one
// PaintedItem each. Items are created on first use and keep their identity for the widget's
// life, so a screen reader may hold on to them; an item that is not drawn now says so in its
// state instead of disappearing.

#include <QAccessibleWidget>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>

namespace tavrik::app::a11y {

struct PaintedInfo {
    QString name;
    QString description;
    QString value;  // the shown value (a drop-down's choice); may be empty
    QAccessible::Role role = QAccessible::NoRole;
    QAccessible::State state;
    QRect rect;           // widget coordinates; null for an item without a place
    QStringList actions;  // the first is the default action
};

class PaintedSource {
public:
    static constexpr int kRoot = -1;  // the widget itself

    virtual ~PaintedSource() = default;
    virtual std::vector<int> children(int key) const = 0;
    virtual int parent(int key) const = 0;
    virtual bool exists(int key) const = 0;
    virtual PaintedInfo info(int key) const = 0;
    // Runs an action of the item; actions that may open a modal dialog are queued.
    virtual void doAction(int key, const QString& action) = 0;
    // The painted item with the keyboard focus, if any.
    virtual std::optional<int> focusKey() const { return std::nullopt; }
};

class PaintedWidget : public QAccessibleWidget {
public:
    // With widgetChildren, the widget's own accessible child widgets follow the painted items.
    PaintedWidget(QWidget* widget, QAccessible::Role role, std::unique_ptr<PaintedSource> source,
                  bool widgetChildren);
    ~PaintedWidget() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text t) const override;

    PaintedSource& source() const { return *m_source; }
    // The interface of a painted item (the widget's own for kRoot); null for an unknown key.
    QAccessibleInterface* item(int key) const;
    // Tells assistive technology that the focus moved to the source's focus item.
    void notifyFocus() const;
    // Tells assistive technology that the items may have changed their states and names.
    void notifyChanged() const;

private:
    int paintedCount() const;

    std::unique_ptr<PaintedSource> m_source;
    bool m_widgetChildren;
    struct Handed {
        QAccessible::Id id = 0;
        PaintedInfo last;  // as last told, to tell only what changed
    };
    mutable std::map<int, Handed> m_items;
};

class PaintedItem : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PaintedItem(QWidget* widget, int key) : m_widget(widget), m_key(key) {}

    int key() const { return m_key; }
    PaintedInfo info() const;

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    PaintedWidget* owner() const;

    QPointer<QWidget> m_widget;
    int m_key;
};

// The interface of the painted item `key` of a widget whose interface is a PaintedWidget.
QAccessibleInterface* paintedItem(QWidget* widget, int key);

}  // namespace tavrik::app::a11y
