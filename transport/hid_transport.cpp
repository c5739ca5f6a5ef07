#include "transport/hid_transport.h"
#include "transport/hid_event_channel.h"

#include <hidapi/hidapi.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cwchar>
#include <string>

namespace tavrik::hid {

namespace {

using std::chrono::milliseconds;

// A data report the keyboard owes after a read announcement arrives well within this bound;
// a keyboard that stops answering must not hold the device worker for ever.
constexpr milliseconds kDataReadBound{1000};

void ensureInit() {
    static const int once = hid_init();
    (void)once;
}

std::string narrow(const wchar_t* text) {
    if (text == nullptr) return "unknown error";
    std::string out;
    for (; *text != 0; ++text) out += *text < 0x80 ? static_cast<char>(*text) : '?';
    return out;
}

}  // namespace

std::vector<device::HidInterfaceInfo> enumerateInterfaces() {
    ensureInit();
    std::vector<device::HidInterfaceInfo> out;
    hid_device_info* list = hid_enumerate(device::kVendorId, 0);
    for (const hid_device_info* d = list; d != nullptr; d = d->next) {
        out.push_back({d->path != nullptr ? d->path : "", d->vendor_id, d->product_id,
                       d->interface_number, 0});
    }
    hid_free_enumeration(list);
    device::numberCollections(out);
    return out;
}

bool keyboardPresent() {
    const auto list = enumerateInterfaces();
    return std::any_of(list.begin(), list.end(), device::isKeyboard);
}

device::OpenedChannel openChannel(device::ChannelRole role) {
    device::OpenedChannel out;
    const auto list = enumerateInterfaces();
    const std::optional<std::string> path = device::selectPath(list, role);
    if (!path) return out;
    // Event reads must be wakeable when the session closes: see HidEventChannel.
    if (role == device::ChannelRole::Event) return HidEventChannel::open(*path);
    out.path = *path;
    if (hid_device* dev = hid_open_path(path->c_str())) {
        out.status = device::ConnectionState::Connected;
        out.channel = std::make_unique<HidChannel>(dev);
        return out;
    }
    const bool denied = ::access(path->c_str(), R_OK | W_OK) != 0 && errno == EACCES;
    out.status = denied ? device::ConnectionState::NoPermission : device::ConnectionState::Failed;
    return out;
}

HidChannel::HidChannel(hid_device* dev) : m_device(dev) {}

HidChannel::~HidChannel() {
    close();
}

Error HidChannel::failure(const char* what) const {
    if (m_device == nullptr) return deviceError(std::string(what) + ": channel closed");
    return deviceError(std::string(what) + ": " + narrow(hid_error(m_device)));
}

Status HidChannel::setFeature(std::span<const std::uint8_t, device::kFeatureReportSize> report) {
    if (m_device == nullptr) return failure("set feature");
    const int n = hid_send_feature_report(m_device, report.data(), report.size());
    if (n < static_cast<int>(report.size())) return failure("set feature");
    return {};
}

Status HidChannel::getFeature(std::span<std::uint8_t, device::kFeatureReportSize> buffer) {
    if (m_device == nullptr) return failure("get feature");
    std::array<std::uint8_t, device::kFeatureReportSize> tmp{};
    tmp[0] = buffer[0];
    const int n = hid_get_feature_report(m_device, tmp.data(), tmp.size());
    if (n < static_cast<int>(tmp.size())) return failure("get feature");
    std::copy(tmp.begin(), tmp.end(), buffer.begin());
    return {};
}

Status HidChannel::writeData(std::span<const std::uint8_t, device::kDataReportSize> report) {
    if (m_device == nullptr) return failure("write data");
    const int n = hid_write(m_device, report.data(), report.size());
    if (n < static_cast<int>(report.size())) return failure("write data");
    return {};
}

Status HidChannel::readData(std::span<std::uint8_t, device::kDataReportSize> buffer) {
    if (m_device == nullptr) return failure("read data");
    const auto deadline = std::chrono::steady_clock::now() + kDataReadBound;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return deviceError("read data: no report from the keyboard");
        std::array<std::uint8_t, device::kDataReportSize> tmp{};
        const int n =
            hid_read_timeout(m_device, tmp.data(), tmp.size(), static_cast<int>(left.count()));
        if (n < 0) return failure("read data");
        if (n == 0) continue;
        // Other input reports of the node (event reports) are not data reports: skip them.
        if (auto r = device::normaliseDataReport(
                std::span<const std::uint8_t>(tmp.data(), static_cast<std::size_t>(n)))) {
            std::copy(r->begin(), r->end(), buffer.begin());
            return {};
        }
    }
}

Result<std::optional<device::EventReport>> HidChannel::readEvent(milliseconds) {
    // Event reports come through the event node's own channel (HidEventChannel).
    return deviceError("the command channel carries no event reports");
}

void HidChannel::close() {
    if (m_device != nullptr) hid_close(m_device);
    m_device = nullptr;
}

}  // namespace tavrik::hid
