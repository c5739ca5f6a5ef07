#include "controls/skin_list_box.h"

#include <QPainter>
#include <QPainterPath>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QWheelEvent>
#include <algorithm>

#include "controls/in_place_edit.h"
#include "host/qt/log_categories.h"

namespace tavrik::app {
namespace {

constexpr int kIconInset = 20;  // an icon's left edge lies this far before the row's right end
const QPoint kPanelOrigin(7, 22);

// Gives every row the list's measured height, so that Qt's geometry and the painting agree.
class RowDelegate : public QStyledItemDelegate {
public:
    explicit RowDelegate(SkinListBox* list) : QStyledItemDelegate(list), m_list(list) {}
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {m_list->viewport()->width(), m_list->itemHeight()};
    }

private:
    SkinListBox* m_list;
};

QImage arrowIcon(bool down) {
    QImage img(10, 14, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 30, 30));
    QPainterPath path;
    if (down) {
        path.addRect(3, 0, 4, 7);
        path.moveTo(0, 6);
        path.lineTo(10, 6);
        path.lineTo(5, 14);
    } else {
        path.addRect(3, 7, 4, 7);
        path.moveTo(0, 8);
        path.lineTo(10, 8);
        path.lineTo(5, 0);
    }
    path.closeSubpath();
    path.setFillRule(Qt::WindingFill);
    p.drawPath(path);
    return img;
}

QImage clockIcon() {
    QImage img(14, 14, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 255, 255), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(1, 1, 12, 12));
    p.drawLine(QPointF(7, 7), QPointF(7, 3.5));
    p.drawLine(QPointF(7, 7), QPointF(9.5, 8.5));
    return img;
}

int clampDelay(const QString& digits) {
    if (digits.isEmpty()) return SkinListBox::kMinDelayMs;
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok);
    // Digits only: a failed conversion is an overflow, i.e. far above the maximum.
    if (!ok || value > SkinListBox::kMaxDelayMs) return SkinListBox::kMaxDelayMs;
    return std::max<int>(SkinListBox::kMinDelayMs, static_cast<int>(value));
}

}  // namespace

SkinListBox::SkinListBox(QWidget* parent)
    : QListWidget(parent),
      m_textColour(palette().color(QPalette::WindowText)),
      m_selectedTextColour(palette().color(QPalette::HighlightedText)),
      m_pressIcon(arrowIcon(true)),
      m_releaseIcon(arrowIcon(false)),
      m_delayIcon(clockIcon()) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(true);
    setItemDelegate(new RowDelegate(this));
    viewport()->setAutoFillBackground(false);
    connect(this, &QListWidget::itemSelectionChanged, viewport(), qOverload<>(&QWidget::update));
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this] {
        endEdit(true);
        viewport()->update();
    });
}

SkinListBox::~SkinListBox() {
    // The edit is deleted with the viewport, after this object's own members are gone.
    if (m_edit) m_edit->disconnect(this);
}

void SkinListBox::configure(int fontHeight, const QString& faceName, QColor textColour,
                            QColor selectedTextColour, bool shadowOn, QColor shadowColour,
                            int shadowOffset) {
    QFont f(faceName);
    f.setPixelSize(fontHeight);
    f.setWeight(QFont::Bold);
    setFont(f);
    m_textColour = textColour;
    m_selectedTextColour = selectedTextColour;
    m_shadowOn = shadowOn;
    m_shadowColour = shadowColour;
    m_shadowOffset = shadowOffset;
    applyItemHeight();
}

void SkinListBox::applyItemHeight() {
    // Uniform sizes are cached from the first row: make Qt measure again.
    setUniformItemSizes(false);
    setUniformItemSizes(true);
    doItemsLayout();
    viewport()->update();
}

int SkinListBox::addString(const QString& text, qulonglong itemValue) {
    return insertString(-1, text, itemValue);
}

int SkinListBox::insertString(int index, const QString& text, qulonglong itemValue) {
    auto* item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, QVariant::fromValue(itemValue));
    if (index < 0 || index > count()) index = count();
    insertItem(index, item);
    viewport()->update();
    return row(item);
}

qulonglong SkinListBox::itemData(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->data(Qt::UserRole).toULongLong() : 0;
}

