#pragma once
// BitmapSlider: the horizontal slider of the main window's settings panel, drawn from the skin
// (slider-bar.png as its whole face and size, slider-channel.png for the part left of the thumb,
// slider-thumb.png with normal, hover and pressed frames). On every change of its position, on
// every mouse move over it and when it is shown, it emits moved() (synchronously). A press jumps
// the thumb to the pressed spot; the mouse wheel is ignored; the arrow keys step it, and it shows
// the focus mark while it has the focus.

#include <QImage>
#include <QSlider>

namespace tavrik::skin {
class SkinImages;
class SurfaceScaler;
}  // namespace tavrik::skin

namespace tavrik::app {

class BitmapSlider : public QSlider {
    Q_OBJECT
public:
    // The reported x is the thumb's left edge minus this offset.
    static constexpr int kReportedXOffset = 10;

    explicit BitmapSlider(int controlId, QWidget* parent = nullptr);

    int controlId() const { return m_controlId; }

    // Puts the slider at a point of its parent's surface: at the surface's scale, the slider's
    // place, size and drawing are scaled alike and mouse positions are turned back into surface
    // pixels, so its positions are the same at every scale.
    void placeAt(QPoint surfacePoint);
    void setSurfaceScale(double scale);
    double surfaceScale() const { return m_scale; }

    // Loads the slider images of the main skin folder and resizes the slider to slider-bar.png
    // (position kept). May be called again (a changed skin is picked up). Without images the
    // slider keeps its size and draws nothing.
    void setUp(skin::SkinImages& images);

    // The span of the thumb's centre: x from channelLeft() to channelRight(), inclusive.
    int channelLeft() const;
    int channelRight() const;
    // The thumb rectangle for the current position.
    QRect thumbRect() const;
    // What the main window is told: x = thumb left - 10, y = the fixed thumb top.
    QPoint reportedPosition() const { return m_reported; }

    // The position a press at client x selects: (x - channel left) * (max - min) / channel
    // width, rounded half up, clamped to the range.
    int positionForX(int x) const;

signals:
    // The thumb's position was (re)reported: `value` is the slider's current value.
    void moved(int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void report();
    QSize surfaceSize() const;
    int thumbCentre(int value) const;

    int m_controlId;
    QImage m_bar;
    QImage m_channel;
    QImage m_thumb;
    QPoint m_reported;
    bool m_hover = false;
    bool m_pressed = false;
    double m_scale = 1.0;
    QSize m_surfaceSize;  // the size at scale 1 (set up from the bar picture)
    QPoint m_surfacePoint;
    skin::SurfaceScaler* m_scaler = nullptr;
};

}  // namespace tavrik::app
