#pragma once
// The one transport seam: a channel to the keyboard. The command channel carries feature and
// data reports, the event channel event reports. Byte 0 of every report passed through this
// interface is the report ID (0 for feature and data reports, 4 for event reports), whatever
// the transport below does with it. Implementations: hidapi (transport/), the in-process emulator
// and the kbsim socket client (sim).

#include <chrono>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "common/result.h"
#include "device/connection_state.h"
#include "device/reports.h"

namespace tavrik::device {

class Channel {
public:
    virtual ~Channel() = default;

    // Sends one 9-byte feature report.
    virtual Status setFeature(std::span<const std::uint8_t, kFeatureReportSize> report) = 0;
    // Fetches one 9-byte feature report. The caller sets buffer byte 0 to the report ID; on
    // failure the buffer may hold anything.
    virtual Status getFeature(std::span<std::uint8_t, kFeatureReportSize> buffer) = 0;
    // Writes one 65-byte data report.
    virtual Status writeData(std::span<const std::uint8_t, kDataReportSize> report) = 0;
    // Reads one 65-byte data report (normalised to carry report ID 0 in byte 0).
    virtual Status readData(std::span<std::uint8_t, kDataReportSize> buffer) = 0;
    // Waits at most `timeout` for one event report with report ID 4; reports with another ID
    // are dropped. Nothing when the wait ends without one; an error when the channel is gone.
    virtual Result<std::optional<EventReport>> readEvent(std::chrono::milliseconds timeout) = 0;
    // Ends the event reads, from another thread than the reader's: a readEvent in progress
    // returns nothing at once, and so does every later one. The session calls it before it
    // closes, so that closing never waits out a read. A channel that cannot be woken keeps the
    // default, and its reads end at their timeout.
    virtual void cancelReads() {}
    // Closes the channel; every later call fails. Safe to call more than once.
    virtual void close() = 0;
};

enum class ChannelRole { Command, Event };

// Outcome of opening a channel, in the terms of the connection state: distinct for "no keyboard"
// and "keyboard present but its node may not be opened" so that the window can tell the user to
// install the udev rule.
struct OpenedChannel {
    ConnectionState status = ConnectionState::Absent;
    std::unique_ptr<Channel> channel;  // set only when status is Connected
    std::string path;                  // the node found, when one was found
};

}  // namespace tavrik::device
