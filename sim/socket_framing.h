#pragma once
// Framing of the kbsim Unix socket: every message is one frame of a type byte, a 16-bit
// little-endian payload length and the payload. Frames larger than kMaxFramePayload are
// malformed and end the connection.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

namespace tavrik::sim::frame {

inline constexpr std::size_t kHeaderSize = 3;
inline constexpr std::size_t kMaxFramePayload = 1024;

// Client to server.
inline constexpr std::uint8_t kHello = 'H';       // payload: one role byte
inline constexpr std::uint8_t kSetFeature = 'F';  // payload: the feature report
inline constexpr std::uint8_t kGetFeature = 'G';  // payload: the buffer (byte 0 = report ID)
inline constexpr std::uint8_t kWriteData = 'W';   // payload: the data report
inline constexpr std::uint8_t kReadData = 'R';    // payload: empty
// Server to client.
inline constexpr std::uint8_t kOk = 'O';       // answer; payload: reply report or empty
inline constexpr std::uint8_t kFailed = 'X';   // answer; payload: reason (text)
inline constexpr std::uint8_t kEvent = 'E';    // event report as the keyboard sent it
inline constexpr std::uint8_t kPlugged = 'P';  // to monitors
inline constexpr std::uint8_t kUnplugged = 'U';

// Roles named in the hello frame.
inline constexpr std::uint8_t kRoleCommand = 'C';
inline constexpr std::uint8_t kRoleEvent = 'E';
inline constexpr std::uint8_t kRoleMonitor = 'M';

struct Frame {
    std::uint8_t type = 0;
    std::vector<std::uint8_t> payload;
};

std::vector<std::uint8_t> encode(std::uint8_t type, std::span<const std::uint8_t> payload = {});

// Collects bytes from a stream and hands out whole frames.
class Decoder {
public:
    void feed(std::span<const std::uint8_t> bytes);
    // The next whole frame; nothing when more bytes are needed or the stream is malformed.
    std::optional<Frame> next();
    bool malformed() const { return m_malformed; }

private:
    std::vector<std::uint8_t> m_buffer;
    bool m_malformed = false;
};

}  // namespace tavrik::sim::frame
