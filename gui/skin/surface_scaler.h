#pragma once
// SurfaceScaler: the mouse side of a widget drawn at a uniform factor. While the factor is not 1,
// every mouse event the widget receives is sent to it again with its position in surface pixels
// (the coordinates the widget paints and hit-tests in), so the widget's handlers and the other
// event filters on it see surface coordinates; the global position stays the screen's.
// Install it after the widget's other event filters: filters installed later run first.

#include <QObject>

class QWidget;

namespace tavrik::skin {

class SurfaceScaler : public QObject {
    Q_OBJECT
public:
    explicit SurfaceScaler(QWidget* widget);

    void setScale(double scale) { m_scale = scale; }
    double scale() const { return m_scale; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_widget;
    double m_scale = 1.0;
    bool m_resending = false;
};

}  // namespace tavrik::skin