int SkinListBox::itemHeight() const {
    return QFontMetrics(font()).boundingRect(QStringLiteral("XYZ")).height() + 2;
}

QRect SkinListBox::itemRect(int index) const {
    const QModelIndex first = indexAt(QPoint(0, 0));
    const int top = first.isValid() ? first.row() : 0;
    const int h = itemHeight();
    return {0, (index - top) * h, viewport()->width(), h};
}

SkinListBox::LineMark SkinListBox::classifyLine(QString& text) {
    if (text.contains(QLatin1String("dn"))) {
        text.remove(QLatin1String("dn"));
        return LineMark::Press;
    }
    if (text.contains(QLatin1String("up"))) {
        text.remove(QLatin1String("up"));
        return LineMark::Release;
    }
    if (text.contains(QLatin1String("ms"))) return LineMark::Delay;
    return LineMark::None;
}

QImage SkinListBox::panelPicture(qreal ratio) {
    // Drawn at the screen's pixel ratio, so that the panel stays crisp on scaled screens.
    QImage img(QSize(127, 305) * ratio, QImage::Format_RGB32);
    img.setDevicePixelRatio(ratio);
    img.fill(QColor(24, 25, 29));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 0, 305);
    body.setColorAt(0, QColor(34, 35, 40));
    body.setColorAt(1, QColor(24, 25, 29));
    p.setPen(QPen(QColor(86, 90, 101), 1.5));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(1.5, 1.5, 124, 302), 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 42, 48));
    p.drawRoundedRect(QRectF(3, 3, 121, 17), 6, 6);
    p.drawRect(QRectF(3, 12, 121, 8));
    return img;
}

void SkinListBox::invalidateBackground() {
    m_captured = false;
    viewport()->update();
}

void SkinListBox::captureBackground() {
    const QSize size = viewport()->size();
    const qreal ratio = devicePixelRatioF();
    m_snapshot = QPixmap(size * ratio);
    m_snapshot.setDevicePixelRatio(ratio);
    QWidget* parent = parentWidget();
    if (m_editMode == kNotifyRename && parent) {
        m_snapshot.fill(parent->palette().color(QPalette::Window));
        const QRect underList(viewport()->mapTo(parent, QPoint(0, 0)), size);
        // Only the parent's own pixels: its children (this list among them) are left out.
        parent->render(&m_snapshot, QPoint(0, 0), QRegion(underList),
                       QWidget::DrawWindowBackground);
    } else {
        const QImage panel = panelPicture(ratio);
        m_snapshot.fill(panel.pixelColor(panel.width() / 2, panel.height() - qRound(12 * ratio)));
        QPainter p(&m_snapshot);
        // The source is in the picture's own pixels.
        p.drawImage(QRectF(QPointF(0, 0), QSizeF(size)), panel,
                    QRectF(QPointF(kPanelOrigin) * ratio, QSizeF(size) * ratio));
    }
    m_captured = true;
}

void SkinListBox::paintEvent(QPaintEvent*) {
    if (!m_captured || m_snapshot.size() != viewport()->size()) captureBackground();
    QPixmap buffer(viewport()->size() * devicePixelRatioF());
    buffer.setDevicePixelRatio(devicePixelRatioF());
    QPainter p(&buffer);
    p.drawPixmap(0, 0, m_snapshot);
    p.setFont(font());
    const QModelIndex firstIndex = indexAt(QPoint(0, 0));
    const int h = itemHeight();
    int index = firstIndex.isValid() ? firstIndex.row() : count();
    for (int y = 0; index < count() && y < viewport()->height(); ++index, y += h) {
        drawItem(p, index, QRect(0, y, viewport()->width(), h), item(index)->isSelected());
    }
    p.end();
    QPainter(viewport()).drawPixmap(0, 0, buffer);
}

