#include "device/reports.h"

#include <algorithm>

namespace tavrik::device {

std::uint8_t reportChecksum(std::span<const std::uint8_t, kFeatureReportSize> report) {
    unsigned sum = 0;
    for (std::size_t i = feature::kCode; i < feature::kChecksum; ++i) sum += report[i];
    return static_cast<std::uint8_t>(0xFFu - sum);
}

FeatureReport makeFeature(std::uint8_t code, const FeatureParams& params) {
    FeatureReport r{};
    r[feature::kReportIdByte] = feature::kReportId;
    r[feature::kCode] = code;
    std::copy(params.begin(), params.end(), r.begin() + feature::kFirstParam);
    r[feature::kChecksum] = reportChecksum(r);
    return r;
}

bool featureValid(std::span<const std::uint8_t, kFeatureReportSize> report) {
    return report[feature::kReportIdByte] == feature::kReportId &&
           report[feature::kChecksum] == reportChecksum(report);
}

DataReport makeDataReport(std::span<const std::uint8_t> payload) {
    DataReport r{};
    r[data::kReportIdByte] = data::kReportId;
    const std::size_t n = std::min(payload.size(), kDataPayloadSize);
    std::copy_n(payload.begin(), n, r.begin() + data::kPayload);
    return r;
}

std::span<const std::uint8_t, kDataPayloadSize> dataPayload(const DataReport& report) {
    return std::span<const std::uint8_t, kDataPayloadSize>(report.data() + data::kPayload,
                                                           kDataPayloadSize);
}

std::optional<DataReport> normaliseDataReport(std::span<const std::uint8_t> bytes) {
    if (bytes.size() == kDataPayloadSize) return makeDataReport(bytes);
    if (bytes.size() == kDataReportSize && bytes[data::kReportIdByte] == data::kReportId) {
        DataReport r{};
        std::copy(bytes.begin(), bytes.end(), r.begin());
        return r;
    }
    return std::nullopt;
}

EventReport eventReadBuffer() {
    EventReport r{};
    r[event::kReportIdByte] = event::kReportId;
    r[event::kCode] = 0;
    return r;
}

bool isEventReport(std::span<const std::uint8_t> bytes) {
    return bytes.size() == kEventReportSize && bytes[event::kReportIdByte] == event::kReportId;
}

bool isAcknowledgement(const EventReport& report) {
    return report[event::kKind] == event::kKindAck;
}

}  // namespace tavrik::device
