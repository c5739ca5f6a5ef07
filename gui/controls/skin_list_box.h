#pragma once
// SkinListBox: the single-selection list of the skinned dialogs. Items are drawn over a
// background snapshot (edit mode 3: the parent's pixels under the list; other modes: a built-in
// grey panel), with an optional drop shadow behind the text and, in edit mode 1, icons on the
// event lines of a macro ("dn" press, "up" release, "ms" delay).
//
// In-place editing (double click on the selected item): editStarted() is emitted before the
// edit begins. An edit ends on Enter, focus loss, a scroll-bar action, a wheel turn or a resize
// (kept), or on Escape (discarded, no signal). When kept:
//  - mode 1 (delay in ms, digits only): the value is clamped to 2..60000, the text becomes
//    "<value> ms" and delayEdited(row, value) is emitted, even when unchanged;
//  - when the text changed: the item is replaced at its index (sorted lists re-sort), selected,
//    and itemTextChanged(new row, old text) is emitted; mode 3 then also emits
//    renameFinished(edit start row, new row).
// The signals are emitted synchronously, in that order; a receiver may rebuild the list.

#include <QColor>
#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <QPointer>

#include "controls/in_place_edit.h"

namespace tavrik::app {

class SkinListBox : public QListWidget {
    Q_OBJECT
public:
    enum EditMode { kPlainRename = 0, kDelayValue = 1, kNotifyRename = 3 };
    enum class LineMark { None, Press, Release, Delay };

    static constexpr int kMinDelayMs = 2;
    static constexpr int kMaxDelayMs = 60000;

    explicit SkinListBox(QWidget* parent = nullptr);
    ~SkinListBox() override;

    // A bold (weight 700) font of that face and pixel height for items and the edit, plus the
    // text colours and the shadow.
    void configure(int fontHeight, const QString& faceName, QColor textColour,
                   QColor selectedTextColour, bool shadowOn, QColor shadowColour, int shadowOffset);

    // Append or insert (index -1 appends) with item data; return the item's index.
    int addString(const QString& text, qulonglong itemValue = 0);
    int insertString(int index, const QString& text, qulonglong itemValue = 0);
    qulonglong itemData(int index) const;

    int editMode() const { return m_editMode; }
    void setEditMode(int mode) { m_editMode = mode; }

    // Height of every row: the height of "XYZ" in the list's font.
    int itemHeight() const;
    // The row's rectangle in viewport coordinates (it may lie outside the viewport).
    QRect itemRect(int index) const;

    int itemBeingEdited() const { return m_iItemBeingEdited; }
    InPlaceEdit* editControl() const { return m_edit; }
    // Begins an in-place edit of the selected item `index`, as a double click on it does.
    void beginEdit(int index);
    // Ends the in-place edit, keeping or discarding the entered text; nothing when none runs.
    void endEdit(bool keep);

    // The text shown for a line in mode 1 ("dn"/"up" removed) and its mark.
    static LineMark classifyLine(QString& text);
    // The built-in panel picture (127 x 305) behind lists not in mode 3.
    static QImage panelPicture(qreal ratio = 1);
    const QPixmap& backgroundSnapshot() const { return m_snapshot; }
    bool backgroundCaptured() const { return m_captured; }
    // Forgets the snapshot (after the parent's background changed); the next paint recaptures.
    void invalidateBackground();

signals:
    // An in-place edit of `row` is about to begin.
    void editStarted(int row);
    // Mode 1: the delay line `row` was edited to `ms` (already clamped).
    void delayEdited(int row, int ms);
    // An edit changed an item's text; the item now sits at `newRow`.
    void itemTextChanged(int newRow, const QString& oldText);
    // Mode 3: the item edited at `startRow` was renamed and now sits at `newRow`.
    void renameFinished(int startRow, int newRow);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void captureBackground();
    void drawItem(QPainter& painter, int index, const QRect& rect, bool selected);
    void applyItemHeight();

    int m_iItemBeingEdited = -1;
    int m_editStartIndex = -1;
    int m_editMode = kPlainRename;
    QColor m_textColour;
    QColor m_selectedTextColour;
    bool m_shadowOn = false;
    QColor m_shadowColour = Qt::black;
    int m_shadowOffset = 3;
    QPixmap m_snapshot;
    bool m_captured = false;
    QPointer<InPlaceEdit> m_edit;
    QImage m_pressIcon;
    QImage m_releaseIcon;
    QImage m_delayIcon;
};

}  // namespace tavrik::app
