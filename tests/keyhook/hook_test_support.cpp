#include "hook_test_support.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "host/qt/app_event.h"

namespace tavrik::app::test_support {

bool ReportSink::event(QEvent* e) {
    if (e->type() != static_cast<QEvent::Type>(msg::WM_HOOKKEY)) return QObject::event(e);
    const auto* report = static_cast<AppEvent*>(e);
    reports.push_back(
        {static_cast<int>(report->wParam()), (report->lParam() & msg::kReleaseBit) != 0});
    return true;
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
