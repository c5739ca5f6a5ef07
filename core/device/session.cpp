#include "device/session.h"

#include <future>
#include <iterator>

#include "device/acknowledgement.h"
#include "device/pauses.h"
#include "device/sequences.h"
#include "model/keymap_file.h"

namespace tavrik::device {

// Delivers listener calls in order on its own thread, so that neither the reader nor the
// worker ever waits for the window layer.
class Session::Notifier {
public:
    Notifier() : m_thread([this] { loop(); }) {}
    ~Notifier() {
        {
            MutexLock guard(m_mutex);
            m_stop = true;
        }
        m_ready.notify_all();
        m_thread.join();
    }

    void post(std::function<void()> call) TAVRIK_EXCLUDES(m_mutex) {
        {
            MutexLock guard(m_mutex);
            m_calls.push_back(std::move(call));
        }
        m_ready.notify_all();
    }

    // Returns once every call posted before it has been delivered; never from a call it delivers
    // (it would wait for itself).
    void flush() {
        m_delivering.assertNotHeld();
        auto delivered = std::make_shared<std::promise<void>>();
        std::future<void> done = delivered->get_future();
        post([delivered] { delivered->set_value(); });
        done.wait();
    }

private:
    void loop() TAVRIK_EXCLUDES(m_mutex) {
        m_delivering.bindToThisThread();
        MutexLock lock(m_mutex);
        for (;;) {
            m_ready.wait(lock.native(),
                         [this]() TAVRIK_REQUIRES(m_mutex) { return m_stop || !m_calls.empty(); });
            if (m_calls.empty()) return;  // stopping, everything delivered
            std::function<void()> call = std::move(m_calls.front());
            m_calls.pop_front();
            lock.unlock();
            call();
            lock.lock();
        }
    }

