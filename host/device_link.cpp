#include "host/device_link.h"

#include <QCoreApplication>

#include "host/qt/app_event.h"
#include "host/qt/log_categories.h"
#include "host/qt/thread_handover.h"
#include "host/transport_choice.h"
#include "sim/firmware.h"
#include "sim/openers.h"
#include "sim/socket_channel.h"
#include "transport/hid_opener.h"
#include "transport/udev_monitor.h"

namespace tavrik::app {

QEvent::Type JobFinishedEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

// Posts every session notice to the window's thread.
class DeviceLink::Listener final : public device::SessionListener {
public:
    explicit Listener(QObject* receiver) : m_receiver(receiver) { watchHandOvers(receiver); }

    void deviceSynced(device::SyncReason reason) override {
        post(new AppEvent(msg::WM_DEVICESYNCED, 0, static_cast<std::intptr_t>(reason)));
    }
    void deviceEvent(std::uint8_t code) override { post(new AppEvent(msg::WM_DEVICEEVENT, code)); }
    void jobFinished(device::Job job, const Status& status) override {
        post(new JobFinishedEvent(job, status));
    }
    void debugLine(const std::string& line) override {
        qCDebug(lcDevice).noquote() << QString::fromStdString(line);
    }

private:
    void post(QEvent* e) {
        announceHandOver(m_receiver);
        QCoreApplication::postEvent(m_receiver, e);
    }

    QObject* m_receiver;
};

DeviceLink::DeviceLink(const mainwindow::Options& options, DeviceSetup setup,
                       model::ConfigModel& model, QObject* receiver)
    : m_setup(std::move(setup)), m_listener(std::make_unique<Listener>(receiver)) {
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

device::ConnectionState DeviceLink::open() {
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
