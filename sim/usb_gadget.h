#pragma once
// The emulated keyboard as a real USB device for a real kernel: the firmware model behind a
// configfs gadget with one FunctionFS function (four HID interfaces, usb_descriptors.h), bound to
// a USB device controller such as dummy_hcd's. The kernel's usbhid and hidraw drivers meet it as
// a plugged-in keyboard. Linux only; needs root, configfs and the usb_f_fs module.
//
// Threads: ep0 (enumeration and the class requests: GET_REPORT / SET_REPORT carry the feature
// reports of interface 3), the event endpoint of interface 1 (acknowledgements and key events),
// the interrupt IN and OUT endpoints of interface 3 (data reports), and one that binds and
// unbinds the controller when the firmware is plugged or unplugged (operator commands, the
// remove fault).

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "common/result.h"
#include "common/thread_annotations.h"
#include "sim/firmware.h"

namespace tavrik::sim {

struct GadgetConfig {
    std::string name = "tavrik";  // configfs gadget and FunctionFS instance name
    std::uint16_t vendorId = 0x04D9;
    std::uint16_t productId = 0xA131;
    std::string udc = "dummy_udc.0";  // the controller in /sys/class/udc
    std::string serial = "TAVRIK0001";
    std::string configfs = "/sys/kernel/config/usb_gadget";
    // Told (on the plugging thread) each time the controller has been bound or unbound.
    std::function<void(bool bound)> onBound;
};

class UsbGadget {
public:
    UsbGadget(Firmware& firmware, GadgetConfig config);
    ~UsbGadget();
    UsbGadget(const UsbGadget&) = delete;
    UsbGadget& operator=(const UsbGadget&) = delete;

    // Creates the gadget, mounts FunctionFS, writes the descriptors, starts the threads and
    // binds the controller (the keyboard is plugged in when this returns).
    Status start();
    // Unbinds the controller, ends the threads and removes the gadget again. Safe to call more
    // than once.
    void stop();

    bool bound() const;

private:
    struct Setup {
        std::uint8_t requestType;
        std::uint8_t request;
        std::uint16_t value;
        std::uint16_t index;
        std::uint16_t length;
    };

    Status createGadget();
    Status openFunctionFs();
    Status writeUdc(const std::string& text);
    void removeGadget();

    void ep0Loop();
    void handleSetup(const Setup& s);
    void stall(const Setup& s);
    void answer(const Setup& s, const std::uint8_t* data, std::size_t size);
    void acknowledgeOut(const Setup& s);
    void eventLoop();
    void dataInLoop();
    void dataOutLoop();
    void plugLoop();
    void onPlug(bool plugged);

    Firmware& m_firmware;
    GadgetConfig m_config;
    std::string m_gadgetDir;
    std::string m_mountDir;
    bool m_created = false;
    bool m_mounted = false;
    int m_ep0 = -1;
    int m_eventIn = -1;
    int m_dataIn = -1;
    int m_dataOut = -1;

    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_bound{false};
    Mutex m_mutex;
    std::condition_variable m_wake;
    // Of the read burst whose reply the host fetched.
    std::size_t m_packetsToPush TAVRIK_GUARDED_BY(m_mutex) = 0;
    std::optional<bool> m_wantPlugged TAVRIK_GUARDED_BY(m_mutex);  // for the plug thread

    std::thread m_ep0Thread, m_eventThread, m_dataInThread, m_dataOutThread, m_plugThread;
};

}  // namespace tavrik::sim
