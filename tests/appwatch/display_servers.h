#pragma once
// Private display servers for the watcher tests, the switching tests and the idle benchmark:
// Xvfb on a free display, Sway headless (as nobody when run as root: Sway refuses root) with
// its IPC socket, a window of the Wayland test client, and an X connection that plays the
// window manager. Servers end with the process that started them, however it ends. QtCore only.

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace tavrik::app::test {

inline constexpr uid_t kNobody = 65534;

// Forks and runs argv[0] (after `prepare`, which may only make plain system calls), ended when
// the calling process ends however it ends, so that a crashed test leaves no server behind.
template <typename Prepare>
pid_t spawnTiedToUs(const std::vector<char*>& argv, Prepare prepare, char* const* envp = environ) {
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    if (!prepare()) ::_exit(125);
    // After prepare: a change of user clears the setting.
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent) ::_exit(125);
    ::execve(argv[0], argv.data(), envp);
    ::_exit(127);
}

// Xvfb on a free display (it picks one and writes its number to a pipe).
class Xvfb {
public:
    bool start() {
        const std::string path = QStandardPaths::findExecutable("Xvfb").toStdString();
        if (path.empty()) return false;
        int fds[2];
        if (::pipe(fds) != 0) return false;
        ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
        std::vector<std::string> args = {path,        "-displayfd", std::to_string(fds[1]),
                                         "-screen",   "0",          "320x240x24",
                                         "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        m_pid = spawnTiedToUs(argv, [] { return true; });
        ::close(fds[1]);
        if (m_pid < 0) {
            ::close(fds[0]);
            return false;
        }
        std::string number;
        char c;
        while (::read(fds[0], &c, 1) == 1 && c != '\n') number.push_back(c);
        ::close(fds[0]);
        if (number.empty()) return false;
        m_display = ":" + number;
        return true;
    }
    void stop() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    ~Xvfb() { stop(); }
    QString display() const { return QString::fromStdString(m_display); }
    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

// A connection of its own to an X display that does what a window manager does to the root
// window (the active window, the client list) and what a client does to its windows.
class X11Desktop {
public:
    explicit X11Desktop(const QString& display) {
        m_c = xcb_connect(display.toLocal8Bit().constData(), nullptr);
        if (xcb_connection_has_error(m_c) != 0) return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        m_active = atom("_NET_ACTIVE_WINDOW");
        m_clients = atom("_NET_CLIENT_LIST");
        m_pid = atom("_NET_WM_PID");
    }
    ~X11Desktop() { xcb_disconnect(m_c); }
    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;
    bool ok() const { return xcb_connection_has_error(m_c) == 0; }

    uint32_t window(const QByteArray& wmClass, std::optional<uint32_t> pid = std::nullopt) {
        const uint32_t w = xcb_generate_id(m_c);
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, w, m_root, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        if (!wmClass.isNull()) setText(w, XCB_ATOM_WM_CLASS, wmClass);
        if (pid) setCardinal(w, m_pid, XCB_ATOM_CARDINAL, *pid);
        sync();
        return w;
    }
    void setText(uint32_t w, uint32_t property, const QByteArray& bytes) {
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, w, property, XCB_ATOM_STRING, 8,
                            static_cast<uint32_t>(bytes.size()), bytes.constData());
    }
    void setCardinal(uint32_t w, uint32_t property, uint32_t type, uint32_t value) {
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, w, property, type, 32, 1, &value);
    }
    void destroy(uint32_t w) {
        xcb_destroy_window(m_c, w);
        sync();
    }
    // What a window manager does when the focus moves.
    void activate(uint32_t w) {
        setCardinal(m_root, m_active, XCB_ATOM_WINDOW, w);
        sync();
    }
    void activateWithType(uint32_t w, uint32_t type) {
        setCardinal(m_root, m_active, type, w);
        sync();
    }
    void listClients(const std::vector<uint32_t>& windows) {
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, m_root, m_clients, XCB_ATOM_WINDOW, 32,
                            static_cast<uint32_t>(windows.size()), windows.data());
        sync();
    }
    void touchOtherRootProperty() {
        setCardinal(m_root, atom("_NET_NUMBER_OF_DESKTOPS"), XCB_ATOM_CARDINAL, 4);
        sync();
    }
    uint32_t atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            m_c, xcb_intern_atom(m_c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const uint32_t a = reply ? reply->atom : 0;
        std::free(reply);
        return a;
    }

private:
    void sync() { std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr)); }

    xcb_connection_t* m_c = nullptr;
    uint32_t m_root = 0, m_active = 0, m_clients = 0, m_pid = 0;
};

