#include "sim/usb_gadget.h"

#include <fcntl.h>
#include <linux/usb/functionfs.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "device/reports.h"
#include "sim/usb_descriptors.h"

namespace tavrik::sim {

namespace {

using namespace std::chrono_literals;

// Blocking FunctionFS calls are ended by this signal when the gadget stops (no SA_RESTART).
constexpr int kWakeSignal = SIGUSR1;

void onWakeSignal(int) {}

void installWakeSignal() {
    struct sigaction sa {};
    sa.sa_handler = onWakeSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;
    sigaction(kWakeSignal, &sa, nullptr);
}

Error fail(const std::string& what) {
    return systemError(what + ": " + std::strerror(errno));
}

bool writeFile(const std::string& path, const std::string& text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

std::string hex4(std::uint16_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%04x", v);
    return buf;
}

// Ends a thread blocked in a FunctionFS call: the signal interrupts the call, the loop sees the
// stop flag. Repeated, since the signal may come just before the thread blocks again.
void endThread(std::thread& t) {
    if (!t.joinable()) return;
    const pthread_t handle = t.native_handle();
    std::atomic<bool> joined{false};
    std::thread waker([&] {
        while (!joined.load()) {
            pthread_kill(handle, kWakeSignal);
            std::this_thread::sleep_for(5ms);
        }
    });
    t.join();
    joined = true;
    waker.join();
}

}  // namespace

UsbGadget::UsbGadget(Firmware& firmware, GadgetConfig config)
    : m_firmware(firmware), m_config(std::move(config)) {
    m_gadgetDir = m_config.configfs + "/" + m_config.name;
    m_mountDir = "/dev/ffs-" + m_config.name;
}

UsbGadget::~UsbGadget() {
    stop();
}

bool UsbGadget::bound() const {
    return m_bound.load();
}

Status UsbGadget::createGadget() {
    const std::string& g = m_gadgetDir;
    const std::string function = g + "/functions/ffs." + m_config.name;
    const std::string config = g + "/configs/c.1";
    if (::mkdir(g.c_str(), 0755) != 0) return fail("cannot create " + g);
    m_created = true;
    const bool ok = writeFile(g + "/idVendor", hex4(m_config.vendorId)) &&
                    writeFile(g + "/idProduct", hex4(m_config.productId)) &&
                    writeFile(g + "/bcdDevice", "0x0101") && writeFile(g + "/bcdUSB", "0x0200") &&
                    ::mkdir((g + "/strings/0x409").c_str(), 0755) == 0 &&
                    writeFile(g + "/strings/0x409/manufacturer", "Tavrik") &&
                    writeFile(g + "/strings/0x409/product", "Tavrik 87Rev emulated keyboard") &&
                    writeFile(g + "/strings/0x409/serialnumber", m_config.serial) &&
                    ::mkdir(config.c_str(), 0755) == 0 && writeFile(config + "/MaxPower", "100") &&
                    ::mkdir((config + "/strings/0x409").c_str(), 0755) == 0 &&
                    writeFile(config + "/strings/0x409/configuration", "Keyboard") &&
                    ::mkdir(function.c_str(), 0755) == 0 &&
                    ::symlink(function.c_str(), (config + "/ffs." + m_config.name).c_str()) == 0;
    if (!ok) return fail("cannot set up the gadget in " + g);
    return {};
}

Status UsbGadget::openFunctionFs() {
    ::mkdir(m_mountDir.c_str(), 0755);
    if (::mount(m_config.name.c_str(), m_mountDir.c_str(), "functionfs", 0, nullptr) != 0) {
        return fail("cannot mount functionfs on " + m_mountDir);
    }
    m_mounted = true;
    m_ep0 = ::open((m_mountDir + "/ep0").c_str(), O_RDWR | O_CLOEXEC);
    if (m_ep0 < 0) return fail("cannot open ep0");
    const std::vector<std::uint8_t> descriptors = usb::functionFsDescriptors();
    const std::vector<std::uint8_t> strings = usb::functionFsStrings();
    if (::write(m_ep0, descriptors.data(), descriptors.size()) !=
        static_cast<ssize_t>(descriptors.size())) {
        return fail("FunctionFS refused the descriptors");
    }
    if (::write(m_ep0, strings.data(), strings.size()) != static_cast<ssize_t>(strings.size())) {
        return fail("FunctionFS refused the strings");
    }
    auto openEp = [&](int n, int& fd) {
        fd = ::open((m_mountDir + "/ep" + std::to_string(n)).c_str(), O_RDWR | O_CLOEXEC);
        return fd >= 0;
    };
    if (!openEp(usb::kEventInEndpointFile, m_eventIn) ||
        !openEp(usb::kCommandInEndpointFile, m_dataIn) ||
        !openEp(usb::kCommandOutEndpointFile, m_dataOut)) {
        return fail("cannot open the endpoint files in " + m_mountDir);
    }
    return {};
}

Status UsbGadget::writeUdc(const std::string& text) {
    if (!writeFile(m_gadgetDir + "/UDC", text + "\n")) {
        return fail("cannot write '" + text + "' to " + m_gadgetDir + "/UDC");
    }
    return {};
}

Status UsbGadget::start() {
    installWakeSignal();
    if (Status s = createGadget(); !s) return s;
    if (Status s = openFunctionFs(); !s) return s;
    // ep0 must be read before the controller is bound: enumeration asks for the report
    // descriptors through it.
    m_ep0Thread = std::thread([this] { ep0Loop(); });
    m_eventThread = std::thread([this] { eventLoop(); });
    m_dataInThread = std::thread([this] { dataInLoop(); });
    m_dataOutThread = std::thread([this] { dataOutLoop(); });
    m_plugThread = std::thread([this] { plugLoop(); });
    m_firmware.setPlugListener([this](bool plugged) { onPlug(plugged); });
    if (m_firmware.plugged()) {
        if (Status s = writeUdc(m_config.udc); !s) return s;
        m_bound = true;
    }
    return {};
}

void UsbGadget::stop() {
    if (m_stop.exchange(true)) return;
    m_firmware.setPlugListener({});
    if (m_bound.exchange(false)) (void)writeUdc("");
    m_wake.notify_all();
    endThread(m_plugThread);
    endThread(m_eventThread);
    endThread(m_dataInThread);
    endThread(m_dataOutThread);
    endThread(m_ep0Thread);
    for (int* fd : {&m_eventIn, &m_dataIn, &m_dataOut, &m_ep0}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
    removeGadget();
}

void UsbGadget::removeGadget() {
    if (m_mounted) ::umount(m_mountDir.c_str());
    m_mounted = false;
    ::rmdir(m_mountDir.c_str());
    if (!m_created) return;
    const std::string& g = m_gadgetDir;
    const std::string config = g + "/configs/c.1";
    ::unlink((config + "/ffs." + m_config.name).c_str());
    ::rmdir((config + "/strings/0x409").c_str());
    ::rmdir(config.c_str());
    ::rmdir((g + "/functions/ffs." + m_config.name).c_str());
    ::rmdir((g + "/strings/0x409").c_str());
    ::rmdir(g.c_str());
    m_created = false;
}

// ---- plugging --------------------------------------------------------------------------------

void UsbGadget::onPlug(bool plugged) {
    // Called from whichever thread plugged or unplugged the firmware (the remove fault fires on
    // the data thread): the controller is bound and unbound on a thread of its own.
    {
        MutexLock guard(m_mutex);
        m_wantPlugged = plugged;
    }
    m_wake.notify_all();
}

void UsbGadget::plugLoop() {
    MutexLock lock(m_mutex);
    while (!m_stop) {
        m_wake.wait(lock.native(), [this]() TAVRIK_REQUIRES(m_mutex) {
            return m_stop || m_wantPlugged.has_value();
        });
        if (m_stop) return;
        const bool plugged = *m_wantPlugged;
        m_wantPlugged.reset();
        lock.unlock();
        if (plugged != m_bound.load()) {
            if (writeUdc(plugged ? m_config.udc : "")) {
                m_bound = plugged;
                if (m_config.onBound) m_config.onBound(plugged);
            }
        }
        lock.lock();
    }
}

// ---- ep0 -------------------------------------------------------------------------------------

void UsbGadget::ep0Loop() {
    std::array<usb_functionfs_event, 4> events{};
    while (!m_stop) {
        const ssize_t n = ::read(m_ep0, events.data(), sizeof events);
        if (n < 0) {
            if (errno != EINTR) std::this_thread::sleep_for(5ms);
            continue;
        }
        const std::size_t count = static_cast<std::size_t>(n) / sizeof(usb_functionfs_event);
        for (std::size_t i = 0; i < count; ++i) {
            const usb_functionfs_event& e = events[i];
            if (e.type != FUNCTIONFS_SETUP) continue;
            const usb_ctrlrequest& c = e.u.setup;
            handleSetup({c.bRequestType, c.bRequest, c.wValue, c.wIndex, c.wLength});
        }
    }
}

void UsbGadget::stall(const Setup& s) {
    // FunctionFS stalls a control request when ep0 is used against its direction.
    if (s.requestType & usb::request::kDirectionIn) {
        [[maybe_unused]] ssize_t n = ::read(m_ep0, nullptr, 0);
    } else {
        [[maybe_unused]] ssize_t n = ::write(m_ep0, nullptr, 0);
    }
}

void UsbGadget::answer(const Setup& s, const std::uint8_t* data, std::size_t size) {
    [[maybe_unused]] ssize_t n = ::write(m_ep0, data, std::min<std::size_t>(size, s.length));
}

void UsbGadget::acknowledgeOut(const Setup&) {
    [[maybe_unused]] ssize_t n = ::read(m_ep0, nullptr, 0);
}

void UsbGadget::handleSetup(const Setup& s) {
    namespace rq = usb::request;
    const int interface = s.index & 0xFF;
    const std::uint8_t type = s.requestType & rq::kTypeMask;
    const bool in = (s.requestType & rq::kDirectionIn) != 0;
    const std::uint8_t valueHigh = static_cast<std::uint8_t>(s.value >> 8);

    if (type == rq::kTypeStandard && s.request == rq::kGetDescriptor && in) {
        if (valueHigh == usb::kReportDescriptorType) {
            const std::vector<std::uint8_t> d = usb::reportDescriptor(interface);
            if (!d.empty()) return answer(s, d.data(), d.size());
        }
        return stall(s);
    }
    if (type != rq::kTypeClass) return stall(s);

    switch (s.request) {
        case rq::kGetReport: {
            if (!in) return stall(s);
            if (interface == usb::kCommandInterface && valueHigh == usb::kFeatureReportType) {
                // The reply to the last read command, without the report ID byte (interface 3
                // has none). No reply to give: the request stalls and the host's get fails.
                if (const std::optional<FeatureReport> r = m_firmware.replyFeature()) {
                    answer(s, r->data() + 1, r->size() - 1);
                    // The host fetches the reply to a read announcement before the burst's
                    // packets: they follow it on the interrupt endpoint, exactly as many as
                    // the burst has (not into the next burst).
                    if (const std::size_t n = m_firmware.readBurstPacketsLeft(); n > 0) {
                        {
                            MutexLock guard(m_mutex);
                            m_packetsToPush = n;
                        }
                        m_wake.notify_all();
                    }
                    return;
                }
            }
            return stall(s);
        }
        case rq::kSetReport: {
            if (in) return stall(s);
            std::array<std::uint8_t, 1 + 256> buf{};
            const std::size_t want = std::min<std::size_t>(s.length, buf.size() - 1);
            const ssize_t n = ::read(m_ep0, buf.data() + 1, want);
            if (n < 0 || interface != usb::kCommandInterface) return;
            // The report ID byte (0) the host's report carried before the kernel dropped it.
            const std::span<const std::uint8_t> report(buf.data(), 1 + static_cast<std::size_t>(n));
            if (valueHigh == usb::kFeatureReportType) {
                m_firmware.receiveFeature(report);
            } else if (valueHigh == usb::kOutputReportType) {
                m_firmware.receiveData(report);
            }
            return;
        }
        case rq::kSetIdle:
        case rq::kSetProtocol:
            if (in) return stall(s);
            return acknowledgeOut(s);
        case rq::kGetIdle: {
            const std::uint8_t idle = 0;
            return in ? answer(s, &idle, 1) : stall(s);
        }
        case rq::kGetProtocol: {
            const std::uint8_t report = 1;  // report protocol
            return in ? answer(s, &report, 1) : stall(s);
        }
        default:
            return stall(s);
    }
}

// ---- endpoints -------------------------------------------------------------------------------

void UsbGadget::eventLoop() {
    while (!m_stop) {
        const std::optional<std::vector<std::uint8_t>> e = m_firmware.nextEvent(200ms);
        if (!e) continue;
        // Blocks until the host polls the endpoint (it does while a program holds the node
        // open); an unplug ends the write with an error and the event with it.
        [[maybe_unused]] ssize_t n = ::write(m_eventIn, e->data(), e->size());
    }
}

void UsbGadget::dataInLoop() {
    MutexLock lock(m_mutex);
    while (!m_stop) {
        m_wake.wait(lock.native(),
                    [this]() TAVRIK_REQUIRES(m_mutex) { return m_stop || m_packetsToPush > 0; });
        if (m_stop) return;
        --m_packetsToPush;
        lock.unlock();
        // A USB keyboard pushes the packets of a read burst on its interrupt endpoint; the
        // kernel keeps them for the host's reads.
        if (const std::optional<DataReport> packet = m_firmware.sendData()) {
            ssize_t n;
            do {
                n = ::write(m_dataIn, packet->data() + 1, usb::kCommandPacketSize);
            } while (n < 0 && errno == EINTR && !m_stop);
        }
        lock.lock();
    }
}

void UsbGadget::dataOutLoop() {
    std::array<std::uint8_t, 1 + usb::kCommandPacketSize> buf{};
    while (!m_stop) {
        // Exactly one packet: a full-size packet does not end a longer transfer.
        const ssize_t n = ::read(m_dataOut, buf.data() + 1, usb::kCommandPacketSize);
        if (n < 0) {
            if (errno != EINTR) std::this_thread::sleep_for(5ms);
            continue;
        }
        // Output reports arrive without the report ID byte (0) the host's report carried.
        buf[0] = 0;
        m_firmware.receiveData(
            std::span<const std::uint8_t>(buf.data(), 1 + static_cast<std::size_t>(n)));
    }
}

}  // namespace tavrik::sim
