#pragma once
// SkinTree: the tree of the key assignment dialog. It keeps the standard tree behaviour and
// replaces the painting: a background by mode (0 picture tiled or stretched, 1 vertical or
// horizontal gradient, 2 solid RGB 30, 30, 30), white row text moved 7 pixels right, a full-width
// highlight (RGB 102, 46, 47) for the selected row while the tree has the focus (or always, with
// setShowSelectionAlways), and a collapsed or expanded picture before rows with children.

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QTreeWidget>

namespace tavrik::app {

class SkinTree : public QTreeWidget {
    Q_OBJECT
public:
    enum BackgroundMode { kPictureBackground = 0, kGradientBackground = 1, kSolidBackground = 2 };

    static constexpr int kTextShift = 7;
    static inline const QColor kSolidColour{30, 30, 30};
    static inline const QColor kHighlightColour{102, 46, 47};

    explicit SkinTree(QWidget* parent = nullptr);

    // Replaces the background, collapsed and expanded pictures by the built-in ones.
    void loadPictures();
    void setPictures(const QImage& background, const QImage& collapsed, const QImage& expanded);
    const QImage& collapsedPicture() const { return m_collapsed; }
    const QImage& expandedPicture() const { return m_expanded; }

    int backgroundMode() const { return m_mode; }
    void setBackgroundMode(int mode);
    void setGradient(QColor start, QColor end, bool vertical);
    void setTilePicture(bool tile) { m_tile = tile; }
    void setShowSelectionAlways(bool always);

    // Kept for the owner, never painted.
    void setItemIcon(const QIcon& icon) { m_itemIcon = icon; }
    QIcon itemIcon() const { return m_itemIcon; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // A press on a row's drawn expand picture expands or collapses the row.
    void mousePressEvent(QMouseEvent* event) override;

private:
    void paintBackground(QPainter& p, const QRect& area);
    QRect pictureRect(const QModelIndex& index) const;
    void paintRow(QPainter& p, const QModelIndex& index);

    QImage m_background;
    QImage m_collapsed;
    QImage m_expanded;
    QColor m_gradientStart{255, 255, 255};
    QColor m_gradientEnd{213, 213, 224};
    bool m_gradientVertical = true;
    int m_mode = kGradientBackground;
    bool m_tile = false;
    bool m_showSelectionAlways = false;
    QIcon m_itemIcon;
};

}  // namespace tavrik::app
