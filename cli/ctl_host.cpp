#include "ctl_host.h"

#include <signal.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>
#include <cerrno>

#include "devicehost/control_jobs.h"
#include "devicehost/control_protocol.h"
#include "devicehost/device_link.h"
#include "devicehost/instance_address.h"
#include "line_socket.h"
#include "macro/macro_store.h"
#include "model/key_table.h"

namespace tavrik::ctl {
namespace {

constexpr int kConnectMs = 1000;
constexpr int kStartingToolMs = 5000;
// A Save of the whole configuration takes a few seconds; a keyboard that stops acknowledging is
// given up by the session after its own bounds.
constexpr int kAnswerMs = 120000;

bool processAlive(qint64 pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

bool socketAnswers(LineSocket& socket) {
    return socket.connectTo(app::instanceSocketPath(), kConnectMs);
}

// The running tool: one connection a request.
class ForwardHost final : public Host {
public:
    QJsonObject request(const QJsonObject& request) override {
        LineSocket socket;
        if (!socketAnswers(socket)) return lost();
        if (!socket.send(app::control::toLine(request), kConnectMs)) return lost();
        const auto line = socket.readLine(kAnswerMs, app::control::kMaxLineBytes);
        if (!line) return lost();
        const auto reply = app::control::fromLine(*line);
        return reply ? *reply : lost();
    }
    bool forwarded() const override { return true; }

private:
    static QJsonObject lost() {
        return app::control::failureReply(
            app::control::Failure::Device,
            QStringLiteral("the running tool did not answer; try again, or quit the tool"));
    }
};

// Ignores the session's window messages: tavrikctl waits for its jobs directly.
class Sink final : public QObject {
public:
    bool event(QEvent*) override { return true; }
};

// tavrikctl's own session, opened at once and waited for until its start-up read is done.
class OwnHost final : public Host {
public:
    OwnHost(const mainwindow::Options& options, OwnUse use) : m_dataFolder(ownDataFolder(options)) {
        const QDir dir(m_dataFolder);
        model::keyTable();
        m_model = std::make_unique<model::ConfigModel>(
            dir.filePath(QString::fromUtf8(model::kKeymapFileName)).toStdString());
        m_macroFile = dir.filePath(QString::fromUtf8(macro::kMacroFileName)).toStdString();
        m_macros = std::make_unique<macro::MacroStore>();
        [[maybe_unused]] Status macrosRead = macro::readMacroFile(*m_macros, m_macroFile);
        // keymap.bin first (launch paths, captured keys), then the keyboard's values. Nothing is
        // written before a change: a Save stores keymap.bin (and makes the data folder).
        [[maybe_unused]] Status s = m_model->startup(model::ConfigModel::FileWrites::None);
        app::DeviceSetup setup;
        setup.opening =
            use == OwnUse::Status ? device::OpeningRead::VersionOnly : device::OpeningRead::Inspect;
        m_link = std::make_unique<app::DeviceLink>(options, setup, *m_model, &m_sink);
        m_link->open();
        m_link->session().waitIdle();
        app::HostAccess access;
        access.model = m_model.get();
        access.macros = m_macros.get();
        access.link = m_link.get();
        access.macroFile = m_macroFile;
        access.dataFolder = m_dataFolder;
        // The opening read just brought the whole configuration (the version is set only when
        // it succeeded).
        access.hostCopyIsKeyboard =
            use != OwnUse::Status && m_link->session().firmwareVersion().has_value();
        m_jobs = std::make_unique<app::ControlJobs>(std::move(access));
    }
    ~OwnHost() override {
        m_jobs.reset();
        m_link.reset();  // session closed before the model goes
    }

    QJsonObject request(const QJsonObject& request) override {
        QJsonObject answer;
        QEventLoop loop;
        bool answered = false;
        m_jobs->run(request, [&](const QJsonObject& reply) {
            answer = reply;
            answered = true;
            loop.quit();
        });
        if (!answered) loop.exec();
        return answer;
    }
    bool forwarded() const override { return false; }

private:
    QString m_dataFolder;
    std::filesystem::path m_macroFile;
    Sink m_sink;
    std::unique_ptr<model::ConfigModel> m_model;
    std::unique_ptr<macro::MacroStore> m_macros;
    std::unique_ptr<app::DeviceLink> m_link;
    std::unique_ptr<app::ControlJobs> m_jobs;
};

// The running tool drives one keyboard: a command that asks for another one (the emulator
// instead of the real keyboard, or the other way round) is refused rather than sent to it.
std::unique_ptr<Host> forwardIfSameKeyboard(const mainwindow::Options& options, QString& error,
                                            bool& usage) {
    auto host = std::make_unique<ForwardHost>();
    const QJsonObject status =
        host->request(QJsonObject{{QStringLiteral("version"), app::control::kProtocolVersion},
                                  {QStringLiteral("command"), QStringLiteral("status")}});
    const QString theirs = status.value(QStringLiteral("transport")).toString();
    const QString ours = options.simulate             ? QStringLiteral("emulated")
                         : !options.simSocket.empty() ? QStringLiteral("socket")
                                                      : QStringLiteral("hid");
    if (status.value(QStringLiteral("ok")).toBool() && theirs != ours) {
        error = QStringLiteral(
                    "the running tool drives the %1 keyboard, not the %2 one; quit "
                    "it or give the options it was started with")
                    .arg(theirs, ours);
        usage = true;
        return nullptr;
    }
    return host;
}

}  // namespace

QString ownDataFolder(const mainwindow::Options& options) {
    mainwindow::DataFolderInputs in;
    const QString program = QCoreApplication::applicationDirPath() + u'/';
    in.programFolder = program.toStdString();
    in.programFolderWritable = QFileInfo(program).isWritable();
    in.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME").toStdString();
    in.home = QDir::homePath().toStdString();
    in.dataDir = options.dataDir;
    return QString::fromStdString(mainwindow::dataFolder(in).string());
}

bool toolRunning() {
    LineSocket socket;
    if (socketAnswers(socket)) return true;
    QLockFile lock(app::instanceLockPath());
    qint64 pid = 0;
    QString host, program;
    return lock.getLockInfo(&pid, &host, &program) && processAlive(pid);
}

std::unique_ptr<Host> connectHost(const mainwindow::Options& options, QString& error, bool& usage,
                                  OwnUse use) {
    if (!toolRunning()) return std::make_unique<OwnHost>(options, use);
    // A tool that is still starting listens within moments.
    QDeadlineTimer deadline(kStartingToolMs);
    while (!deadline.hasExpired()) {
        LineSocket socket;
        if (socketAnswers(socket)) return forwardIfSameKeyboard(options, error, usage);
        QThread::msleep(100);
    }
    error = QStringLiteral("the tool is running but does not answer; quit it and try again");
    return nullptr;
}

}  // namespace tavrik::ctl
