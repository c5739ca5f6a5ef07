// GoogleTest entry point of the watcher tests: one QCoreApplication for the whole run, so that
// the watchers' socket notifiers and D-Bus calls have an event loop.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
