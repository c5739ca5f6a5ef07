#pragma once
// EmptyHint: a hint written over the empty area of an item view (list or tree) while the view has
// no rows, centred and word-wrapped, in the skin's muted text colour. It follows the view's model,
// so that it shows exactly while the view is empty and has a text; it never takes a mouse event.

#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>

class QAbstractItemView;

namespace tavrik::app {

class EmptyHint : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTextHeight = 12;
    static constexpr int kMargin = 4;  // free pixels between the text and the view's edges

    // A hint over `view`'s viewport (it becomes the viewport's child).
    EmptyHint(QAbstractItemView* view, const QString& text = {});

    // An empty text shows no hint.
    void setText(const QString& text);
    QString text() const { return m_text; }
    // The muted text colour by default; a view on a lighter field needs a lighter one.
    void setColour(const QColor& colour);
    QColor colour() const { return m_colour; }
    // The hint is up: the view has no rows and the text is not empty.
    bool showing() const { return !isHidden(); }

    // Where the text is written within a view of `viewSize`, and the flags it is written with.
    static QRect textRoom(QSize viewSize);
    static constexpr int kTextFlags = Qt::AlignCenter | Qt::TextWordWrap;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow();

    QAbstractItemView* m_view;
    QString m_text;
    QColor m_colour;
};

}  // namespace tavrik::app
