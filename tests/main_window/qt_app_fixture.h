#pragma once
// One QApplication for the whole test executable, and a main window over a temporary data
// folder.

#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>

#include <memory>

#include "device/pacer.h"
#include "sim/firmware.h"
#include "skin/skin_paths.h"
#include "windows/main_window.h"

namespace tavrik::app::test_support {

// The main window's Save button, in window coordinates.
inline constexpr QPoint kSave{950, 620};

// The centre of a hit area where the window's panel places it now (it follows the collapse
// flags and the effect).
inline QPoint hitCentre(MainWindow& w, int code) {
    const std::uint8_t effect = w.configModel().withLock(
        [](const model::ConfigState& s) { return s.image[model::image::kEffect]; });
    const model::Rect r =
        *mainwindow::hitArea(code, mainwindow::panelLayout(w.viewState().panel, effect));
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

inline QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "main_window_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* a = new QApplication(argc, argv);
        a->setQuitOnLastWindowClosed(false);
        return a;
    }();
    return *app;
}

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        qtApp();
        ASSERT_TRUE(m_dir.isValid());
    }

    // The emulated keyboard, plugged in or not, paced by a virtual clock (no real pauses).
    AppContext context(Language lang = Language::English, bool keyboard = false) {
        AppContext c;
        c.language = lang;
        c.paths.programFolder = skin::programFolder();
        c.paths.dataFolder = m_dir.path();
        auto pacer = std::make_shared<device::RecordingPacer>();
        pacer->setKeepLog(false);
        c.device.pacer = pacer;
        c.device.firmware = std::make_shared<sim::Firmware>([pacer] { return pacer->elapsed(); });
        if (!keyboard) c.device.firmware->unplug();
        m_firmware = c.device.firmware;
        return c;
    }

    std::unique_ptr<MainWindow> makeWindow(Language lang = Language::English,
                                           bool keyboard = false) {
        auto w = std::make_unique<MainWindow>(context(lang, keyboard));
        w->initialise(false);
        return w;
    }

    // Lets the device worker finish its jobs and the window handle what they posted.
    static void settle(MainWindow& w) {
        for (int i = 0; i < 3; ++i) {
            w.deviceLink()->session().waitIdle();
            w.deviceLink()->session().flushNotices();  // the jobs' notices are posted
            QCoreApplication::processEvents();
        }
    }

    std::shared_ptr<sim::Firmware> m_firmware;

    QTemporaryDir m_dir;
};

}  // namespace tavrik::app::test_support
