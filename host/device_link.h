#pragma once
// The main window's connection to the keyboard: the device session over the real keyboard
// (hidapi, libudev hot-plug), the emulated keyboard in-process (--simulate) or a running
// tavrik-kbsim (--sim-socket). Session notices come in on the session's own thread; each is
// posted to the link's own thread and emitted there as a signal, never delivered synchronously.

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <memory>

#include "appconfig/app_options.h"
#include "device/connection_state.h"
#include "device/pacer.h"
#include "device/session.h"
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

class DeviceLink : public QObject {
    Q_OBJECT

public:
    // Made on the thread that receives the signals (the window's, or tavrikctl's main thread).
    DeviceLink(const appconfig::Options& options, DeviceSetup setup, model::ConfigModel& model,
               QObject* parent = nullptr);
    ~DeviceLink() override;  // closes the session (reader stopped, channels closed)

    // Opens the channels, starts the reader and queues the start-up read; then watches for the
    // keyboard coming and going. Connected only when both channels opened; otherwise why not.
    // On the link's thread only.
    device::ConnectionState open();

    device::Session& session() { return *m_session; }
    // The emulator in-process, tavrik-kbsim or the real keyboard.
    device::Transport transport() const { return m_transport; }
    bool connected() const { return state() == device::ConnectionState::Connected; }
    // The session's current connection state (NoPermission: the udev rule is missing).
    device::ConnectionState state() const { return m_session->connectionState(); }
    // The emulated keyboard, when one runs in-process.
    sim::Firmware* firmware() const { return m_setup.firmware.get(); }

signals:
    // The host copy is in line with the keyboard (see device::SessionListener::deviceSynced).
    void synced(device::SyncReason reason);
    // A queued job ended; a failure carries its reason in the error kind.
    void jobFinished(device::Job job, const Status& status);
    // Emitted after a job that opens or closes the channels (opening, arrival, removal, close).
    void connectionChanged(device::ConnectionState state);
    // After jobFinished, when no other job is queued or running.
    void idle();
    // A key event from the keyboard, with the key's code.
    void keyEvent(std::uint8_t code);

protected:
    bool event(QEvent* e) override;

private:
    class Listener;
    class Notice;
    void watchHotplug();
    void finished(device::Job job, const Status& status);

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
