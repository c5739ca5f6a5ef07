#pragma once
// Framing of the three report kinds exchanged with the keyboard. Byte 0 of every report is its
// report ID. All multi-byte values are single bytes; there is no byte order to mind.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tavrik::device {

// Feature report (9 bytes, report ID 0): command code, six parameters, checksum.
inline constexpr std::size_t kFeatureReportSize = 9;
namespace feature {
inline constexpr std::size_t kReportIdByte = 0;
inline constexpr std::size_t kCode = 1;
inline constexpr std::size_t kFirstParam = 2;  // bytes 2..7
inline constexpr std::size_t kParamCount = 6;
inline constexpr std::size_t kChecksum = 8;
inline constexpr std::uint8_t kReportId = 0;
}  // namespace feature

// Data report (65 bytes, report ID 0): 64 payload bytes on the command channel.
inline constexpr std::size_t kDataReportSize = 65;
inline constexpr std::size_t kDataPayloadSize = 64;
namespace data {
inline constexpr std::size_t kReportIdByte = 0;
inline constexpr std::size_t kPayload = 1;
inline constexpr std::uint8_t kReportId = 0;
}  // namespace data

// Event report (4 bytes, report ID 4) on the event channel: kind, code, spare.
inline constexpr std::size_t kEventReportSize = 4;
namespace event {
inline constexpr std::size_t kReportIdByte = 0;
inline constexpr std::size_t kKind = 1;
inline constexpr std::size_t kCode = 2;
inline constexpr std::size_t kSpare = 3;
inline constexpr std::uint8_t kReportId = 4;
inline constexpr std::uint8_t kKindAck = 4;  // any other kind is a key event
inline constexpr std::uint8_t kKindKey = 1;  // the kind the keyboard uses for key events
}  // namespace event

using FeatureReport = std::array<std::uint8_t, kFeatureReportSize>;
using DataReport = std::array<std::uint8_t, kDataReportSize>;
using EventReport = std::array<std::uint8_t, kEventReportSize>;
using FeatureParams = std::array<std::uint8_t, feature::kParamCount>;

static_assert(sizeof(FeatureReport) == 9);
static_assert(sizeof(DataReport) == 65);
static_assert(sizeof(EventReport) == 4);
static_assert(data::kPayload + kDataPayloadSize == kDataReportSize);

// (0xFF - (byte1 + ... + byte7)) mod 256.
std::uint8_t reportChecksum(std::span<const std::uint8_t, kFeatureReportSize> report);
// A feature report with report ID 0, the code, the parameters for bytes 2..7 and its checksum.
FeatureReport makeFeature(std::uint8_t code, const FeatureParams& params = {});
// True when the report ID is 0 and byte 8 holds the checksum of bytes 1..7.
bool featureValid(std::span<const std::uint8_t, kFeatureReportSize> report);

// A data report with report ID 0 carrying up to 64 payload bytes; the rest is zero.
DataReport makeDataReport(std::span<const std::uint8_t> payload);
std::span<const std::uint8_t, kDataPayloadSize> dataPayload(const DataReport& report);

// A data report as a transport delivered it, in the 65-byte form: 64 bytes without the
// report-ID byte (hidraw) gain a leading 0; 65 bytes with report ID 0 pass as they are.
// Anything else is not a data report.
std::optional<DataReport> normaliseDataReport(std::span<const std::uint8_t> bytes);

// The buffer the host prepares before each event read: byte 0 = 4, byte 2 = 0.
EventReport eventReadBuffer();
// True for a complete event report with report ID 4; anything else is dropped by the readers.
bool isEventReport(std::span<const std::uint8_t> bytes);
bool isAcknowledgement(const EventReport& report);

}  // namespace tavrik::device
