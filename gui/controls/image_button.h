#pragma once
// ImageButton: a small owner-drawn image button. Its picture is a strip of equal frames (laid out
// vertically when the strip is taller than wide): frame 0 normal, 1 hover, 2 pressed or checked.
// It emits command(id) on release (or on press with notify-on-press); a toggle button flips its
// checked state on each press. With forward-mouse set, its mouse moves, presses and releases
// are also passed to the parent in the parent's coordinates. Tab reaches it; Space and Enter
// click it, and it shows the focus mark while it has the focus.

#include <QImage>
#include <QWidget>

namespace tavrik::app {

class ImageButton : public QWidget {
    Q_OBJECT
public:
    explicit ImageButton(int id, QWidget* parent = nullptr);

    int id() const { return m_id; }

    // Sets the strip and its frame count; the button takes the size of one frame.
    void setStrip(const QImage& strip, int frames);
    int frameCount() const { return m_frames; }
    QSize frameSize() const { return m_frameSize; }
    bool vertical() const { return m_vertical; }

    int currentFrame() const { return m_frame; }
    bool isChecked() const { return m_checked; }
    void setChecked(bool checked);
    void setToggle(bool toggle) { m_toggle = toggle; }
    bool isToggle() const { return m_toggle; }
    void setNotifyOnPress(bool onPress) { m_notifyOnPress = onPress; }
    void setForwardMouse(bool forward) { m_forwardMouse = forward; }
    // The cursor over the button; Qt::ArrowCursor is the class default.
    void setButtonCursor(Qt::CursorShape shape) { setCursor(shape); }
    // What a press and release of the left button do (keyboard, assistive technology).
    void click();

signals:
    void command(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void setFrame(int frame);
    void forward(QMouseEvent* event);

    int m_id;
    QImage m_strip;
    int m_frames = 1;
    QSize m_frameSize;
    bool m_vertical = false;
    int m_frame = 0;
    bool m_checked = false;
    bool m_toggle = false;
    bool m_notifyOnPress = false;
    bool m_forwardMouse = false;
};

}  // namespace tavrik::app
