#pragma once
// TavrikApp: the application object. It reads the command line, keeps the tool to one
// running copy, builds the main window and runs until the window ends the program.

#include <QApplication>
#include <memory>

namespace tavrik::app {

class MainWindow;
class ActiveAppWatcher;
class ControlJobs;
class SingleInstance;
struct AppPaths;

class TavrikApp : public QApplication {
    Q_OBJECT
public:
    TavrikApp(int& argc, char** argv);
    ~TavrikApp() override;

    // Runs the tool; returns the process exit code. A second copy asks the first to show its
    // window and returns 0 at once; a copy that cannot hold the instance lock and its socket
    // says why and returns 1.
    int run();

private:
    // tavrikctl's requests run as jobs of the window's session.
    void serveControlRequests(const AppPaths& paths);
    // Says why the tool cannot start (standard error, and a message box on a screen); the
    // process's exit code.
    int cannotStart(const QString& why);
    // Whether an installed font draws Chinese; without one Chinese falls back to English.
    static bool chineseFontAvailable();
    // Says once (standard error and a box that does not block) that English is shown instead.
    void tellNoChineseFont();

    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<ActiveAppWatcher> m_watcher;  // outlives the window that follows it
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<ControlJobs> m_control;  // before the window goes
};

}  // namespace tavrik::app
