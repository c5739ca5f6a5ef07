// The in-application fallback, used where no X server is reachable.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWindow>
#include <memory>

#include "hook_test_support.h"
#include "keyhook/keyhook.h"
#include "keyhook/window_hook.h"

namespace tavrik::app {
namespace {
using namespace test_support;
using namespace std::chrono_literals;

class QtHook : public ::testing::Test {
protected:
    void SetUp() override {
        qunsetenv("DISPLAY");
        m_window = std::make_unique<QWindow>();
    }
    void TearDown() override { removehook(); }
    void send(QObject* to, QEvent::Type type, int key, Qt::KeyboardModifiers mods = {},
              bool repeat = false) {
        QKeyEvent e(type, key, mods, QString(), repeat);
        QCoreApplication::sendEvent(to, &e);
    }
    ReportSink m_sink;
    std::unique_ptr<QWindow> m_window;  // created once the application exists
};

TEST_F(QtHook, ReportsKeysDeliveredToTheApplicationsWindows) {
    ASSERT_TRUE(installhook(&m_sink, 1));
    send(m_window.get(), QEvent::KeyPress, Qt::Key_A);
    send(m_window.get(), QEvent::KeyPress, Qt::Key_A, {}, true);
    send(m_window.get(), QEvent::KeyRelease, Qt::Key_A, {}, true);  // auto-repeat: not a release
    send(m_window.get(), QEvent::KeyRelease, Qt::Key_A);
    send(m_window.get(), QEvent::KeyPress, Qt::Key_Exclam, Qt::ShiftModifier);
    send(m_window.get(), QEvent::KeyPress, Qt::Key_7, Qt::KeypadModifier);
    QObject notAWindow;
    send(&notAWindow, QEvent::KeyPress, Qt::Key_B);  // a widget's copy of a key: not counted
    const std::vector<Report> expected = {
        {65, false}, {65, false}, {65, true}, {49, false}, {103, false}};
    m_sink.waitFor(expected.size() + 1, 300ms);
    EXPECT_EQ(m_sink.reports, expected);

    removehook();
    send(m_window.get(), QEvent::KeyPress, Qt::Key_C);
    m_sink.waitFor(expected.size() + 1, 100ms);
    EXPECT_EQ(m_sink.reports.size(), expected.size());
}

TEST_F(QtHook, DestroyedWindowReceivesNothing) {
    auto sink = std::make_unique<ReportSink>();
    ASSERT_TRUE(installhook(sink.get(), 1));
    sink.reset();
    send(m_window.get(), QEvent::KeyPress, Qt::Key_A);  // must not post to the dead window
    QCoreApplication::processEvents();
    ASSERT_TRUE(installhook(&m_sink, 0));
    send(m_window.get(), QEvent::KeyPress, Qt::Key_F5);
    send(m_window.get(), QEvent::KeyRelease, Qt::Key_F5);
    m_sink.waitFor(2, 100ms);
    EXPECT_EQ(m_sink.reports, (std::vector<Report>{{116, false}}));
}

TEST_F(QtHook, DrivesTheMacroEditorThroughTheHooksSignal) {
    struct Dialog {
        Dialog() : hook(reports), editor(hook, clock) {
            QObject::connect(&reports, &HookReports::key, &reports,
                             [this](int vk, bool released) { editor.onHookKey(vk, released); });
        }
        macro::SteadyClock clock;
        HookReports reports;
        WindowHook hook;
        macro::MacroEditor editor;
    } dialog;
    macro::MacroStore store{};
    dialog.editor.open(store);
    dialog.editor.newMacro();
    ASSERT_FALSE(dialog.editor.toggleRecording().has_value());
    ASSERT_TRUE(dialog.editor.hookInstalled());
    send(m_window.get(), QEvent::KeyPress, Qt::Key_Q);
    send(m_window.get(), QEvent::KeyRelease, Qt::Key_Q);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.editor.eventLines(), (std::vector<std::string>{"Q  dn", "Q  up"}));
    dialog.editor.toggleRecording();
    send(m_window.get(), QEvent::KeyPress, Qt::Key_W);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.editor.eventLines().size(), 2u);
}

}  // namespace
}  // namespace tavrik::app
