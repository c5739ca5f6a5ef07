#include "hook_test_support.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace tavrik::app::test_support {

ReportSink::ReportSink() {
    connect(this, &HookReports::key, this, [this](int vk, bool released) {
        reports.push_back({vk, released});
    });
}

bool ReportSink::waitFor(std::size_t count, std::chrono::milliseconds timeout) {
    QElapsedTimer timer;
    timer.start();
    while (reports.size() < count && timer.elapsed() < timeout.count()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    QCoreApplication::processEvents();
    return reports.size() >= count;
}

}  // namespace tavrik::app::test_support
