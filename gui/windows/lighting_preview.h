#pragma once
// The clock and frame timer of the keyboard picture's lighting preview, and the key presses it
// shows. The timer runs only while the window is on screen and its effect moves; hidden or
// minimised, the preview wakes nothing up.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <span>
#include <vector>

#include "settings/effect_preview.h"

namespace tavrik::app {

class LightingPreview : public QObject {
    Q_OBJECT
public:
    // At most 30 frames a second: a precise 34 ms timer (a coarse one may fire 5 % early).
    static constexpr int kFrameMs = 34;

    explicit LightingPreview(QObject* parent = nullptr);

    // Runs the frame timer when both hold, stops it otherwise.
    void follow(bool onScreen, bool animated);
    bool running() const { return m_timer.isActive(); }

    // Seconds on the preview's clock; tests and benchmarks set it by hand.
    double seconds() const;
    void setClock(std::function<double()> clock) { m_clock = std::move(clock); }

    // A key press to show (reactive, ripple); presses older than the slowest fade are dropped.
    void press(int slot);
    std::span<const settings::KeyPress> presses();

signals:
    void frame();

private:
    QTimer m_timer;
    QElapsedTimer m_elapsed;
    std::function<double()> m_clock;
    std::vector<settings::KeyPress> m_presses;
    static constexpr qint64 kShortestFrameNs = 1'000'000'000 / 30;
    qint64 m_lastFrame = -1;
};

}  // namespace tavrik::app
