#pragma once
// A session against the emulated keyboard: recording pacer as the emulator's clock, a
// listener that records every notification, and a keymap.bin in a temporary folder.

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "device/session.h"
#include "model/config_model.h"
#include "sim/firmware.h"
#include "sim/openers.h"

namespace tavrik::device::testing_support {

struct Note {
    enum Kind { Synced, Event, Finished, Debug } kind;
    int value = 0;  // SyncReason, event code or Job
    bool ok = true;
    std::string text;
    ErrorKind errorKind = ErrorKind::Device;  // of a failed job
};

class RecordingListener final : public SessionListener {
public:
    void deviceSynced(SyncReason reason) override {
        add({Note::Synced, static_cast<int>(reason), true, {}});
    }
    void deviceEvent(std::uint8_t code) override {
        if (onEvent) onEvent();
        add({Note::Event, code, true, {}});
    }
    void jobFinished(Job job, const Status& s) override {
        add({Note::Finished, static_cast<int>(job), s.ok(), s.ok() ? "" : s.error().context,
             s.ok() ? ErrorKind::Device : s.error().kind});
    }
    void debugLine(const std::string& line) override { add({Note::Debug, 0, true, line}); }

    // Waits (up to 5 s) until a note matches; returns it.
    bool waitFor(const std::function<bool(const Note&)>& match) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(5), [&] {
            for (const Note& n : m_notes) {
                if (match(n)) return true;
            }
            return false;
        });
    }
    bool waitFinished(Job job) {
        return waitFor([job](const Note& n) {
            return n.kind == Note::Finished && n.value == static_cast<int>(job);
        });
    }
    std::vector<Note> take() {
        std::lock_guard<std::mutex> guard(m_mutex);
        std::vector<Note> out;
        out.swap(m_notes);
        return out;
    }
    // The last recorded end of `job`, when there is one.
    std::optional<Note> finished(Job job) {
        std::lock_guard<std::mutex> guard(m_mutex);
        for (auto it = m_notes.rbegin(); it != m_notes.rend(); ++it) {
            if (it->kind == Note::Finished && it->value == static_cast<int>(job)) return *it;
        }
        return std::nullopt;
    }
    int count(Note::Kind kind) {
        std::lock_guard<std::mutex> guard(m_mutex);
        int n = 0;
        for (const Note& note : m_notes) n += note.kind == kind;
        return n;
    }

    std::function<void()> onEvent;  // runs on the notification thread before recording

private:
    void add(Note n) {
        {
            std::lock_guard<std::mutex> guard(m_mutex);
            m_notes.push_back(std::move(n));
        }
        m_changed.notify_all();
    }
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Note> m_notes;
};

class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/tavrik-sessionXXXXXX";
        m_path = ::mkdtemp(pattern);
    }
    ~TempFolder() { std::filesystem::remove_all(m_path); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

struct SessionRig {
    explicit SessionRig(SessionOptions options = {std::chrono::milliseconds{300}})
        : model(folder.path() / "keymap.bin"),
          firmware([this] { return pacer.elapsed(); }),
          opener(firmware) {
        model.startup();
        session = std::make_unique<Session>(opener, pacer, model, listener, options);
        firmware.setTrace(
            [this](sim::Direction d, sim::ReportKind k, std::span<const std::uint8_t> b) {
                if (d != sim::Direction::HostToKeyboard) return;
                std::lock_guard<std::mutex> guard(sentMutex);
                sent.push_back({k, std::vector<std::uint8_t>(b.begin(), b.end())});
            });
    }
    ~SessionRig() { session.reset(); }

    // Opens the session and waits for the start-up read; clears what it recorded.
    void start() {
        session->open();
        listener.waitFinished(Job::StartupRead);
        session->waitIdle();
        // The acknowledgement of the read's opening 0x09 must not be taken for a later step's.
        for (int i = 0; i < 500 && firmware.pendingEvents() > 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds{1});
        }
        std::this_thread::sleep_for(std::chrono::milliseconds{20});
        listener.take();
        takeSent();
        pacer.take();
    }

    // The session hears plugging and unplugging as the hot-plug monitor would report them.
    void forwardPlugEvents() {
        firmware.setPlugListener([this](bool plugged) {
            if (plugged) {
                session->deviceArrived({HotplugKind::Arrival, ""});
            } else {
                session->deviceRemoved({HotplugKind::Removal, ""});
            }
        });
    }

    std::vector<std::pair<sim::ReportKind, std::vector<std::uint8_t>>> takeSent() {
        std::lock_guard<std::mutex> guard(sentMutex);
        auto out = std::move(sent);
        sent.clear();
        return out;
    }

    void edit(const std::function<void(model::ConfigState&)>& f) { model.withLock(f); }
    model::ConfigState copyState() {
        return model.withLock([](model::ConfigState& s) { return s; });
    }

    TempFolder folder;
    model::ConfigModel model;
    RecordingPacer pacer;
    sim::Firmware firmware;
    sim::SimOpener opener;
    RecordingListener listener;
    std::unique_ptr<Session> session;
    std::mutex sentMutex;
    std::vector<std::pair<sim::ReportKind, std::vector<std::uint8_t>>> sent;
};

}  // namespace tavrik::device::testing_support
