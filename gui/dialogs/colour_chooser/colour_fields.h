#pragma once
// The colour chooser's painted fields: the saturation/value square of one hue, the hue strip and
// a row of colour swatches. Each takes the keyboard focus (Tab), moves with the arrow keys and
// shows a focus mark when it has the focus.

#include <QColor>
#include <QWidget>
#include <vector>

#include "settings/colour_pick.h"

namespace tavrik::app {

// The skin's colours for what the chooser draws itself.
namespace chooser_look {
inline const QColor kBackground{37, 38, 43};
inline const QColor kTitleStrip{53, 53, 53};
inline const QColor kEdge{86, 90, 101};
inline const QColor kButton{58, 61, 69};
inline const QColor kButtonOver{102, 46, 47};
inline const QColor kFocus{0, 214, 224};  // the skin's active colour
inline const QColor kHint{150, 154, 164};
inline QColor qColour(settings::Rgb c) {
    return QColor(c.r, c.g, c.b);
}
}  // namespace chooser_look

// Saturation grows to the right, value upwards. Arrows move one step, with Shift sixteen.
class SvField : public QWidget {
    Q_OBJECT
public:
    explicit SvField(QWidget* parent = nullptr);
    void setHsv(settings::Hsv hsv);  // repaints; emits nothing
    settings::Hsv hsv() const { return m_hsv; }

signals:
    void picked(settings::Hsv hsv);  // by the mouse or the keyboard

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void pickAt(QPoint p);
    void pick(settings::Hsv hsv);
    settings::Hsv m_hsv;
};

// Hue from 0 at the top to 359 at the bottom. Up and Down move one degree, with Shift fifteen.
class HueStrip : public QWidget {
    Q_OBJECT
public:
    explicit HueStrip(QWidget* parent = nullptr);
    void setHue(int hue);
    int hue() const { return m_hue; }

signals:
    void picked(int hue);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void pickAt(QPoint p);
    void pick(int hue);
    int m_hue = 0;
};

// Colours side by side; Left and Right (Home, End) move to the next one and pick it, a click
// picks one, a double click picks it and asks to accept. An empty row shows its hint text.
class SwatchRow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSwatch = 20;
    static constexpr int kStep = 25;

    explicit SwatchRow(QWidget* parent = nullptr);
    void setColours(std::vector<settings::Rgb> colours);
    const std::vector<settings::Rgb>& colours() const { return m_colours; }
    void setEmptyHint(const QString& hint) { m_hint = hint; }
    // Marks the swatch of this colour (none when no swatch has it).
    void markColour(settings::Rgb colour);
    // The swatch under a point of the row, or -1.
    int swatchAt(QPoint p) const;

signals:
    void picked(settings::Rgb colour);
    void accepted();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void pickIndex(int i);
    std::vector<settings::Rgb> m_colours;
    int m_current = -1;  // the marked swatch
    QString m_hint;
};

}  // namespace tavrik::app
