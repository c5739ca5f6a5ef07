#include "cli/ctl_host.h"

#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLockFile>
#include <cerrno>
#include <chrono>

#include "cli/line_socket.h"
#include "host/app_rules_file.h"
#include "host/control_jobs.h"
#include "host/control_protocol.h"
#include "host/data_folder.h"
#include "host/device_link.h"
#include "host/instance_address.h"
#include "host/instance_lock.h"
#include "host/transport_choice.h"
#include "macro/macro_store.h"
#include "model/key_table.h"

namespace tavrik::ctl {
namespace {

constexpr int kConnectMs = 1000;
// How long a command waits while another tavrikctl command drives the keyboard (or the tool is
// starting): longer than any one command takes.
constexpr std::chrono::seconds kHolderWait{60};
// A Save of the whole configuration takes a few seconds; a keyboard that stops acknowledging is
// given up by the session after its own bounds.
constexpr int kAnswerMs = 120000;

bool processAlive(qint64 pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// The running tool: one connection a request; the first request goes over the connection
// that found the tool. Each request carries tavrikctl's transport, so that the tool refuses it
// in its answer when it drives another keyboard.
class ForwardHost final : public Host {
public:
    ForwardHost(QString socketPath, std::unique_ptr<LineSocket> connected,
                const appconfig::Options& options)
        : m_socketPath(std::move(socketPath)), m_connected(std::move(connected)) {
        m_transport = QString::fromLatin1(device::transportName(app::transportFor(options)));
    }

    QJsonObject request(const QJsonObject& request) override {
        std::unique_ptr<LineSocket> socket = std::move(m_connected);
        if (!socket) {
            socket = std::make_unique<LineSocket>();
            if (socket->connectTo(m_socketPath, kConnectMs) != LineSocket::Connect::Connected) {
                return lost();
            }
        }
        if (!socket->send(app::control::toLine(withOptions(request)), kConnectMs)) return lost();
        const auto line = socket->readLine(kAnswerMs, app::control::kMaxLineBytes);
        if (!line) return lost();
        const auto reply = app::control::fromLine(*line);
        return reply ? *reply : lost();
    }
    bool forwarded() const override { return true; }

private:
    QJsonObject withOptions(QJsonObject request) const {
        request.insert(QStringLiteral("transport"), m_transport);
        return request;
    }
    static QJsonObject lost() {
        return app::control::failureReply(
            app::control::Failure::Device,
            QStringLiteral("the running tool did not answer; try again, or quit the tool"));
    }

    QString m_socketPath;
    std::unique_ptr<LineSocket> m_connected;  // not used yet
    QString m_transport;
};

// tavrikctl's own session, opened at once and waited for until its start-up read is done. It
// holds the instance lock from before it opens the keyboard until the session is closed.
class OwnHost final : public Host {
public:
    OwnHost(const appconfig::Options& options, std::unique_ptr<app::InstanceLock> lock, OwnUse use)
        : m_lock(std::move(lock)), m_dataFolder(ownDataFolder(options)) {
        m_rules = std::make_unique<app::AppRulesFile>(m_dataFolder.toStdString());
        if (use == OwnUse::Rules) {
            app::HostAccess access;
            access.dataFolder = m_dataFolder;
            access.appRules = m_rules.get();
            m_jobs = std::make_unique<app::ControlJobs>(std::move(access));
            return;
        }
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
        m_link = std::make_unique<app::DeviceLink>(options, setup, *m_model);
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
        access.appRules = m_rules.get();
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
    std::unique_ptr<app::InstanceLock> m_lock;  // released last
    QString m_dataFolder;
    std::filesystem::path m_macroFile;
    std::unique_ptr<model::ConfigModel> m_model;
    std::unique_ptr<macro::MacroStore> m_macros;
    std::unique_ptr<app::DeviceLink> m_link;
    std::unique_ptr<app::AppRulesFile> m_rules;
    std::unique_ptr<app::ControlJobs> m_jobs;
};

}  // namespace

QString ownDataFolder(const appconfig::Options& options) {
    return app::dataFolderFor(options, QCoreApplication::applicationDirPath() + u'/');
}

bool toolRunning() {
    const auto place = app::instancePlace();
    if (!place) return false;
    LineSocket socket;
    if (socket.connectTo(place->socketPath, kConnectMs) == LineSocket::Connect::Connected) {
        return true;
    }
    QLockFile lock(place->lockPath);
    qint64 pid = 0;
    QString host, program;
    return lock.getLockInfo(&pid, &host, &program) && processAlive(pid);
}

std::unique_ptr<Host> connectHost(const appconfig::Options& options, QString& error,
                                  app::control::Failure& failure, OwnUse use) {
    using app::control::Failure;
    const auto place = app::instancePlace();
    if (!place) {
        error = QString::fromStdString(place.error().context);
        failure = Failure::File;
        return nullptr;
    }
    // One process drives the keyboard: the window process (which serves requests over its
    // socket), or one tavrikctl command at a time.
    auto lock = std::make_unique<app::InstanceLock>(place->lockPath);
    bool strangerListens = false;
    std::unique_ptr<LineSocket> holder;  // the connection to the tool, kept for the request
    const auto holderAnswers = [&] {
        auto socket = std::make_unique<LineSocket>();
        const auto c = socket->connectTo(place->socketPath, kConnectMs);
        strangerListens = c == LineSocket::Connect::OtherUser;
        if (c == LineSocket::Connect::Connected) holder = std::move(socket);
        return c == LineSocket::Connect::Connected;
    };
    switch (lock->claimOrWait(kHolderWait, holderAnswers)) {
        case app::InstanceLock::Outcome::Claimed:
            return std::make_unique<OwnHost>(options, std::move(lock), use);
        case app::InstanceLock::Outcome::HolderAnswers:
            return std::make_unique<ForwardHost>(place->socketPath, std::move(holder), options);
        case app::InstanceLock::Outcome::Refused:
            error = lock->refusal();
            failure = Failure::File;
            return nullptr;
        case app::InstanceLock::Outcome::Taken:
        case app::InstanceLock::Outcome::TimedOut:
            break;
    }
    failure = Failure::Busy;
    error = strangerListens ? QStringLiteral(
                                  "another user's process listens on %1; nothing was sent to it. "
                                  "Remove it and try again")
                                  .arg(place->socketPath)
                            : QStringLiteral(
                                  "the keyboard has been in use by %1 for over %2 s; try again "
                                  "when it has ended")
                                  .arg(lock->holderText())
                                  .arg(kHolderWait.count());
    return nullptr;
}

}  // namespace tavrik::ctl
