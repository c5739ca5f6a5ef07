#pragma once
// The main window's connection to the keyboard: the device session over the real keyboard
// (hidapi, libudev hot-plug), the emulated keyboard in-process (--simulate) or a running
// tavrik-kbsim (--sim-socket). Session notices come in on the session's own thread and are
// posted to the window as events, never delivered synchronously.

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <memory>

#include "device/pacer.h"
#include "device/session.h"
#include "mainwindow/app_options.h"
#include "mainwindow/startup.h"
#include "mainwindow/status_line.h"
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
    // keyboard coming and going.
    mainwindow::KeyboardAtStart open();

    device::Session& session() { return *m_session; }
    // How the last opening ended (NoPermission: the udev rule is missing).
    device::OpenStatus openStatus() const { return m_openStatus; }
    // "emulated" (in-process), "socket" (tavrik-kbsim) or "hid" (the real keyboard).
    const char* transport() const;
    bool connected() const { return m_session->commandChannelOpen(); }
    // What the status line shows: connected (real or emulated), absent or refused.
    mainwindow::ConnectionState state() const;
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
    device::OpenStatus m_openStatus = device::OpenStatus::NotPresent;
};

}  // namespace tavrik::app
