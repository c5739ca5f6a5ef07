// How a report travels from the thread that saw the key to the receiver: queued, in order, on the
// receiver's thread, with the release flag and the mode's choice of releases kept.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <memory>
#include <thread>

#include "hook_test_support.h"
#include "keyhook/hook_target.h"

namespace tavrik::app {
namespace {
using namespace test_support;

TEST(HookReports, ReportsFromAnotherThreadArriveQueuedInOrderOnTheReceiversThread) {
    ReportSink sink;
    std::vector<QThread*> threads;
    QObject::connect(&sink, &HookReports::key, &sink,
                     [&threads] { threads.push_back(QThread::currentThread()); });
    const std::vector<Report> expected = {{162, false}, {67, false}, {67, true}, {162, true}};
    std::thread hookThread([&sink, &expected] {
        for (const Report& r : expected) sink.post(r.vk, r.released);
    });
    hookThread.join();
    EXPECT_TRUE(sink.reports.empty());  // nothing is delivered on the posting thread
    QCoreApplication::processEvents();
    EXPECT_EQ(sink.reports, expected);
    EXPECT_EQ(threads, std::vector<QThread*>(expected.size(), QThread::currentThread()));
}

TEST(HookReports, CodesOutsideTheKeyTableAreDropped) {
    ReportSink sink;
    for (int vk : {0, -1, 256, 0x1A2, 255, 1}) sink.post(vk, false);
    QCoreApplication::processEvents();
    EXPECT_EQ(sink.reports, (std::vector<Report>{{255, false}, {1, false}}));
}

TEST(HookReports, AReceiverDestroyedBeforeDeliveryGetsNothing) {
    auto sink = std::make_unique<ReportSink>();
    sink->post(65, false);
    sink.reset();
    // The queued report went with its receiver: nothing runs on the freed object (ASan).
    QCoreApplication::processEvents();
}

TEST(HookTarget, ModeZeroDropsReleasesModeOneKeepsThemAndAClearedTargetPostsNothing) {
    ReportSink sink;
    HookTarget target;
    target.set(&sink, 0);
    target.report(65, false);
    target.report(65, true);
    target.set(&sink, 1);
    target.report(66, false);
    target.report(66, true);
    target.report(0, false);
    target.clear();
    target.report(67, false);
    QCoreApplication::processEvents();
    EXPECT_EQ(sink.reports, (std::vector<Report>{{65, false}, {66, false}, {66, true}}));
    EXPECT_FALSE(target.isSet());
}

}  // namespace
}  // namespace tavrik::app
