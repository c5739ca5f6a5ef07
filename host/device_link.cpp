#include "host/device_link.h"

#include <QCoreApplication>
#include <QThread>
#include <functional>

#include "host/qt/log_categories.h"
#include "host/qt/thread_handover.h"
#include "host/transport_choice.h"
#include "sim/firmware.h"
#include "sim/openers.h"
#include "sim/socket_channel.h"
#include "transport/hid_opener.h"
#include "transport/udev_monitor.h"

namespace tavrik::app {

namespace {

const QEvent::Type kNoticeType = static_cast<QEvent::Type>(QEvent::registerEventType());

}  // namespace

// One session notice on its way to the link's thread: what to emit there.
class DeviceLink::Notice final : public QEvent {
public:
    explicit Notice(std::function<void(DeviceLink&)> emitter)
        : QEvent(kNoticeType), m_emitter(std::move(emitter)) {}
    void deliver(DeviceLink& link) const { m_emitter(link); }

private:
    std::function<void(DeviceLink&)> m_emitter;
};

// Posts every session notice to the link's thread, where it becomes a signal.
class DeviceLink::Listener final : public device::SessionListener {
public:
    explicit Listener(DeviceLink& link) : m_link(link) { watchHandOvers(&link); }

    void deviceSynced(device::SyncReason reason) override {
        post([reason](DeviceLink& l) { emit l.synced(reason); });
    }
    void deviceEvent(std::uint8_t code) override {
        post([code](DeviceLink& l) { emit l.keyEvent(code); });
    }
    void jobFinished(device::Job job, const Status& status) override {
        post([job, status](DeviceLink& l) { l.finished(job, status); });
    }
    void debugLine(const std::string& line) override {
        qCDebug(lcDevice).noquote() << QString::fromStdString(line);
    }

private:
    void post(std::function<void(DeviceLink&)> emitter) {
        auto* notice = new Notice(std::move(emitter));  // owned by Qt's event queue
        announceHandOver(&m_link);
        QCoreApplication::postEvent(&m_link, notice);
    }

    DeviceLink& m_link;
};

DeviceLink::DeviceLink(const appconfig::Options& options, DeviceSetup setup,
                       model::ConfigModel& model, QObject* parent)
    : QObject(parent), m_setup(std::move(setup)), m_listener(std::make_unique<Listener>(*this)) {
    if (!m_setup.pacer) m_setup.pacer = std::make_shared<device::SleepPacer>();
    // Tests hand in an emulator of their own.
    m_transport = m_setup.firmware ? device::Transport::Emulated : transportFor(options);
    switch (m_transport) {
        case device::Transport::Emulated:
            if (!m_setup.firmware) m_setup.firmware = std::make_shared<sim::Firmware>();
            m_opener = std::make_unique<sim::SimOpener>(*m_setup.firmware);
            break;
        case device::Transport::Socket:
            m_socketPath = options.simSocket;
            m_opener = std::make_unique<sim::SocketOpener>(m_socketPath);
            break;
        case device::Transport::Hid:
            m_opener = std::make_unique<hid::HidOpener>();
            break;
    }
    device::SessionOptions sessionOptions;
    sessionOptions.opening = m_setup.opening;
    m_session = std::make_unique<device::Session>(*m_opener, *m_setup.pacer, model, *m_listener,
                                                  sessionOptions);
}

DeviceLink::~DeviceLink() {
    // Hot-plug sources first, so that nothing queues a job on a closing session.
    m_udev.reset();
    m_socketMonitor.reset();
    if (m_setup.firmware) m_setup.firmware->setPlugListener({});
    m_session->close();
}

bool DeviceLink::event(QEvent* e) {
    if (e->type() != kNoticeType) return QObject::event(e);
    // Notices are posted, so the signals they become are emitted on the link's own thread.
    Q_ASSERT(QThread::currentThread() == thread());
    static_cast<const Notice&>(*e).deliver(*this);
    return true;
}

void DeviceLink::finished(device::Job job, const Status& status) {
    Q_ASSERT(QThread::currentThread() == thread());
    emit jobFinished(job, status);
    // The worker is no longer running the job when its end is told.
    if (!m_session->busy()) emit idle();
    switch (job) {
        case device::Job::Open:
        case device::Job::Arrival:
        case device::Job::Removal:
        case device::Job::Close:
            emit connectionChanged(state());
            break;
        case device::Job::StartupRead:
        case device::Job::Save:
        case device::Job::FactoryReset:
        case device::Job::ProfileRefresh:
        case device::Job::ReadCopy:
        case device::Job::FactoryReadBack:
            break;
    }
}

device::ConnectionState DeviceLink::open() {
    Q_ASSERT(QThread::currentThread() == thread());
    const device::ConnectionState opened = m_session->open();
    watchHotplug();
    return opened;
}

void DeviceLink::watchHotplug() {
    const auto onPlug = [this](bool plugged) {
        const device::HotplugEvent e{
            plugged ? device::HotplugKind::Arrival : device::HotplugKind::Removal, {}};
        if (plugged) {
            m_session->deviceArrived(e);
        } else {
            m_session->deviceRemoved(e);
        }
    };
    if (m_setup.firmware) {
        m_setup.firmware->setPlugListener(onPlug);
    } else if (!m_socketPath.empty()) {
        m_socketMonitor = std::make_unique<sim::SocketPlugMonitor>(m_socketPath, onPlug);
    } else {
        m_udev = std::make_unique<hid::UdevMonitor>([this](const device::HotplugEvent& e) {
            if (e.kind == device::HotplugKind::Arrival) {
                m_session->deviceArrived(e);
            } else {
                m_session->deviceRemoved(e);
            }
        });
        if (Status s = m_udev->start(); !s) {
            qCWarning(lcDevice) << "hot-plug:" << QString::fromStdString(s.error().context);
        }
    }
}

}  // namespace tavrik::app
