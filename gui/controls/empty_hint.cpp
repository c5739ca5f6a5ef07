#include "controls/empty_hint.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QPainter>

#include "skin/app_style.h"
#include "skin/text_style.h"

namespace tavrik::app {

EmptyHint::EmptyHint(QAbstractItemView* view, const QString& text)
    : QWidget(view->viewport()), m_view(view), m_text(text), m_colour(skin::colour::kMutedText) {
    setObjectName(QStringLiteral("emptyHint"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(view->viewport()->rect());
    view->viewport()->installEventFilter(this);
    // Rows come and go through the model.
    if (QAbstractItemModel* model = view->model()) {
        for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
            connect(model, signal, this, &EmptyHint::follow);
        connect(model, &QAbstractItemModel::modelReset, this, &EmptyHint::follow);
        connect(model, &QAbstractItemModel::layoutChanged, this, &EmptyHint::follow);
    }
    follow();
}

void EmptyHint::setText(const QString& text) {
    if (text == m_text) return;
    m_text = text;
    follow();
    update();
}

void EmptyHint::setColour(const QColor& colour) {
    m_colour = colour;
    update();
}

QRect EmptyHint::textRoom(QSize viewSize) {
    return QRect(QPoint(0, 0), viewSize).adjusted(kMargin, kMargin, -kMargin, -kMargin);
}

void EmptyHint::follow() {
    const QAbstractItemModel* model = m_view->model();
    const bool empty = !model || model->rowCount(m_view->rootIndex()) == 0;
    setVisible(empty && !m_text.isEmpty());
}

bool EmptyHint::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view->viewport() && event->type() == QEvent::Resize) {
        setGeometry(m_view->viewport()->rect());
    }
    return QWidget::eventFilter(watched, event);
}

void EmptyHint::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(skin::textFont(kTextHeight));
    p.setPen(m_colour);
    p.drawText(textRoom(size()), kTextFlags, m_text);
}

}  // namespace tavrik::app
