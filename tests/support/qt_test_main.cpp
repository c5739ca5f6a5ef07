// GoogleTest entry point of every Qt test executable: one QApplication for the whole run,
// offscreen unless a platform is set. DISPLAY is dropped once the application exists, so a key
// hook installed by a test is the in-application filter and no key typed elsewhere on the
// desktop reaches a widget under test (the X11 hook tests set DISPLAY to their own server).
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qunsetenv("DISPLAY");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
