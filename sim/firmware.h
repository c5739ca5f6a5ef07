#pragma once
// The emulated keyboard's firmware: keeps its own configuration image and firmware version,
// parses the very reports a keyboard receives, applies every set command and burst, answers
// every read from its own state, acknowledges completed write steps, reports key events for
// keys programmed as host actions, checks the host's protocol and injects faults on request.
// Thread-safe: the command side and the event side may be used from different threads.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/thread_annotations.h"
#include "device/bursts.h"
#include "device/reports.h"
#include "model/image_layout.h"

namespace tavrik::sim {

using device::DataReport;
using device::EventReport;
using device::FeatureReport;

struct Faults {
    bool noAcknowledgements = false;  // completed write steps are not acknowledged
    bool noGetReply = false;          // get feature requests go unanswered
    bool garbageEvents = false;       // every acknowledgement is preceded by foreign reports
    bool badReplyChecksum = false;    // get replies carry a checksum that does not match
    int removeAfterPackets = -1;      // unplug after this many more data packets (-1: never)
};

enum class Direction { HostToKeyboard, KeyboardToHost };
enum class ReportKind { Feature, Data, Event };

// Observes every report received and sent (for the trace).
using TraceSink = std::function<void(Direction, ReportKind, std::span<const std::uint8_t>)>;

class Firmware {
public:
    using Clock = std::function<std::chrono::microseconds()>;

    // `now` times the pauses the host keeps before a burst's first packet; by default the
    // steady clock.
    explicit Firmware(Clock now = {});

    // Host to keyboard. Reports of the wrong length or framing count as protocol errors.
    // All return false when the keyboard is unplugged (the transport fails).
    bool receiveFeature(std::span<const std::uint8_t> report);
    bool receiveData(std::span<const std::uint8_t> report);
    // Keyboard to host: the reply to a get; nothing when there is none to give.
    std::optional<FeatureReport> replyFeature();
    // The next packet of a read burst; nothing outside a read burst.
    std::optional<DataReport> sendData();
    // The packets a read burst has left to send (a USB keyboard pushes them on its interrupt
    // endpoint instead of waiting to be asked); 0 outside a read burst.
    std::size_t readBurstPacketsLeft() const;
    // Waits at most `timeout` for an event report (any bytes; a real event channel may carry
    // reports of other IDs). Nothing on time-out or when unplugged.
    // Ends early, with nothing, once *cancelled is true (see wakeEventReaders).
    std::optional<std::vector<std::uint8_t>> nextEvent(
        std::chrono::milliseconds timeout, const std::atomic<bool>* cancelled = nullptr);
    // Wakes every nextEvent waiting, to look at its cancelled flag again.
    void wakeEventReaders();
    std::size_t pendingEvents() const;

    // A key press: queues a key event when the key's cell has code type 10. False otherwise.
    bool pressKey(int slot);

    void plug();
    void unplug();
    bool plugged() const;
    // Models a keyboard whose device nodes the user may not open (no udev rule): while set,
    // opening a channel is refused with NoPermission.
    void setAccessDenied(bool denied);
    bool accessDenied() const;
    // Called (outside the firmware's lock) with true on plug and false on unplug.
    void setPlugListener(std::function<void(bool)> listener);
    // Counts plug-ins: a channel opened before an unplug stays dead after the next plug.
    std::uint64_t generation() const;

    void setFaults(const Faults& faults);
    void setTrace(TraceSink sink);

    model::Image image() const;
    void setImage(const model::Image& image);
    void setFirmwareVersion(std::uint8_t major, std::uint8_t minor);
    std::uint8_t versionMajor() const;
    std::uint8_t versionMinor() const;
    std::uint64_t acknowledgementsSent() const;

    // Factory state: factory key codes, every key enabled, default lighting.
    void factoryReset();

    std::vector<std::string> protocolErrors() const;
    void clearProtocolErrors();
    // A readable dump of the state (version, settings, burst state, error count).
    std::string describe() const;

private:
    struct Burst {
        device::Region region{};
        std::size_t index = 0;
        bool write = true;
        std::size_t next = 0;  // packets moved so far
        std::chrono::microseconds announcedAt{0};
        std::vector<std::uint8_t> block;
    };

    // Each runs with m_mutex held.
    void error(std::string text) TAVRIK_REQUIRES(m_mutex);
    void trace(Direction d, ReportKind k, std::span<const std::uint8_t> bytes)
        TAVRIK_REQUIRES(m_mutex);
    void applyFeature(const FeatureReport& r) TAVRIK_REQUIRES(m_mutex);
    void applySet(const FeatureReport& r) TAVRIK_REQUIRES(m_mutex);
    void startBurst(const FeatureReport& r, device::Region region, bool write)
        TAVRIK_REQUIRES(m_mutex);
    void finishWriteBurst() TAVRIK_REQUIRES(m_mutex);
    void reportWinLock() TAVRIK_REQUIRES(m_mutex);
    void prepareReply(const FeatureReport& r) TAVRIK_REQUIRES(m_mutex);
    void acknowledge() TAVRIK_REQUIRES(m_mutex);
    void pushEvent(std::vector<std::uint8_t> bytes) TAVRIK_REQUIRES(m_mutex);
    void countPacketForRemoval(std::function<void(bool)>& notify) TAVRIK_REQUIRES(m_mutex);
    void unplugLocked() TAVRIK_REQUIRES(m_mutex);
    void resetLocked() TAVRIK_REQUIRES(m_mutex);
    std::chrono::microseconds now() const;

    Clock m_now;
    mutable Mutex m_mutex;
    std::condition_variable m_eventReady;
    model::Image m_image TAVRIK_GUARDED_BY(m_mutex){};
    std::uint8_t m_major TAVRIK_GUARDED_BY(m_mutex) = 1;
    std::uint8_t m_minor TAVRIK_GUARDED_BY(m_mutex) = 1;
    std::optional<Burst> m_burst TAVRIK_GUARDED_BY(m_mutex);
    std::optional<FeatureReport> m_reply TAVRIK_GUARDED_BY(m_mutex);
    std::deque<std::vector<std::uint8_t>> m_events TAVRIK_GUARDED_BY(m_mutex);
    std::vector<std::string> m_errors TAVRIK_GUARDED_BY(m_mutex);
    Faults m_faults TAVRIK_GUARDED_BY(m_mutex);
    bool m_plugged TAVRIK_GUARDED_BY(m_mutex) = true;
    bool m_accessDenied TAVRIK_GUARDED_BY(m_mutex) = false;
    std::uint64_t m_generation TAVRIK_GUARDED_BY(m_mutex) = 1;
    std::uint64_t m_acks TAVRIK_GUARDED_BY(m_mutex) = 0;
    std::function<void(bool)> m_plugListener TAVRIK_GUARDED_BY(m_mutex);
    TraceSink m_trace TAVRIK_GUARDED_BY(m_mutex);
};

}  // namespace tavrik::sim
