#include "controls/skin_tree.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace tavrik::app {
namespace {

constexpr int kPictureGap = 2;
constexpr int kPictureTop = 4;

QImage buttonPicture(bool expanded) {
    QImage img(9, 9, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setPen(QColor(150, 152, 160));
    p.setBrush(QColor(48, 50, 56));
    p.drawRect(0, 0, 8, 8);
    p.setPen(Qt::white);
    p.drawLine(2, 4, 6, 4);
    if (!expanded) p.drawLine(4, 2, 4, 6);
    return img;
}

QImage backgroundPicture() {
    QImage img(32, 32, QImage::Format_RGB32);
    img.fill(QColor(28, 29, 33));
    QPainter p(&img);
    p.setPen(QColor(34, 35, 40));
    for (int i = 0; i < 32; i += 4) p.drawLine(0, i, i, 0);
    return img;
}

}  // namespace

SkinTree::SkinTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    viewport()->setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(this, &QTreeWidget::itemExpanded, this, [this] {
        if (m_mode == kPictureBackground) viewport()->update();
    });
}

void SkinTree::loadPictures() {
    setPictures(backgroundPicture(), buttonPicture(false), buttonPicture(true));
}

void SkinTree::setPictures(const QImage& background, const QImage& collapsed,
                           const QImage& expanded) {
    m_background = background;
    m_collapsed = collapsed;
    m_expanded = expanded;
    viewport()->update();
}

void SkinTree::setBackgroundMode(int mode) {
    m_mode = mode;
    viewport()->update();
}

void SkinTree::setGradient(QColor start, QColor end, bool vertical) {
    m_gradientStart = start;
    m_gradientEnd = end;
    m_gradientVertical = vertical;
    viewport()->update();
}

void SkinTree::setShowSelectionAlways(bool always) {
    m_showSelectionAlways = always;
    viewport()->update();
}

void SkinTree::paintEvent(QPaintEvent*) {
    const QRect client = viewport()->rect();
    // The painted area spans the whole scrolled content, so that pictures and gradients scroll.
    const QScrollBar* h = horizontalScrollBar();
    const QScrollBar* v = verticalScrollBar();
    const int width = std::max(client.width(), h->maximum() + h->pageStep() + 1);
    const int height = std::max(client.height(), v->maximum() + v->pageStep() + 1);
    const QRect area(-h->value(), 0, width, height);

    QPixmap buffer(client.size());
    QPainter p(&buffer);
    p.setFont(font());
    p.setBackgroundMode(Qt::TransparentMode);
    paintBackground(p, area);
    for (QModelIndex index = indexAt(QPoint(1, 1)); index.isValid(); index = indexBelow(index)) {
        if (visualRect(index).top() > client.bottom()) break;
        paintRow(p, index);
    }
    p.end();
    QPainter(viewport()).drawPixmap(0, 0, buffer);
}

void SkinTree::paintBackground(QPainter& p, const QRect& area) {
    const QRect client = viewport()->rect();
    switch (m_mode) {
        case kPictureBackground:
            p.fillRect(client, kSolidColour);
            if (m_background.isNull()) break;
            if (m_tile) {
                p.drawTiledPixmap(area, QPixmap::fromImage(m_background));
            } else {
                p.drawImage(area, m_background);
            }
            break;
        case kGradientBackground: {
            QLinearGradient g(area.topLeft(),
                              m_gradientVertical ? area.bottomLeft() : area.topRight());
            g.setColorAt(0, m_gradientStart);
            g.setColorAt(1, m_gradientEnd);
            p.fillRect(client, g);
            break;
        }
        default:
            p.fillRect(client, kSolidColour);
            break;
    }
}

QRect SkinTree::pictureRect(const QModelIndex& index) const {
    const QRect rect = visualRect(index).translated(kTextShift, 0);
    const QImage& picture = isExpanded(index) ? m_expanded : m_collapsed;
    return QRect(QPoint(rect.left() - picture.width() - kPictureGap, rect.top() + kPictureTop),
                 picture.size());
}

void SkinTree::mousePressEvent(QMouseEvent* event) {
    // The picture lies partly over the row's text, where the base class would only select.
    const QPoint at = event->position().toPoint();
    const QModelIndex index = indexAt(at);
    if (event->button() == Qt::LeftButton && index.isValid() && model()->hasChildren(index) &&
        pictureRect(index).adjusted(-2, -2, 2, 2).contains(at)) {
        setExpanded(index, !isExpanded(index));
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void SkinTree::paintRow(QPainter& p, const QModelIndex& index) {
    const QRect rect = visualRect(index).translated(kTextShift, 0);
    const bool selected = selectionModel() && selectionModel()->isSelected(index);
    if (selected && (hasFocus() || m_showSelectionAlways)) {
        p.fillRect(QRect(0, rect.top(), viewport()->width(), rect.height()), kHighlightColour);
    }
    if (model()->hasChildren(index)) {
        const QImage& picture = isExpanded(index) ? m_expanded : m_collapsed;
        if (!picture.isNull()) p.drawImage(pictureRect(index).topLeft(), picture);
    }
    p.setPen(Qt::white);
    p.drawText(rect.adjusted(0, 1, 0, -1), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
               index.data(Qt::DisplayRole).toString());
}

}  // namespace tavrik::app