    ThreadRole m_delivering;  // the thread that delivers the calls
    Mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<std::function<void()>> m_calls TAVRIK_GUARDED_BY(m_mutex);
    bool m_stop TAVRIK_GUARDED_BY(m_mutex) = false;
    std::thread m_thread;
};

Session::Session(ChannelOpener& opener, Pacer& pacer, model::ConfigModel& model,
                 SessionListener& listener, SessionOptions options)
    : m_opener(opener),
      m_pacer(pacer),
      m_model(model),
      m_options(options),
      m_listener(listener),
      m_notifier(std::make_unique<Notifier>()),
      m_ack(std::make_unique<Acknowledgement>(options.ackTimeout)) {
    m_workerThread = std::thread([this] { workerLoop(); });
}

Session::~Session() {
    close();
    m_notifier.reset();  // delivers what is still queued
}

// ---- job queue -------------------------------------------------------------------------------

void Session::enqueue(Job job, std::function<Status()> work) {
    {
        MutexLock guard(m_mutex);
        if (m_stopping) return;
        m_jobs.emplace_back(job, std::move(work));
    }
    m_jobReady.notify_all();
}

void Session::workerLoop() {
    m_worker.bindToThisThread();
    MutexLock lock(m_mutex);
    for (;;) {
        m_jobReady.wait(lock.native(), [this]() TAVRIK_REQUIRES(m_mutex) {
            return m_stopping || !m_jobs.empty();
        });
        if (m_jobs.empty()) return;
        auto [job, work] = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_running = true;
        lock.unlock();
        const Status status = work();
        lock.lock();
        // Not running any more before the listener hears of the end, so that busy() is false
        // there when nothing else is queued.
        m_running = false;
        m_notifier->post([this, job = job, status] { m_listener.jobFinished(job, status); });
        if (m_jobs.empty()) m_idle.notify_all();
    }
}

bool Session::busy() const {
    MutexLock guard(m_mutex);
    return m_running || !m_jobs.empty();
}

void Session::waitIdle() {
    m_worker.assertNotHeld();  // a job would wait for its own end
    MutexLock lock(m_mutex);
    m_idle.wait(lock.native(),
                [this]() TAVRIK_REQUIRES(m_mutex) { return !m_running && m_jobs.empty(); });
}

void Session::flushNotices() {
    m_notifier->flush();
}

bool Session::commandChannelOpen() const {
    MutexLock guard(m_mutex);
    return m_commandOpen;
}

bool Session::eventChannelOpen() const {
    MutexLock guard(m_mutex);
    return m_eventOpen;
}

std::optional<std::array<std::uint8_t, 4>> Session::firmwareVersion() const {
    MutexLock guard(m_mutex);
    return m_version;
}

void Session::setVersion(std::optional<std::array<std::uint8_t, 4>> version) {
    MutexLock guard(m_mutex);
    m_version = version;
}

ConnectionState Session::connectionState() const {
    MutexLock guard(m_mutex);
    return m_commandOpen ? ConnectionState::Connected : m_lastOpenStatus;
}

// ---- public commands -------------------------------------------------------------------------

ConnectionState Session::open() {
    m_worker.assertNotHeld();  // it waits for the opening job
    auto result = std::make_shared<std::promise<ConnectionState>>();
    std::future<ConnectionState> opened = result->get_future();
    bool queued = false;
    {
        MutexLock guard(m_mutex);
        if (!m_stopping) {
            queued = true;
            m_jobs.emplace_back(Job::Open, [this, result]() -> Status {
                m_worker.assertHeld();
                const Status cmd = m_command ? Status{} : openCommand();
                const Status ev = m_event ? Status{} : openEvent();
                ConnectionState s;
                bool commandOpen = false;
                {
                    MutexLock lock(m_mutex);
                    commandOpen = m_commandOpen;
                    s = m_commandOpen ? ConnectionState::Connected : m_lastOpenStatus;
                    if (s == ConnectionState::Connected && !m_eventOpen) s = m_lastOpenStatus;
                }
                result->set_value(s);
                if (commandOpen && !m_startupReadDone) {
                    m_startupReadDone = true;
                    enqueue(Job::StartupRead, [this] {
                        m_worker.assertHeld();
                        return runOpeningRead();
                    });
                }
                return cmd.ok() ? ev : cmd;
            });
        }
    }
    if (!queued) return ConnectionState::Absent;
    m_jobReady.notify_all();
    try {
        return opened.get();
    } catch (const std::future_error&) {
        return ConnectionState::Absent;  // closed before the opening ran
    }
}

void Session::save() {
    enqueue(Job::Save, [this] {
        m_worker.assertHeld();
        return runSave();
    });
}

void Session::save(JobDone done) {
    enqueue(Job::Save, [this, done = std::move(done)] {
        m_worker.assertHeld();
        Status s = runSave();
        done(s);
        return s;
    });
}

void Session::readAllInto(std::shared_ptr<model::Image> out, JobDone done) {
    enqueue(Job::ReadCopy, [this, out = std::move(out), done = std::move(done)] {
        m_worker.assertHeld();
        Status s =
            m_command ? readAll(commandLink(), *out, ReadMode::Inspect) : Status(notConnected());
        if (!s) s = classifyFailure(s.error());
        done(s);
        return s;
    });
}

void Session::factoryReset() {
    enqueue(Job::FactoryReset, [this] {
        m_worker.assertHeld();
        return runFactoryReset();
    });
}

void Session::profileReplaced() {
    enqueue(Job::ProfileRefresh, [this] {
        m_worker.assertHeld();
        return runProfileRefresh();
    });
}

void Session::deviceArrived(const HotplugEvent&) {
    enqueueHotplug(Job::Arrival, [this] {
        m_worker.assertHeld();
        return runArrival();
    });
}

void Session::deviceRemoved(const HotplugEvent& event) {
    enqueueHotplug(Job::Removal, [this, event] {
        m_worker.assertHeld();
        return runRemoval(event);
    });
}

void Session::enqueueHotplug(Job job, std::function<Status()> work) {
    {
        MutexLock guard(m_mutex);
        if (m_stopping) return;
        // The queued hot-plug jobs at the end of the queue (nothing else waits behind them).
        const auto isHotplug = [](const auto& j) {
            return j.first == Job::Arrival || j.first == Job::Removal;
        };
        auto run = m_jobs.end();
        while (run != m_jobs.begin() && isHotplug(*std::prev(run))) --run;
        if (job == Job::Arrival) {
            // Each arrival opens and reads the keyboard after a settling pause: only the last
            // one of a storm is worth it; earlier ones would be undone by the removals between.
            // Removals stay, in order (once the channels are closed they cost nothing).
            for (auto it = run; it != m_jobs.end();) {
                it = it->first == Job::Arrival ? m_jobs.erase(it) : std::next(it);
            }
        }
        m_jobs.emplace_back(job, std::move(work));
    }
    m_jobReady.notify_all();
}

void Session::close() {
    m_worker.assertNotHeld();  // the worker cannot join itself
    {
        MutexLock guard(m_mutex);
        if (m_stopping) return;
        m_jobs.clear();
        m_jobs.emplace_back(Job::Close, [this] {
            m_worker.assertHeld();
            return runClose();
        });
        m_stopping = true;
    }
    m_jobReady.notify_all();
    m_workerThread.join();
    MutexLock guard(m_mutex);
    m_idle.notify_all();
}

// ---- worker-side steps -----------------------------------------------------------------------

Link Session::commandLink() {
    return Link{*m_command, m_pacer};
}

void Session::notifySynced(SyncReason reason) {
    m_notifier->post([this, reason] { m_listener.deviceSynced(reason); });
}

Result<OpenedChannel> Session::openRole(ChannelRole role) {
    OpenedChannel c = m_opener.open(role);
    if (c.status == ConnectionState::Connected) return c;
    {
        MutexLock guard(m_mutex);
        m_lastOpenStatus = c.status;
    }
    const std::string which = role == ChannelRole::Command ? "command" : "event";
    return deviceError(c.status == ConnectionState::NoPermission
                           ? "no permission to open the keyboard's " + which + " channel"
                           : "the keyboard's " + which + " channel cannot be opened");
}

Status Session::openCommand() {
    auto c = openRole(ChannelRole::Command);
    if (!c) return c.error();
    m_command = std::move(c.value().channel);
    m_commandPath = c.value().path;
    MutexLock guard(m_mutex);
    m_commandOpen = true;
    return {};
}

Status Session::openEvent() {
    auto c = openRole(ChannelRole::Event);
    if (!c) return c.error();
    m_event = std::move(c.value().channel);
    m_eventPath = c.value().path;
    {
        MutexLock guard(m_mutex);
        m_eventOpen = true;
    }
    // Reading only the version needs no acknowledgement and no key event: without a reader,
    // closing waits for no read to time out.
    if (m_options.opening != OpeningRead::VersionOnly) startReader();
    return {};
}

void Session::startReader() {
    if (m_reader.joinable()) {
        if (m_readerRunning) return;  // there is a reader
        m_reader.join();
    }
    m_readerStop = false;
    m_readerRunning = true;
    m_ack->setReaderAlive(true);
    m_reader = std::thread([this, channel = m_event.get()] { readerLoop(*channel); });
}

void Session::readerLoop(Channel& channel) {
    std::optional<Error> failure;
    while (!m_readerStop) {
        Result<std::optional<EventReport>> r = channel.readEvent(pause::kEventReadTimeout);
        if (!r) {  // the channel is gone: nothing more can arrive
            failure = r.error();
            break;
        }
        if (!r.value()) continue;
        const EventReport& e = *r.value();
        if (isAcknowledgement(e)) {
            m_ack->set();
        } else {
            const std::uint8_t code = e[event::kCode];
            m_notifier->post([this, code] { m_listener.deviceEvent(code); });
        }
    }
    m_ack->setReaderAlive(false);
    m_readerRunning = false;
    // Told once the next arrival can see that the channel needs reopening.
    if (failure) {
        m_notifier->post([this, text = failure->context] {
            m_listener.debugLine("event channel failed: " + text);
        });
    }
}

void Session::stopReader(ReaderStop how) {
    m_readerStop = true;
    // A removal lets the keyboard's nodes settle, longer than any read lasts; closing wakes the
    // reader's current read, so a command's exit is not held up by it.
    if (how == ReaderStop::AfterRemoval) {
        m_pacer.pause(pause::kRemovalSettle);
    } else if (m_event) {
        m_event->cancelReads();
    }
    if (m_reader.joinable()) m_reader.join();
}

void Session::dropDeadChannels() {
    // The reader ends by itself when its channel fails: the keyboard went away, whether or not
    // a removal was reported. Its channels are closed so that this arrival reopens them.
    if (!m_event || m_readerRunning) return;
    if (m_reader.joinable()) m_reader.join();
    closeChannels();
}

void Session::closeChannels() {
    if (m_command) m_command->close();
    if (m_event) m_event->close();
    m_command.reset();
    m_event.reset();
    m_commandPath.clear();
    m_eventPath.clear();
    MutexLock guard(m_mutex);
    m_commandOpen = false;
    m_eventOpen = false;
    m_lastOpenStatus = ConnectionState::Absent;  // until an opening says otherwise
}

Error Session::notConnected() const {
    ConnectionState last;
    {
        MutexLock guard(m_mutex);
        last = m_lastOpenStatus;
    }
    switch (last) {
        case ConnectionState::NoPermission:
            return {ErrorKind::NoPermission, "no permission to open the keyboard"};
        case ConnectionState::Failed:
            return deviceError("the keyboard cannot be opened");
        case ConnectionState::Connected:
        case ConnectionState::Absent:
            break;
    }
    return {ErrorKind::NotConnected, "keyboard not connected"};
}

Error Session::classifyFailure(Error error) {
    if (error.kind != ErrorKind::Device && error.kind != ErrorKind::Unplugged) return error;
    error.kind = m_opener.keyboardPresent() ? ErrorKind::Device : ErrorKind::Unplugged;
    return error;
}

bool Session::keepsUnsentEdits(const model::ConfigState& state) const {
    // A failed Save, or edits not saved yet: a replug must not take the user's work away.
    return state.image != state.syncedImage || state.actions != state.syncedActions;
}

Status Session::onCopy(const std::function<Status(model::ConfigState&)>& work) {
    const std::unique_ptr<model::ConfigState> base = m_model.copy();
    auto result = std::make_unique<model::ConfigState>(*base);
    Status s = work(*result);
    m_model.merge(*base, *result);
    return s;
}

Status Session::syncOnCopy(SyncReason reason,
                           const std::function<Status(model::ConfigState&)>& read) {
    Status s = onCopy([&](model::ConfigState& state) TAVRIK_REQUIRES(m_worker) {
        Status r = read ? read(state) : Status{};
        model::recomputeChangedKeys(state);
        if (reason == SyncReason::KeyboardRead && m_command) {
            // A failed re-read keeps the values of the read-all.
            model::Image& target = keepsUnsentEdits(state) ? state.syncedImage : state.image;
            [[maybe_unused]] Status lit = readLighting(commandLink(), target);
        }
        return r;
    });
    if (Status saved = m_model.save(); !saved) {
        m_notifier->post(
            [this, saved] { m_listener.debugLine("keymap.bin: " + saved.error().context); });
    }
    return s;
}

Status Session::runOpeningRead() {
    switch (m_options.opening) {
        case OpeningRead::Startup:
            return runStartupRead();
        case OpeningRead::Inspect:
            return runInspectRead();
        case OpeningRead::VersionOnly:
            break;
    }
    if (!m_command) return notConnected();
    Result<FirmwareVersion> version = readFirmwareVersion(commandLink());
    setVersion(version ? std::optional(version->stored()) : std::nullopt);
    return version ? Status{} : Status(classifyFailure(version.error()));
}

Status Session::runInspectRead() {
    if (!m_command) return notConnected();
    FirmwareVersion version;
    const Status s = onCopy([&](model::ConfigState& state) TAVRIK_REQUIRES(m_worker) {
        model::Image fresh = state.image;
        Status read = readAll(commandLink(), fresh, ReadMode::Inspect, &version);
        if (read) {
            state.image = fresh;
            state.syncedImage = fresh;
            model::recomputeChangedKeys(state);
        }
        return read;
    });
    setVersion(s ? std::optional(version.stored()) : std::nullopt);
    if (s) notifySynced(SyncReason::KeyboardRead);
    return s ? s : Status(classifyFailure(s.error()));
}

Status Session::runStartupRead() {
    if (!m_command) return notConnected();
    FirmwareVersion version;
    const Status s = syncOnCopy(
        SyncReason::KeyboardRead, [&](model::ConfigState& state) TAVRIK_REQUIRES(m_worker) {
            Status read = readAll(commandLink(), state.image, ReadMode::Startup, &version);
            if (read) state.syncedImage = state.image;
            return read;
        });
    setVersion(s ? std::optional(version.stored()) : std::nullopt);
    notifySynced(SyncReason::KeyboardRead);
    return s ? s : Status(classifyFailure(s.error()));
}

Status Session::runSave() {
    const Status s = onCopy([this](model::ConfigState& state) TAVRIK_REQUIRES(m_worker) {
        Status written = m_command ? writeAll(commandLink(), state.image, state.syncedImage, *m_ack)
                                   : Status(notConnected());
        // Only a complete write-all moves the last-synchronised copies, to what was sent, so
        // the next Save sends what did not arrive, and the next arrival keeps it.
        if (written) model::snapshot(state);
        return written;
    });
    // The edits are kept in keymap.bin either way.
    Status saved = m_model.save();
    if (!saved && s) return saved;  // the keyboard has the settings, the file does not
    return s ? s : Status(classifyFailure(s.error()));
}

Status Session::runFactoryReset() {
    if (!m_command) return notConnected();
    Status readBack;
    // A reset that did not reach the keyboard leaves the host copy as it is.
    const Status reset = onCopy([&](model::ConfigState& state) TAVRIK_REQUIRES(m_worker) {
        Status r = device::runFactoryReset(commandLink());
        if (r) {
            readBack = readAll(commandLink(), state.image, ReadMode::Plain);
            model::completeFactoryReset(state);
        }
        return r;
    });
    Status saved;
    if (reset) saved = m_model.save();
    if (!reset) return classifyFailure(reset.error());
    if (!readBack) {
        const Status why = classifyFailure(readBack.error());
        m_notifier->post([this, why] { m_listener.jobFinished(Job::FactoryReadBack, why); });
    }
    return saved;
}

Status Session::runProfileRefresh() {
    syncOnCopy(SyncReason::HostCopyReplaced, {});
    notifySynced(SyncReason::HostCopyReplaced);
    return {};
}

Status Session::runArrival() {
    m_pacer.pause(pause::kArrivalSettle);
    dropDeadChannels();
    Status result;
    if (!m_command && openCommand()) {
        Result<FirmwareVersion> version = readFirmwareVersion(commandLink());
        setVersion(version ? std::optional(version->stored()) : std::nullopt);
        result = syncOnCopy(SyncReason::KeyboardRead,
                            [&](model::ConfigState& state) TAVRIK_REQUIRES(m_worker) {
                                return version ? readOnArrival(state) : Status(version.error());
                            });
        notifySynced(SyncReason::KeyboardRead);
    }
    if (!m_event && openEvent()) {
        syncOnCopy(SyncReason::KeyboardRead, {});
        notifySynced(SyncReason::KeyboardRead);
    }
    return result ? result : Status(classifyFailure(result.error()));
}

Status Session::readOnArrival(model::ConfigState& state) {
    if (keepsUnsentEdits(state)) {
        // A Save did not finish: the user's configuration stays the current one, and what the
        // keyboard now holds becomes the last-synchronised image, so the next Save sends the
        // differences.
        model::Image fresh = state.syncedImage;
        Status s = readAll(commandLink(), fresh, ReadMode::Plain);
        if (s) s = readDiyTables(commandLink(), fresh);
        if (s) state.syncedImage = fresh;
        return s;
    }
    Status s = readAll(commandLink(), state.image, ReadMode::Plain);
    if (s) s = readDiyTables(commandLink(), state.image);
    // What was just read is what the keyboard holds.
    if (s) state.syncedImage = state.image;
    return s;
}

Status Session::runRemoval(const HotplugEvent& event) {
    if (!m_command && !m_event) {
        // A keyboard that could not be opened has left: nothing is refused any more.
        if (!m_opener.keyboardPresent()) {
            MutexLock guard(m_mutex);
            m_lastOpenStatus = ConnectionState::Absent;
        }
        return {};
    }
    const bool ours =
        !event.node.empty() && (event.node == m_commandPath || event.node == m_eventPath);
    // Another device left: keep the channels of a keyboard that is still there.
    if (!ours && m_opener.keyboardPresent()) return {};
    stopReader(ReaderStop::AfterRemoval);
    closeChannels();
    setVersion(std::nullopt);
    m_pacer.pause(pause::kAfterRemoval);
    m_notifier->post([this] { m_listener.debugLine("DBT_DEVICEREMOVECOMPLETE"); });
    return {};
}

Status Session::runClose() {
    stopReader(ReaderStop::Closing);
    closeChannels();
    return {};
}

}  // namespace tavrik::device
