#pragma once
// The device session: the life of the connection to the keyboard. One worker thread owns the
// command channel and runs every sequence (start-up read, Save, factory reset, arrival,
// removal, close) from a job queue, so the window thread never blocks on the keyboard and no
// command overlaps another or the start-up read. A reader thread reads event reports with
// 200 ms bounded waits: acknowledgements wake write-all, key events are queued to the listener.
// A job works on a copy of the configuration and merges its result back (ConfigModel::merge):
// the configuration lock is held only for the copies, never across a job, and edits the owner
// makes meanwhile are kept.
//
// Typical use by the main window:
//     model.startup();                       // keymap.bin first: the keyboard's values win
//     Session session(opener, pacer, model, listener);
//     if (session.open() != ConnectionState::Connected) hide();   // NoPermission: tell how to
//     install the udev rule
//     ... udev monitor -> session.deviceArrived(e) / deviceRemoved(e)
//     Save -> session.save();   Return -> session.factoryReset();
//     profile window closed -> session.profileReplaced();
//     destroyed -> session.close();  (also done by the destructor)
// The listener, opener, pacer and model must outlive the session.

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "device/acknowledgement.h"
#include "device/channel_opener.h"
#include "device/command_set.h"
#include "device/hotplug.h"
#include "device/pacer.h"
#include "device/session_listener.h"
#include "model/config_model.h"

namespace tavrik::device {

// What the session reads once, right after the command channel first opens.
enum class OpeningRead {
    Startup,      // the window's start-up read (it begins by turning game mode on), keymap.bin
    Inspect,      // the whole configuration and the version, sending nothing that changes the
                  // keyboard and writing no file (tavrikctl's own session)
    VersionOnly,  // only the firmware version (tavrikctl status)
};

struct SessionOptions {
    std::chrono::milliseconds ackTimeout{2000};  // bound of each acknowledgement wait
    OpeningRead opening = OpeningRead::Startup;
};

class Session {
public:
    Session(ChannelOpener& opener, Pacer& pacer, model::ConfigModel& model,
            SessionListener& listener, SessionOptions options = {});
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Opens the channels that are closed, starts the reader and queues the start-up read (once
    // per session). Blocks only for the opening. Opened when both channels are open; otherwise
    // why not (NoPermission: the keyboard is there but the udev rule is missing).
    ConnectionState open();

    // Queue jobs; each ends with jobFinished().
    void save();
    void factoryReset();
    void profileReplaced();
    void deviceArrived(const HotplugEvent& event);
    void deviceRemoved(const HotplugEvent& event);

    // Jobs for a caller that waits for their own outcome: `done` runs on the worker when the job
    // ends, before the listener hears of it.
    using JobDone = std::function<void(const Status&)>;
    void save(JobDone done);
    // A read-all into `out` that leaves the host copy alone (a dump while the window has edits).
    // It sends nothing that changes the keyboard (no opening 0x09).
    void readAllInto(std::shared_ptr<model::Image> out, JobDone done);

    // Drops queued jobs, waits for the running one, stops the reader, closes both channels and
    // ends the worker. Later calls do nothing.
    void close();

    // True while a job is queued or running (the window shows the wait cursor).
    bool busy() const;
    // Blocks until no job is queued or running.
    void waitIdle();
    // Blocks until every notice posted so far has reached the listener. Never call it from a
    // listener.
    void flushNotices();
    bool commandChannelOpen() const;
    bool eventChannelOpen() const;
    // Major, minor, 0, 0 as last read from the keyboard; nothing until a read of the version
    // succeeded, and again nothing after the keyboard left or a later read of it failed.
    std::optional<std::array<std::uint8_t, 4>> firmwareVersion() const;
    // The current connection state: Connected while the command channel is open; otherwise why
    // the last opening failed, and Absent again once the keyboard has left.
    ConnectionState connectionState() const;

private:
    class Notifier;

    void enqueue(Job job, std::function<Status()> work);
    // Arrivals queued behind one another merge: a new one replaces the queued ones that only
    // hot-plug jobs follow, so a storm of unplugging and plugging costs one arrival.
    void enqueueHotplug(Job job, std::function<Status()> work);
    void workerLoop();
    void notifySynced(SyncReason reason);

    // Worker-side steps.
    Result<OpenedChannel> openRole(ChannelRole role);
    Status openCommand();
    Status openEvent();
    void startReader();
    enum class ReaderStop { AfterRemoval, Closing };
    void stopReader(ReaderStop how);
    void closeChannels();
    void dropDeadChannels();
    Status runOpeningRead();
    Status runStartupRead();
    Status runInspectRead();
    Status runSave();
    Status runFactoryReset();
    Status runProfileRefresh();
    Status runArrival();
    Status runRemoval(const HotplugEvent& event);
    Status runClose();
    // Runs `work` on a copy of the configuration and merges what it changed back.
    Status onCopy(const std::function<Status(model::ConfigState&)>& work);
    // A synchronisation on a copy: `read` (when given), the changed-key flags, after a read of
    // the keyboard its lighting again; merged back, then keymap.bin written.
    Status syncOnCopy(SyncReason reason, const std::function<Status(model::ConfigState&)>& read);
    // True when the host copy holds edits that no Save brought to the keyboard (a Save failed or
    // none ran yet): a read of the keyboard then refreshes only the last-synchronised image.
    bool keepsUnsentEdits(const model::ConfigState& state) const;
    // Reads the keyboard after an arrival, into the image or (unsent edits) beside it.
    Status readOnArrival(model::ConfigState& state);
    void setVersion(std::optional<std::array<std::uint8_t, 4>> version);
    // Why nothing could be sent: no keyboard, or one this user may not open.
    Error notConnected() const;
    // Tells a keyboard that went away from one that stopped answering.
    Error classifyFailure(Error error);
    Link commandLink();
    void readerLoop(Channel& channel);

    ChannelOpener& m_opener;
    Pacer& m_pacer;
    model::ConfigModel& m_model;
    SessionOptions m_options;
    SessionListener& m_listener;
    std::unique_ptr<Notifier> m_notifier;
    std::unique_ptr<Acknowledgement> m_ack;

    // Worker-owned.
    std::unique_ptr<Channel> m_command;
    std::unique_ptr<Channel> m_event;
    std::string m_commandPath;
    std::string m_eventPath;
    bool m_startupReadDone = false;
    bool m_editsPending = false;  // the last Save did not finish
    ConnectionState m_lastOpenStatus = ConnectionState::Absent;
    std::thread m_reader;
    std::atomic<bool> m_readerStop{false};
    std::atomic<bool> m_readerRunning{false};

    mutable std::mutex m_mutex;  // guards everything below
    std::condition_variable m_jobReady;
    std::condition_variable m_idle;
    std::deque<std::pair<Job, std::function<Status()>>> m_jobs;
    bool m_running = false;  // a job is running
    bool m_stopping = false;
    bool m_commandOpen = false;
    bool m_eventOpen = false;
    std::optional<std::array<std::uint8_t, 4>> m_version;
    std::thread m_worker;
};

}  // namespace tavrik::device
