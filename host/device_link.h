#pragma once
// The main window's connection to the keyboard: the device session over the real keyboard
// (hidapi, libudev hot-plug), the emulated keyboard in-process (--simulate) or a running
// tavrik-kbsim (--sim-socket). Session notices come in on the session's own thread and are
// posted to the window as events, never delivered synchronously.

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <memory>

#include "device/connection_state.h"
#include "device/pacer.h"
#include "device/session.h"
#include "mainwindow/app_options.h"
#include "model/config_model.h"

namespace tavrik::sim {
class Firmware;
class SocketPlugMonitor;
}  // namespace tavrik::sim
namespace tavrik::hid {
class UdevMonitor;
}  // namespace tavrik::hid

namespace tavrik::app {

// How the keyboard is reached; tests pass their own emulator and pacer.
struct DeviceSetup {
    std::shared_ptr<sim::Firmware> firmware;  // in-process emulator; made for --simulate
    std::shared_ptr<device::Pacer> pacer;     // real sleeps when empty
    // The window's start-up read; tavrikctl's own session reads without changing anything.
    device::OpeningRead opening = device::OpeningRead::Startup;
};

// A device job ended (posted to the window).
class JobFinishedEvent : public QEvent {
public:
    JobFinishedEvent(device::Job job, Status status)
        : QEvent(eventType()), m_job(job), m_status(std::move(status)) {}
    static QEvent::Type eventType();
    device::Job job() const { return m_job; }
    const Status& status() const { return m_status; }

private:
    device::Job m_job;
    Status m_status;
};

class DeviceLink {
public:
    // receiver gets WM_DEVICESYNCED, WM_DEVICEEVENT and JobFinishedEvent.
    DeviceLink(const mainwindow::Options& options, DeviceSetup setup, model::ConfigModel& model,
               QObject* receiver);
    ~DeviceLink();  // closes the session (reader stopped, channels closed)
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Opens the channels, starts the reader and queues the start-up read; then watches for the
    // keyboard coming and going. Connected only when both channels opened; otherwise why not.
    device::ConnectionState open();

    device::Session& session() { return *m_session; }
    // The emulator in-process, tavrik-kbsim or the real keyboard.
    device::Transport transport() const { return m_transport; }
    bool connected() const { return state() == device::ConnectionState::Connected; }
    // The session's current connection state (NoPermission: the udev rule is missing).
    device::ConnectionState state() const { return m_session->connectionState(); }
    // The emulated keyboard, when one runs in-process.
    sim::Firmware* firmware() const { return m_setup.firmware.get(); }

private:
    class Listener;
    void watchHotplug();

    DeviceSetup m_setup;
    std::unique_ptr<device::ChannelOpener> m_opener;
    std::unique_ptr<Listener> m_listener;
    std::unique_ptr<device::Session> m_session;
    std::unique_ptr<hid::UdevMonitor> m_udev;
    std::unique_ptr<sim::SocketPlugMonitor> m_socketMonitor;
    std::string m_socketPath;
    device::Transport m_transport = device::Transport::Hid;
};

}  // namespace tavrik::app