// Sway on the headless backend, without XWayland; its exec line says when it is up.
class Sway {
public:
    // Empty when it runs; else why not.
    QString start() {
        const QString sway = QStandardPaths::findExecutable("sway");
        m_swaymsg = QStandardPaths::findExecutable("swaymsg");
        if (sway.isEmpty() || m_swaymsg.isEmpty()) return QStringLiteral("sway is not installed");
        if (!m_dir.isValid()) return QStringLiteral("no temporary folder");
        m_runtime = m_dir.path() + QStringLiteral("/runtime");
        const QByteArray runtime = QFile::encodeName(m_runtime);
        const QByteArray ready = QFile::encodeName(m_dir.path() + QStringLiteral("/ready"));
        const QByteArray config = QFile::encodeName(m_dir.path() + QStringLiteral("/config"));
        const QByteArray log = QFile::encodeName(m_dir.path() + QStringLiteral("/sway.log"));
        if (::mkdir(runtime.constData(), 0700) != 0 || ::mkfifo(ready.constData(), 0666) != 0 ||
            ::chmod(ready.constData(), 0666) != 0) {
            return QStringLiteral("cannot make the runtime folder");
        }
        const bool root = ::geteuid() == 0;
        if (root && (::chown(runtime.constData(), kNobody, kNobody) != 0 ||
                     ::chmod(QFile::encodeName(m_dir.path()).constData(), 0755) != 0)) {
            return QStringLiteral("cannot hand the runtime folder to nobody");
        }
        QFile file(QString::fromLocal8Bit(config));
        if (!file.open(QIODevice::WriteOnly)) return QStringLiteral("cannot write sway's config");
        file.write(
            "xwayland disable\n"
            "exec sh -c 'echo \"$WAYLAND_DISPLAY $SWAYSOCK\" > " +
            ready + "'\n");
        file.close();
        // Open for reading and writing: the open does not wait for a writer.
        m_readyFd = ::open(ready.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
        const int logFd = ::open(log.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (m_readyFd < 0 || logFd < 0) return QStringLiteral("cannot open the ready pipe");

        // Everything the child needs, made before the fork (only exec and plain calls after it).
        std::vector<std::string> env = {
            "XDG_RUNTIME_DIR=" + runtime.toStdString(),
            "HOME=" + runtime.toStdString(),
            "WLR_BACKENDS=headless",
            "WLR_LIBINPUT_NO_DEVICES=1",
            "WLR_RENDERER=pixman",
            "PATH=" + qEnvironmentVariable("PATH", "/usr/bin:/bin").toStdString()};
        std::vector<std::string> args = {sway.toStdString(), "-c", config.toStdString()};
        std::vector<char*> envp, argv;
        for (auto& e : env) envp.push_back(e.data());
        for (auto& a : args) argv.push_back(a.data());
        envp.push_back(nullptr);
        argv.push_back(nullptr);
        m_pid = spawnTiedToUs(
            argv,
            [&] {
                return ::dup2(logFd, 1) == 1 && ::dup2(logFd, 2) == 2 &&
                       (!root || (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 &&
                                  ::setuid(kNobody) == 0));
            },
            envp.data());
        ::close(logFd);
        if (m_pid < 0) return QStringLiteral("cannot fork");

        // Sway's exec line writes the display and the IPC socket once it is up.
        std::string line;
        for (int waited = 0; waited < 600 && line.find('\n') == std::string::npos; ++waited) {
            pollfd p{m_readyFd, POLLIN, 0};
            if (::poll(&p, 1, 100) == 1) {
                char buffer[512];
                const ssize_t n = ::read(m_readyFd, buffer, sizeof buffer);
                if (n > 0) line.append(buffer, static_cast<size_t>(n));
            }
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                QFile out(QString::fromLocal8Bit(log));
                if (!out.open(QIODevice::ReadOnly)) return QStringLiteral("sway exited at start");
                const QList<QByteArray> lines = out.readAll().split('\n');
                QStringList errors;
                for (const QByteArray& l : lines)
                    if (l.contains("[ERROR]")) errors.append(QString::fromLocal8Bit(l));
                return QStringLiteral("sway exited at start: ") + errors.join(QStringLiteral("; "));
            }
        }
        const QStringList parts = QString::fromStdString(line).trimmed().split(u' ');
        if (parts.size() != 2) return QStringLiteral("sway did not say it was ready");
        m_display = m_runtime + u'/' + parts[0];
        m_ipc = parts[1];
        return {};
    }
    ~Sway() {
        stop();
        if (m_readyFd >= 0) ::close(m_readyFd);
    }
    void stop() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    // The full path of the compositor's socket (WAYLAND_DISPLAY may name it so).
    const QString& display() const { return m_display; }
    bool focus(const QString& appId) {
        QProcess msg;
        msg.start(m_swaymsg, {"-s", m_ipc, QStringLiteral("[app_id=\"%1\"] focus").arg(appId)});
        return msg.waitForFinished(30000) && msg.exitCode() == 0;
    }

private:
    QTemporaryDir m_dir;
    QString m_runtime, m_display, m_ipc, m_swaymsg;
    int m_readyFd = -1;
    pid_t m_pid = -1;
};

// One window of the Wayland test client (tavrik-appwatch-wayland-client at `client`).
class WaylandWindow {
public:
    WaylandWindow(const QString& client, const QString& display, const QString& appId) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("WAYLAND_DISPLAY", display);
        m_process.setProcessEnvironment(env);
        m_process.start(client, {appId});
    }
    ~WaylandWindow() { close(); }
    WaylandWindow(const WaylandWindow&) = delete;
    WaylandWindow& operator=(const WaylandWindow&) = delete;
    // Waits until the client says its window has its first buffer.
    bool mapped() {
        while (!m_process.canReadLine())
            if (!m_process.waitForReadyRead(30000)) return false;
        return m_process.readLine().trimmed() == "mapped";
    }
    void close() {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.terminate();
        m_process.waitForFinished(30000);
    }

private:
    QProcess m_process;
};

}  // namespace tavrik::app::test
