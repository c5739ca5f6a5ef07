// Scale-to-fit: a screen whose available area is smaller than the surface (a 1600 x 1200 screen
// at 200 %, say) gets the whole window drawn at one smaller factor. Painting scales by it, the
// surface scaler turns mouse positions back into surface pixels, and the sliders follow, so every
// hit area stays where it is drawn.

#include <QScreen>
#include <QWindow>

#include "mainwindow/surface_fit.h"
#include "skin/surface_scaler.h"
#include "windows/main_window.h"

namespace tavrik::app {

void MainWindow::fitToScreen() {
    if (!m_context.fitScreen || !m_surfaceSize.isValid()) return;
    if (QWindow* window = windowHandle(); window && !m_watchingScreen) {
        m_watchingScreen = true;
        connect(window, &QWindow::screenChanged, this, [this] { fitToScreen(); });
    }
    const QScreen* shown = screen();
    if (!shown) return;
    const QSize available = shown->availableGeometry().size();
    const mainwindow::FitSize surface{m_surfaceSize.width(), m_surfaceSize.height()};
    const double scale =
        mainwindow::surfaceFitScale(surface, {available.width(), available.height()});
    if (scale == m_surfaceScale) return;
    m_surfaceScale = scale;
    m_scaler->setScale(scale);
    const mainwindow::FitSize fitted = mainwindow::scaledSurface(surface, scale);
    setFixedSize(fitted.width, fitted.height);
    for (const QPointer<BitmapSlider>& s : m_sliders) {
        if (s) s->setSurfaceScale(scale);
    }
    update();
}

}  // namespace tavrik::app
