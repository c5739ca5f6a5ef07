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
// The listener, opener, pacer and model must outlive the session. Any thread may queue jobs (the
// hot-plug monitors do from theirs); open(), close() and waitIdle() wait for the worker, so a job
// or a `done` callback never calls them (asserted where asserts are on).

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

#include "common/thread_annotations.h"
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

    void enqueue(Job job, std::function<Status()> work) TAVRIK_EXCLUDES(m_mutex);
    // Arrivals queued behind one another merge: a new one replaces the queued ones that only
    // hot-plug jobs follow, so a storm of unplugging and plugging costs one arrival.
    void enqueueHotplug(Job job, std::function<Status()> work) TAVRIK_EXCLUDES(m_mutex);
    void workerLoop() TAVRIK_EXCLUDES(m_mutex);
    void notifySynced(SyncReason reason);

    // Worker-side steps: they run on the worker thread only (each queued job asserts it first).
    Result<OpenedChannel> openRole(ChannelRole role) TAVRIK_REQUIRES(m_worker);
    Status openCommand() TAVRIK_REQUIRES(m_worker);
    Status openEvent() TAVRIK_REQUIRES(m_worker);
    void startReader() TAVRIK_REQUIRES(m_worker);
    enum class ReaderStop { AfterRemoval, Closing };
    void stopReader(ReaderStop how) TAVRIK_REQUIRES(m_worker);
    void closeChannels() TAVRIK_REQUIRES(m_worker);
    void dropDeadChannels() TAVRIK_REQUIRES(m_worker);
    Status runOpeningRead() TAVRIK_REQUIRES(m_worker);
    Status runStartupRead() TAVRIK_REQUIRES(m_worker);
    Status runInspectRead() TAVRIK_REQUIRES(m_worker);
    Status runSave() TAVRIK_REQUIRES(m_worker);
    Status runFactoryReset() TAVRIK_REQUIRES(m_worker);
    Status runProfileRefresh() TAVRIK_REQUIRES(m_worker);
    Status runArrival() TAVRIK_REQUIRES(m_worker);
    Status runRemoval(const HotplugEvent& event) TAVRIK_REQUIRES(m_worker);
    Status runClose() TAVRIK_REQUIRES(m_worker);
    // Runs `work` on a copy of the configuration and merges what it changed back.
    Status onCopy(const std::function<Status(model::ConfigState&)>& work) TAVRIK_REQUIRES(m_worker);
    // A synchronisation on a copy: `read` (when given), the changed-key flags, after a read of
    // the keyboard its lighting again; merged back, then keymap.bin written.
    Status syncOnCopy(SyncReason reason, const std::function<Status(model::ConfigState&)>& read)
        TAVRIK_REQUIRES(m_worker);
    // True when the host copy holds edits that no Save brought to the keyboard (a Save failed or
    // none ran yet): a read of the keyboard then refreshes only the last-synchronised image.
    bool keepsUnsentEdits(const model::ConfigState& state) const;
    // Reads the keyboard after an arrival, into the image or (unsent edits) beside it.
    Status readOnArrival(model::ConfigState& state) TAVRIK_REQUIRES(m_worker);
    void setVersion(std::optional<std::array<std::uint8_t, 4>> version) TAVRIK_EXCLUDES(m_mutex);
    // Why nothing could be sent: no keyboard, or one this user may not open.
    Error notConnected() const TAVRIK_EXCLUDES(m_mutex);
    // Tells a keyboard that went away from one that stopped answering.
    Error classifyFailure(Error error) TAVRIK_REQUIRES(m_worker);
    Link commandLink() TAVRIK_REQUIRES(m_worker);
    void readerLoop(Channel& channel);

    ChannelOpener& m_opener;
    Pacer& m_pacer;
    model::ConfigModel& m_model;
    SessionOptions m_options;
    SessionListener& m_listener;
    std::unique_ptr<Notifier> m_notifier;
    std::unique_ptr<Acknowledgement> m_ack;

    // The worker thread's role, bound when it starts; what it alone touches is guarded by it.
    ThreadRole m_worker;
    std::unique_ptr<Channel> m_command TAVRIK_GUARDED_BY(m_worker);
    std::unique_ptr<Channel> m_event TAVRIK_GUARDED_BY(m_worker);
    std::string m_commandPath TAVRIK_GUARDED_BY(m_worker);
    std::string m_eventPath TAVRIK_GUARDED_BY(m_worker);
    bool m_startupReadDone TAVRIK_GUARDED_BY(m_worker) = false;
    std::thread m_reader TAVRIK_GUARDED_BY(m_worker);
    // Shared with the reader thread.
    std::atomic<bool> m_readerStop{false};
    std::atomic<bool> m_readerRunning{false};

    mutable Mutex m_mutex;
    std::condition_variable m_jobReady;
    std::condition_variable m_idle;
    std::deque<std::pair<Job, std::function<Status()>>> m_jobs TAVRIK_GUARDED_BY(m_mutex);
    bool m_running TAVRIK_GUARDED_BY(m_mutex) = false;  // a job is running
    bool m_stopping TAVRIK_GUARDED_BY(m_mutex) = false;
    // Written by the worker, read by any thread.
    bool m_commandOpen TAVRIK_GUARDED_BY(m_mutex) = false;
    bool m_eventOpen TAVRIK_GUARDED_BY(m_mutex) = false;
    ConnectionState m_lastOpenStatus TAVRIK_GUARDED_BY(m_mutex) = ConnectionState::Absent;
    std::optional<std::array<std::uint8_t, 4>> m_version TAVRIK_GUARDED_BY(m_mutex);

    // Started by the constructor and joined by the one close() that sets m_stopping.
    std::thread m_workerThread;
};

}  // namespace tavrik::device