void SkinListBox::drawItem(QPainter& p, int index, const QRect& rect, bool selected) {
    if (index < 0 || index >= count()) return;
    p.drawPixmap(rect, m_snapshot, rect);
    QString text = item(index)->text();
    LineMark mark = LineMark::None;
    if (m_editMode == kDelayValue) mark = classifyLine(text);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs | Qt::TextSingleLine;
    if (m_shadowOn) {
        p.setPen(isEnabled() ? m_shadowColour : QColor(Qt::white));
        p.drawText(rect.translated(m_shadowOffset, m_shadowOffset), flags, text);
    }
    p.setPen(!isEnabled() ? QColor(Qt::black) : (selected ? m_selectedTextColour : m_textColour));
    p.drawText(rect, flags, text);
    const QImage* icon = mark == LineMark::Press     ? &m_pressIcon
                         : mark == LineMark::Release ? &m_releaseIcon
                         : mark == LineMark::Delay   ? &m_delayIcon
                                                     : nullptr;
    if (icon) p.drawImage(rect.x() + rect.width() - kIconInset, rect.top(), *icon);
}

void SkinListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    const int index = currentRow();
    if (index < 0 || !item(index)->isSelected()) return;
    if (!itemRect(index).contains(event->position().toPoint())) return;
    beginEdit(index);
}

void SkinListBox::beginEdit(int index) {
    if (index < 0 || index >= count()) return;
    QString text = item(index)->text();
    if (m_editMode == kDelayValue &&
        (text.contains(QLatin1String("up")) || text.contains(QLatin1String("dn")))) {
        return;  // only delay lines can be edited
    }
    endEdit(true);  // at most one edit at a time
    emit editStarted(index);

    auto* edit = new InPlaceEdit(viewport());
    edit->setAccessibleName(accessibleName());
    edit->setAccessibleDescription(item(index)->text());
    connect(edit, &InPlaceEdit::finished, this, &SkinListBox::endEdit);
    edit->setFont(font());
    edit->setFrame(true);
    edit->setGeometry(itemRect(index).adjusted(0, -2, 0, 2));
    if (m_editMode == kDelayValue) {
        text.remove(QLatin1String(" ms"));
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
    edit->setText(text);
    edit->selectAll();
    edit->show();
    edit->setFocus();
    m_edit = edit;
    m_iItemBeingEdited = index;
    m_editStartIndex = index;
    qCDebug(lcUi).noquote() << QStringLiteral("m_iItemBeingEdited=%1 ").arg(m_iItemBeingEdited);
}

void SkinListBox::endEdit(bool keep) {
    if (!m_edit) return;
    // Detach first: the focus loss that hiding the edit causes must not end it again.
    InPlaceEdit* edit = m_edit;
    m_edit = nullptr;
    edit->disconnect(this);
    const int index = m_iItemBeingEdited;
    if (keep && index >= 0 && index < count()) {
        const QString oldText = item(index)->text();
        QString newText = edit->text();
        if (m_editMode == kDelayValue) {
            const int value = clampDelay(newText);
            newText = QString::number(value) + QStringLiteral(" ms");
            emit delayEdited(index, value);
        }
        // A receiver may have rebuilt the list.
        if (newText != oldText && index < count() && item(index)->text() == oldText) {
            const qulonglong stored = itemData(index);
            delete takeItem(index);
            auto* replaced = new QListWidgetItem(newText);
            replaced->setData(Qt::UserRole, QVariant::fromValue(stored));
            insertItem(index, replaced);
            const int newIndex = row(replaced);
            m_iItemBeingEdited = newIndex;
            setCurrentRow(newIndex);
            emit itemTextChanged(newIndex, oldText);
            if (m_editMode == kNotifyRename) emit renameFinished(m_editStartIndex, newIndex);
        }
    }
    m_iItemBeingEdited = -1;
    if (edit->hasFocus()) setFocus();
    edit->hide();
    edit->deleteLater();
    viewport()->update();
}

void SkinListBox::wheelEvent(QWheelEvent* event) {
    endEdit(true);
    QListWidget::wheelEvent(event);
    viewport()->update();
}

void SkinListBox::resizeEvent(QResizeEvent* event) {
    endEdit(true);
    QListWidget::resizeEvent(event);
    m_captured = false;
    viewport()->update();
}

void SkinListBox::moveEvent(QMoveEvent* event) {
    QListWidget::moveEvent(event);
    invalidateBackground();
}

void SkinListBox::keyPressEvent(QKeyEvent* event) {
    QListWidget::keyPressEvent(event);
    viewport()->update();
}

}  // namespace tavrik::app
