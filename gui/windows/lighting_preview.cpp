#include "windows/lighting_preview.h"

#include <algorithm>

namespace tavrik::app {
namespace {

constexpr std::size_t kMostPresses = 64;

}  // namespace

LightingPreview::LightingPreview(QObject* parent) : QObject(parent) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kFrameMs);
    m_elapsed.start();
    // A late timeout may be followed by an early one; a frame comes a 30th of a second after
    // the last at the soonest.
    connect(&m_timer, &QTimer::timeout, this, [this] {
        const qint64 now = m_elapsed.nsecsElapsed();
        if (m_lastFrame >= 0 && now - m_lastFrame < kShortestFrameNs) return;
        m_lastFrame = now;
        emit frame();
    });
}

void LightingPreview::follow(bool onScreen, bool animated) {
    if (onScreen && animated) {
        if (!m_timer.isActive()) m_timer.start();
    } else {
        m_timer.stop();
    }
}

double LightingPreview::seconds() const {
    if (m_clock) return m_clock();
    return static_cast<double>(m_elapsed.nsecsElapsed()) / 1e9;
}

void LightingPreview::press(int slot) {
    if (m_presses.size() >= kMostPresses) m_presses.erase(m_presses.begin());
    m_presses.push_back({slot, seconds()});
}

std::span<const settings::KeyPress> LightingPreview::presses() {
    const double oldest = seconds() - settings::previewPeriod(0);
    std::erase_if(m_presses, [oldest](const settings::KeyPress& p) { return p.at < oldest; });
    return m_presses;
}

}  // namespace tavrik::app
