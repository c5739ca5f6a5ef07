#include "sim/usb_descriptors.h"

namespace tavrik::sim::usb {

namespace {

using Bytes = std::vector<std::uint8_t>;

// clang-format off
// Interface 0: the boot keyboard of the USB HID class definition (modifiers, reserved byte, six keys;
// five LEDs out).
const Bytes kBootKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,              // Generic Desktop, Keyboard, Application
    0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02,              //   8 modifier bits
    0x95, 0x01, 0x75, 0x08, 0x81, 0x03,              //   reserved byte
    0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02,  // 5 LEDs
    0x95, 0x01, 0x75, 0x03, 0x91, 0x03,              //   LED padding
    0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65,
    0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00,  //   six key codes
    0xC0,
};

// Interface 1: four top-level collections with numbered reports. The fourth is the event
// channel: input report 4 with three bytes (kind, code, spare).
const Bytes kMultiCollection = {
    // 1: Consumer Control, report 1, one 16-bit usage.
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01,
    0x15, 0x00, 0x26, 0xFF, 0x03, 0x19, 0x00, 0x2A, 0xFF, 0x03,
    0x75, 0x10, 0x95, 0x01, 0x81, 0x00,
    0xC0,
    // 2: System Control, report 2, power / sleep / wake bits.
    0x05, 0x01, 0x09, 0x80, 0xA1, 0x01, 0x85, 0x02,
    0x19, 0x81, 0x29, 0x83, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x03, 0x81, 0x02, 0x95, 0x05, 0x81, 0x01,
    0xC0,
    // 3: vendor page 0xFF00 usage 3, report 3, seven bytes.
    0x06, 0x00, 0xFF, 0x09, 0x03, 0xA1, 0x01, 0x85, 0x03,
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x07, 0x09, 0x03, 0x81, 0x02,
    0xC0,
    // 4: vendor page 0xFF00 usage 4, report 4, three bytes: the event report.
    0x06, 0x00, 0xFF, 0x09, 0x04, 0xA1, 0x01, 0x85, 0x04,
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x03, 0x09, 0x04, 0x81, 0x02,
    0xC0,
};

// Interface 2: one vendor collection without report IDs, eight input bytes.
const Bytes kVendorCollection = {
    0x06, 0x01, 0xFF, 0x09, 0x01, 0xA1, 0x01,
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x08, 0x09, 0x01, 0x81, 0x02,
    0xC0,
};

// Interface 3: the command interface without report IDs: 64 bytes in, 64 bytes out, an 8-byte
// feature report.
const Bytes kCommandCollection = {
    0x06, 0x02, 0xFF, 0x09, 0x01, 0xA1, 0x01,
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
    0x95, 0x40, 0x09, 0x01, 0x81, 0x02,   // input, 64 bytes
    0x95, 0x40, 0x09, 0x01, 0x91, 0x02,   // output, 64 bytes
    0x95, 0x08, 0x09, 0x01, 0xB1, 0x02,   // feature, 8 bytes
    0xC0,
};
// clang-format on

void le16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void le32(Bytes& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

struct Endpoint {
    std::uint8_t address;
    std::uint16_t maxPacket;
};

struct InterfaceShape {
    std::uint8_t subclass;
    std::uint8_t protocol;
    std::vector<Endpoint> endpoints;
};

// Endpoint addresses in the order of the endpoint files (kBootInEndpointFile, ...).
const InterfaceShape kShapes[kInterfaceCount] = {
    {1, 1, {{0x81, 8}}},
    {0, 0, {{0x82, 16}}},
    {0, 0, {{0x83, 16}}},
    {0, 0, {{0x84, 64}, {0x05, 64}}},
};

// One speed's descriptors: per interface the interface, HID and endpoint descriptors. The two
// sets are alike: bInterval 1 polls every frame at full speed and every microframe at high
// speed (dummy_hcd runs high speed).
std::size_t appendSpeed(Bytes& out) {
    std::size_t count = 0;
    for (int i = 0; i < kInterfaceCount; ++i) {
        const InterfaceShape& s = kShapes[i];
        out.insert(out.end(), {9, 0x04, static_cast<std::uint8_t>(i), 0,
                               static_cast<std::uint8_t>(s.endpoints.size()), 0x03, s.subclass,
                               s.protocol, 0});
        const std::size_t reportLength = reportDescriptor(i).size();
        out.insert(out.end(), {9, kHidDescriptorType});
        le16(out, 0x0111);  // bcdHID 1.11
        out.insert(out.end(), {0, 1, kReportDescriptorType});
        le16(out, static_cast<std::uint16_t>(reportLength));
        count += 2;
        for (const Endpoint& e : s.endpoints) {
            out.insert(out.end(), {7, 0x05, e.address, 0x03});  // interrupt
            le16(out, e.maxPacket);
            out.push_back(1);  // bInterval
            ++count;
        }
    }
    return count;
}

}  // namespace

std::vector<std::uint8_t> reportDescriptor(int interface) {
    switch (interface) {
        case kBootInterface:
            return kBootKeyboard;
        case kEventInterface:
            return kMultiCollection;
        case kVendorInterface:
            return kVendorCollection;
        case kCommandInterface:
            return kCommandCollection;
        default:
            return {};
    }
}

std::vector<std::uint8_t> functionFsDescriptors() {
    constexpr std::uint32_t kMagicV2 = 3;
    constexpr std::uint32_t kHasFullSpeed = 1;
    constexpr std::uint32_t kHasHighSpeed = 2;
    Bytes fullSpeed, highSpeed;
    const std::size_t fsCount = appendSpeed(fullSpeed);
    const std::size_t hsCount = appendSpeed(highSpeed);
    Bytes out;
    le32(out, kMagicV2);
    le32(out, 0);  // length, filled in below
    le32(out, kHasFullSpeed | kHasHighSpeed);
    le32(out, static_cast<std::uint32_t>(fsCount));
    le32(out, static_cast<std::uint32_t>(hsCount));
    out.insert(out.end(), fullSpeed.begin(), fullSpeed.end());
    out.insert(out.end(), highSpeed.begin(), highSpeed.end());
    const auto length = static_cast<std::uint32_t>(out.size());
    for (int b = 0; b < 4; ++b) out[4 + b] = static_cast<std::uint8_t>(length >> (8 * b));
    return out;
}

std::vector<std::uint8_t> functionFsStrings() {
    constexpr std::uint32_t kStringsMagic = 2;
    Bytes out;
    le32(out, kStringsMagic);
    le32(out, 16);  // length of the head alone
    le32(out, 0);   // strings per language
    le32(out, 0);   // languages
    return out;
}

}  // namespace tavrik::sim::usb
