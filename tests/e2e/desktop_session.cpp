#include "desktop_session.h"

#include <sys/prctl.h>
#include <QDeadlineTimer>
#include <QThread>
#include <csignal>
#include <utility>

namespace tavrik::e2e {
namespace {

constexpr int kEndMs = 3000;

constexpr int kConnectAttempts = 3;

// Runs a short helper program to its end within the timeout. A loaded machine can refuse the
// connection to the X server; the program then did nothing, so it is run again.
std::optional<QByteArray> runTool(const QString& program, const QStringList& args,
                                  const QString& display, Millis timeout) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, args);
        if (!p.waitForFinished(int(timeout.count()))) {
            p.kill();
            p.waitForFinished(kEndMs);
            return std::nullopt;
        }
        if (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) {
            return p.readAllStandardOutput();
        }
        if (!p.readAllStandardError().contains("open display")) return std::nullopt;
        QThread::msleep(300);
    }
    return std::nullopt;
}

}  // namespace

bool waitUntil(const std::function<bool()>& done, Millis timeout) {
    QDeadlineTimer deadline(timeout);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(50);
    }
    return true;
}

Child::Child(QString name) : m_name(std::move(name)) {
    // The kernel ends the child when the test process dies without running destructors.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

Child::~Child() {
    stop();
}

bool Child::start(const QString& program, const QStringList& args, const QProcessEnvironment& env,
                  const QString& logFile, bool captureOutput) {
    m_process.setProcessEnvironment(env);
    if (!logFile.isEmpty()) {
        m_process.setStandardErrorFile(logFile, QIODevice::Append);
        if (!captureOutput) m_process.setStandardOutputFile(logFile, QIODevice::Append);
    }
    m_process.start(program, args);
    return m_process.waitForStarted(kEndMs);
}

bool Child::running() const {
    return m_process.state() != QProcess::NotRunning;
}

qint64 Child::pid() const {
    return m_process.processId();
}

bool Child::writeLine(const QByteArray& line) {
    if (!running()) return false;
    m_process.write(line + '\n');
    return m_process.waitForBytesWritten(kEndMs);
}

QByteArray Child::output() {
    if (running()) m_process.waitForReadyRead(10);
    m_output += m_process.readAllStandardOutput();
    return m_output;
}

bool Child::waitForOutput(const QByteArray& text, Millis timeout) {
    return waitUntil([&] { return output().contains(text); }, timeout);
}

bool Child::waitForExit(Millis timeout) {
    return !running() || m_process.waitForFinished(int(timeout.count()));
}

int Child::exitCode() const {
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

void Child::stop() {
    if (!running()) return;
    m_process.terminate();
    if (m_process.waitForFinished(kEndMs)) return;
    qWarning("%s did not end on SIGTERM; killing it", qPrintable(m_name));
    m_process.kill();
    m_process.waitForFinished(kEndMs);
}

bool XServer::start(const QString& xvfb, QSize screen) {
    const QString size = QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height());
    // -displayfd 1: Xvfb picks a free display and writes its number to standard output.
    if (!m_server.start(xvfb,
                        {"-displayfd", "1", "-screen", "0", size, "-nolisten", "tcp", "-noreset"},
                        QProcessEnvironment::systemEnvironment())) {
        return false;
    }
    if (!m_server.waitForOutput("\n", Millis(10000))) return false;
    m_display = QStringLiteral(":") + QString::fromLatin1(m_server.output().trimmed());
    return true;
}

Desktop::Desktop(QString xdotool, QString import, QString display)
    : m_xdotool(std::move(xdotool)), m_import(std::move(import)), m_display(std::move(display)) {}

std::optional<QByteArray> Desktop::xdotool(const QStringList& args, Millis timeout) {
    return runTool(m_xdotool, args, m_display, timeout);
}

std::vector<QString> Desktop::visibleWindows(qint64 pid) {
    std::vector<QString> out;
    // xdotool search fails when nothing matches: that is an empty list.
    const auto listed = xdotool({"search", "--onlyvisible", "--pid", QString::number(pid)});
    if (!listed) return out;
    for (const QByteArray& line : listed->split('\n')) {
        if (!line.trimmed().isEmpty()) out.push_back(QString::fromLatin1(line.trimmed()));
    }
    return out;
}

std::optional<QRect> Desktop::geometry(const QString& window) {
    const auto shell = xdotool({"getwindowgeometry", "--shell", window});
    if (!shell) return std::nullopt;
    QRect r;
    for (const QByteArray& line : shell->split('\n')) {
        const QList<QByteArray> kv = line.split('=');
        if (kv.size() != 2) continue;
        const int v = kv[1].toInt();
        if (kv[0] == "X") r.moveLeft(v);
        if (kv[0] == "Y") r.moveTop(v);
        if (kv[0] == "WIDTH") r.setWidth(v);
        if (kv[0] == "HEIGHT") r.setHeight(v);
    }
    return r;
}

bool Desktop::click(const QString& window, QPoint at) {
    return xdotool({"mousemove", "--window", window, QString::number(at.x()),
                    QString::number(at.y()), "sleep", "0.15", "click", "1", "sleep", "0.1"})
        .has_value();
}

bool Desktop::focus(const QString& window) {
    return xdotool({"windowfocus", "--sync", window}).has_value();
}

bool Desktop::key(const QString& keys) {
    return xdotool({"key", "--delay", "60", keys}).has_value();
}

bool Desktop::type(const QString& text) {
    return xdotool({"type", "--delay", "20", text}, Millis(15000)).has_value();
}

bool Desktop::screenshot(const QString& file) {
    if (m_import.isEmpty()) return false;
    return runTool(m_import, {"-window", "root", file}, m_display, Millis(10000)).has_value();
}

}  // namespace tavrik::e2e
