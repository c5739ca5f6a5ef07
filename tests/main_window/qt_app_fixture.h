#pragma once
// One QApplication for the whole test executable, and a main window over a temporary data
// folder.

#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>

#include <memory>

#include "skin/skin_paths.h"
#include "windows/main_window.h"

namespace tavrik::app::testing {

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

    AppContext context(Language lang = Language::English) const {
        AppContext c;
        c.language = lang;
        c.paths.programFolder = skin::programFolder();
        c.paths.dataFolder = m_dir.path();
        return c;
    }

    std::unique_ptr<CVediVezazivaDlg> makeWindow(Language lang = Language::English) {
        auto w = std::make_unique<CVediVezazivaDlg>(context(lang));
        w->initialise(false);
        return w;
    }

    QTemporaryDir m_dir;
};

}  // namespace tavrik::app::testing
