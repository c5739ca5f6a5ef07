#pragma once
// The pieces of an end-to-end run on a private X server: child processes that end with the test
// (even when it is killed), Xvfb on a free display, and xdotool / import bound to that display.
// Every wait is bounded.

#include <QByteArray>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

namespace tavrik::e2e {

using Millis = std::chrono::milliseconds;

// Polls `done` every 50 ms until it holds or `timeout` has passed; true when it held.
bool waitUntil(const std::function<bool()>& done, Millis timeout);

// A child process that is ended (terminate, then kill) when this object goes, and killed by the
// kernel when the test process dies first.
class Child {
public:
    explicit Child(QString name);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Standard error (and standard output unless `captureOutput`) go to `logFile` when given.
    bool start(const QString& program, const QStringList& args, const QProcessEnvironment& env,
               const QString& logFile = {}, bool captureOutput = true);
    bool running() const;
    qint64 pid() const;
    // Writes one line to the process's standard input.
    bool writeLine(const QByteArray& line);
    // Everything the process wrote to standard output so far.
    QByteArray output();
    // Waits until standard output holds `text`.
    bool waitForOutput(const QByteArray& text, Millis timeout);
    bool waitForExit(Millis timeout);
    int exitCode() const;
    void stop();

private:
    QString m_name;
    QProcess m_process;
    QByteArray m_output;
};

// An Xvfb server on a display it picks itself.
class XServer {
public:
    bool start(const QString& xvfb, QSize screen);
    const QString& display() const { return m_display; }

private:
    Child m_server{QStringLiteral("Xvfb")};
    QString m_display;
};

// xdotool and import on one display.
class Desktop {
public:
    Desktop(QString xdotool, QString import, QString display);

    // Runs xdotool; its standard output, or nothing when it failed or took too long.
    std::optional<QByteArray> xdotool(const QStringList& args, Millis timeout = Millis(5000));
    // Mapped windows of a process, in stacking order as xdotool lists them.
    std::vector<QString> visibleWindows(qint64 pid);
    std::optional<QRect> geometry(const QString& window);
    // Moves the pointer to a point of the window's client area, lets the window see the move,
    // then presses and releases the left button.
    bool click(const QString& window, QPoint at);
    bool focus(const QString& window);
    bool key(const QString& keys);
    bool type(const QString& text);
    // Saves the whole screen as a PNG; false (and nothing saved) without import.
    bool screenshot(const QString& file);
    const QString& display() const { return m_display; }

private:
    QString m_xdotool;
    QString m_import;
    QString m_display;
};

}  // namespace tavrik::e2e
